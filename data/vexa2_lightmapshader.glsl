uniform sampler2D ColorTexture;
uniform sampler2D LightMapTexture;

void shader() {
    vec4 color = texture2D(ColorTexture, v_Texcoord0) * v_Color;
    gl_FragColor = vec4(color.rgb * texture2D(LightMapTexture, v_Texcoord0).rgb, color.a);
}
