// The main program of every canvas shader. The text before the vertex marker
// is shared by both stages; the renderer puts the light count and the names
// the piece uses (as B3D_ defines) in front, and splices the piece into the
// fragment chunk.
#ifndef GL_ES
#define lowp
#define mediump
#define highp
#endif

varying mediump vec2 v_Texcoord0;
varying lowp vec4 v_Color;
varying mediump vec3 v_ViewPosition;
varying mediump vec2 v_Tangent;
varying mediump vec4 v_ClipPosition;

//@vertex
attribute vec4 Position;
attribute vec2 Texcoord0;
attribute vec2 Tangent;
attribute vec4 Color;

uniform mat4 ModelViewProjectionMatrix;
uniform mat4 ModelViewMatrix;
uniform vec4 ClipPosScale;
uniform vec4 GlobalColor;

void main() {
    v_Texcoord0 = Texcoord0;
    v_Color = Color * GlobalColor;
    v_Tangent = Tangent;
    v_ViewPosition = (ModelViewMatrix * Position).xyz;
    gl_Position = ModelViewProjectionMatrix * Position;
    // Upright window coordinates for screen-space lookups: the projection
    // flips y for the window, this flips it back.
    v_ClipPosition = gl_Position * ClipPosScale;
}

//@fragment
#ifdef GL_ES
precision mediump float;
#endif

uniform vec4 AmbientLight;
uniform vec4 FogColor;
#if NUM_LIGHTS > 0
uniform vec4 LightColors[NUM_LIGHTS];
// xyz: the light in view space; w: its range.
uniform vec4 LightVectors[NUM_LIGHTS];
#endif

#ifdef B3D_SHADOW
uniform sampler2D ShadowTexture;
// The canvas's shadow texture covers the window; white where nothing is shaded.
vec4 b3d_Shadow() {
    return texture2D(ShadowTexture, v_ClipPosition.xy / v_ClipPosition.w * 0.5 + 0.5);
}
#endif

// What a lit piece fills in; the lighting below reads it.
#ifdef B3D_DIFFUSE
vec4 b3d_Diffuse;
#endif
#ifdef B3D_SPECULAR
float b3d_Specular;
#endif
#ifdef B3D_NORMAL
vec3 b3d_Normal;
#endif
#ifdef B3D_AMBIENT
vec4 b3d_Ambient;
#endif
#ifdef B3D_ROUGHNESS
float b3d_Roughness;
#endif

${SHADER}

void main() {
#if defined(B3D_DIFFUSE) || defined(B3D_SPECULAR)
#ifndef B3D_DIFFUSE
    vec4 b3d_Diffuse = vec4(1.0);
#else
    b3d_Diffuse = vec4(1.0);
#endif
#ifdef B3D_SPECULAR
    b3d_Specular = 0.0;
#endif
#ifdef B3D_NORMAL
    b3d_Normal = vec3(0.0, 0.0, 1.0);
#endif
#ifdef B3D_AMBIENT
    b3d_Ambient = vec4(0.0);
#endif
#ifdef B3D_ROUGHNESS
    b3d_Roughness = 1.0;
#endif
    shader();
    vec4 color = b3d_Diffuse;
#if NUM_LIGHTS > 0
    vec3 normal = vec3(0.0, 0.0, 1.0);
#ifdef B3D_NORMAL
    normal = b3d_Normal;
#endif
    float roughness = 1.0;
#ifdef B3D_ROUGHNESS
    roughness = b3d_Roughness;
#endif
    vec3 light = AmbientLight.rgb;
#ifdef B3D_AMBIENT
    light += b3d_Ambient.rgb;
#endif
    vec3 specular = vec3(0.0);
    // Rough surfaces let light wrap further round.
    float wrap = roughness * 0.5;
    for (int i = 0; i < NUM_LIGHTS; ++i) {
        vec3 toLight = LightVectors[i].xyz - v_ViewPosition;
        float reach = length(toLight);
        vec3 direction = toLight / max(reach, 0.0001);
        float falloff = max(1.0 - reach / max(LightVectors[i].w, 0.0001), 0.0);
        float diffuse = max((dot(normal, direction) + wrap) / (1.0 + wrap), 0.0);
        light += LightColors[i].rgb * diffuse * falloff;
#ifdef B3D_SPECULAR
        vec3 halfway = normalize(direction + vec3(0.0, 0.0, 1.0));
        float shininess = mix(128.0, 2.0, roughness);
        specular += LightColors[i].rgb * pow(max(dot(normal, halfway), 0.0), shininess) * b3d_Specular * falloff;
#endif
    }
    // Premultiplied: the highlight scales with coverage.
    color.rgb = color.rgb * light + specular * color.a;
#endif
    gl_FragColor = color;
#else
    shader();
#endif
}
