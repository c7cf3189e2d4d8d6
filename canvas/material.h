// c_Material: a shader and its named parameters (textures, scalars,
// 4-vectors). The shader decides which parameters exist and their defaults
// (PrepareMaterial); after that the set of names is fixed and the setters only
// change values of names already present.
#pragma once

#include "canvas/ref_counted.h"
#include "host/picture_file.h"
#include "runtime/array.h"
#include "runtime/containers.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_GLProgram;
class c_Shader;
class c_Texture;

class c_Material : public c_RefCounted {
public:
    gc_ref<c_Shader> shader;
    bool initialised = false;
    // Holds one reference on every texture in it.
    gc_ref<c_StringMap2> textures;
    gc_ref<c_Texture> colorTexture;
    gc_ref<c_StringMap3> floatParams;
    gc_ref<c_StringMap4> vectorParams;
    // The parameters in the order of planProgram's material uniforms, looked
    // up once: the texture of each sampler (null elsewhere) and four floats
    // for each uniform. Any change of a parameter drops the plan.
    gc_ref<c_GLProgram> planProgram;
    gc_array<c_Texture*> planTextures;
    gc_array<float> planValues;

    c_Material();
    // A null shader is the default shader.
    c_Material* Init(c_Shader* shader);
    // Every picture file of the material is refused beyond `maxPixels` pixels.
    static c_Material* Load(const String& path, int textureFlags, c_Shader* shader,
                            int64_t maxPixels = kMaxPicturePixels);

    void PutFloatParam(const String& name, float value);
    void PutVectorParam(const String& name, Array<float> values);
    void PutTextureParam(const String& name, c_Texture* texture);
    float FloatParam(const String& name, float defaultValue);
    Array<float> VectorParam(const String& name, Array<float> defaultValue);
    c_Texture* TextureParam(const String& name, c_Texture* defaultValue = nullptr);

    c_Texture* ColorTexture() const { return colorTexture; }
    int Width();
    int Height();

    // Makes this the material GL draws with: its shader's program and the
    // values of the uniforms the shader file declared. Nothing is sent when
    // the GL state cache says it is the material bound already.
    bool Bind();

    void Destroy() override;
    GC_FIELDS(c_RefCounted, shader, textures, colorTexture, floatParams, vectorParams, planProgram, planTextures,
              planValues)

private:
    void MakePlan(c_GLProgram* program);
    // The one door of every parameter change.
    void ParametersChanged();
};
