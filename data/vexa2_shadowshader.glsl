uniform sampler2D ColorTexture;

void shader() {
    vec4 color = texture2D(ColorTexture, v_Texcoord0) * v_Color;
    gl_FragColor = vec4(color.rgb * b3d_Shadow().rgb, color.a);
}
