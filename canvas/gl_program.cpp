#include "canvas/gl_program.h"

#include "canvas/render_state.h"
#include "canvas/texture.h"
#include "host/gl_api.h"
#include "host/gl_state.h"

c_GLUniform::c_GLUniform(const String& uniformName, int loc, int uniformSize, int uniformType)
    : name(uniformName), location(loc), size(uniformSize), type(uniformType) {}

namespace {

int Location(int program, const char* name) { return gl.GetUniformLocation(program, name); }

}  // namespace

c_GLProgram::c_GLProgram(int name, Array<c_GLUniform*> uniforms) : program(name) {
    materialUniforms = uniforms;
    modelViewProjectionMatrixLoc = Location(program, "ModelViewProjectionMatrix");
    modelViewMatrixLoc = Location(program, "ModelViewMatrix");
    clipPosScaleLoc = Location(program, "ClipPosScale");
    globalColorLoc = Location(program, "GlobalColor");
    fogColorLoc = Location(program, "FogColor");
    ambientLightLoc = Location(program, "AmbientLight");
    lightColorsLoc = Location(program, "LightColors");
    lightVectorsLoc = Location(program, "LightVectors");
    shadowTextureLoc = Location(program, "ShadowTexture");
}

void c_GLProgram::Bind() {
    const RenderState& s = renderState;
    bool switched = glState.UseProgram(program);
    bool stale = sentVersion != s.valuesVersion;
    if (!switched && !stale) return;
    // Unit 7 follows the program in use: after a switch, or anything that
    // forgot the GL state, the cache makes sure it holds what this one reads.
    if (shadowTextureLoc != -1 && s.shadowTexture)
        glState.BindTexture(SHADOW_TEXTURE_UNIT, s.shadowTexture->TextureName());
    else
        glState.BindTexture(SHADOW_TEXTURE_UNIT, c_Texture::WhiteTexture()->TextureName());
    if (!stale) return;
    sentVersion = s.valuesVersion;
    if (modelViewProjectionMatrixLoc != -1)
        gl.UniformMatrix4fv(modelViewProjectionMatrixLoc, 1, GL_FALSE, s.modelViewProjection);
    if (modelViewMatrixLoc != -1) gl.UniformMatrix4fv(modelViewMatrixLoc, 1, GL_FALSE, s.modelView);
    if (clipPosScaleLoc != -1) gl.Uniform4fv(clipPosScaleLoc, 1, s.clipPosScale);
    if (globalColorLoc != -1) gl.Uniform4fv(globalColorLoc, 1, s.globalColor);
    if (fogColorLoc != -1) gl.Uniform4fv(fogColorLoc, 1, s.fogColor);
    if (ambientLightLoc != -1) gl.Uniform4fv(ambientLightLoc, 1, s.ambientLight);
    if (lightColorsLoc != -1) gl.Uniform4fv(lightColorsLoc, s.lightCount, s.lightColors);
    if (lightVectorsLoc != -1) gl.Uniform4fv(lightVectorsLoc, s.lightCount, s.lightVectors);
    // The sampler is pointed at its unit in both cases: left at its default
    // of 0 it would read the colour texture instead of the white stand-in.
    if (shadowTextureLoc != -1) gl.Uniform1i(shadowTextureLoc, SHADOW_TEXTURE_UNIT);
}
