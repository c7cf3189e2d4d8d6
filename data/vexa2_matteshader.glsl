uniform sampler2D ColorTexture;
uniform vec4 AmbientColor;
uniform float Roughness;

void shader() {
    b3d_Diffuse = texture2D(ColorTexture, v_Texcoord0) * v_Color;
    b3d_Ambient = AmbientColor;
    b3d_Roughness = Roughness;
}
