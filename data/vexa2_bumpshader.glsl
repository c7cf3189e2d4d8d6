uniform sampler2D ColorTexture;
uniform sampler2D SpecularTexture;
uniform sampler2D NormalTexture;
uniform vec4 AmbientColor;
uniform float Roughness;

void shader() {
    b3d_Diffuse = texture2D(ColorTexture, v_Texcoord0) * v_Color;
    b3d_Specular = texture2D(SpecularTexture, v_Texcoord0).r;
    // The normal map tilts the surface in the picture, whose x axis the
    // tangent gives on the canvas.
    vec2 tilt = texture2D(NormalTexture, v_Texcoord0).rg * 2.0 - 1.0;
    vec2 across = normalize(v_Tangent);
    vec2 down = vec2(-across.y, across.x);
    b3d_Normal = normalize(vec3(across * tilt.x + down * tilt.y, 1.0));
    b3d_Ambient = AmbientColor;
    b3d_Roughness = Roughness;
}
