#include "canvas/material.h"

#include "canvas/gl_program.h"
#include "canvas/render_state.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/errors.h"
#include "host/gl_api.h"

c_Material::c_Material() {
    textures = new c_StringMap2();
    floatParams = new c_StringMap3();
    vectorParams = new c_StringMap4();
}

c_Material* c_Material::Init(c_Shader* given) {
    InitRenderer();
    shader = given ? given : defaultShader.get();
    shader->PrepareMaterial(this);
    initialised = true;
    return this;
}

c_Material* c_Material::Load(const String& path, int textureFlags, c_Shader* given, int64_t maxPixels) {
    c_Material* material = (new c_Material())->Init(given);
    return material->shader->LoadMaterialFiles(material, path, textureFlags, maxPixels);
}

void c_Material::PutFloatParam(const String& name, float value) {
    if (initialised && !floatParams->Has(name)) return;
    floatParams->Put(name, value);
}

void c_Material::PutVectorParam(const String& name, Array<float> values) {
    if (initialised && !vectorParams->Has(name)) return;
    vectorParams->Put(name, values);
}

void c_Material::PutTextureParam(const String& name, c_Texture* texture) {
    if (!texture) return;
    if (initialised && !textures->Has(name)) return;
    c_Texture* old = textures->Lookup(name);
    // Retained before the old one is released: the same texture set twice
    // must not drop to zero in between.
    texture->Retain();
    textures->Put(name, texture);
    if (old) old->Release();
    if (name == String("ColorTexture")) colorTexture = texture;
}

float c_Material::FloatParam(const String& name, float defaultValue) {
    auto* node = floatParams->FindNode(name);
    return node ? node->value : defaultValue;
}

Array<float> c_Material::VectorParam(const String& name, Array<float> defaultValue) {
    auto* node = vectorParams->FindNode(name);
    return node ? node->value : defaultValue;
}

c_Texture* c_Material::TextureParam(const String& name, c_Texture* defaultValue) {
    auto* node = textures->FindNode(name);
    return node ? node->value : defaultValue;
}

int c_Material::Width() { return colorTexture ? colorTexture->Width() : 0; }
int c_Material::Height() { return colorTexture ? colorTexture->Height() : 0; }

bool c_Material::Bind() {
    shader->Bind();
    if (renderState.currentMaterial == this) return true;
    renderState.currentMaterial = this;
    c_GLProgram* program = renderState.currentProgram;
    int unit = 0;
    Array<c_GLUniform*> uniforms = program->materialUniforms;
    for (int i = 0; i < uniforms.Length(); ++i) {
        c_GLUniform* u = uniforms[i];
        switch (u->type) {
        case GL_FLOAT:
            gl.Uniform1f(u->location, FloatParam(u->name, 1.0f));
            break;
        case GL_FLOAT_VEC4:
            gl.Uniform4fv(u->location, 1, VectorParam(u->name, unitVector).Data());
            break;
        case GL_SAMPLER_2D: {
            // A sampler the shader declared but no material default covers
            // shows white rather than whatever the unit held before.
            c_Texture* texture = TextureParam(u->name, c_Texture::WhiteTexture());
            gl.ActiveTexture(GL_TEXTURE0 + unit);
            gl.BindTexture(GL_TEXTURE_2D, texture->TextureName());
            gl.Uniform1i(u->location, unit);
            ++unit;
            break;
        }
        default:
            RuntimeError("Unsupported uniform type:" + String(u->type));
        }
    }
    if (unit > 0) gl.ActiveTexture(GL_TEXTURE0);
    return true;
}

void c_Material::Destroy() {
    for (auto* node = textures->FirstEntry(); node; node = node->NextEntry()) node->value->Release();
}
