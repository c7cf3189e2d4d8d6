uniform sampler2D ColorTexture;

void shader() {
    gl_FragColor = texture2D(ColorTexture, v_Texcoord0) * v_Color;
}
