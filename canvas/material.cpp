#include "canvas/material.h"

#include "canvas/gl_program.h"
#include "canvas/render_state.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/errors.h"
#include "host/frame.h"
#include "host/gl_api.h"
#include "host/gl_state.h"

c_Material::c_Material() {
    textures = new c_StringMap2();
    floatParams = new c_StringMap3();
    vectorParams = new c_StringMap4();
}

c_Material* c_Material::Init(c_Shader* given) {
    RequireRenderer();
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
    ParametersChanged();
}

void c_Material::PutVectorParam(const String& name, Array<float> values) {
    if (initialised && !vectorParams->Has(name)) return;
    vectorParams->Put(name, values);
    ParametersChanged();
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
    ParametersChanged();
}

void c_Material::ParametersChanged() {
    planProgram = nullptr;
    // The same material may now look different wherever it is drawn.
    frameRecord.RequireRedraw();
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

void c_Material::MakePlan(c_GLProgram* program) {
    Array<c_GLUniform*> uniforms = program->materialUniforms;
    Array<c_Texture*> planned(uniforms.Length());
    Array<float> values(4 * uniforms.Length());
    for (int i = 0; i < uniforms.Length(); ++i) {
        c_GLUniform* u = uniforms[i];
        switch (u->type) {
        case GL_FLOAT:
            values[4 * i] = FloatParam(u->name, 1.0f);
            break;
        case GL_FLOAT_VEC4: {
            Array<float> vector = VectorParam(u->name, unitVector);
            for (int k = 0; k < 4 && k < vector.Length(); ++k) values[4 * i + k] = vector[k];
            break;
        }
        case GL_SAMPLER_2D:
            // A sampler the shader declared but no material default covers
            // shows white rather than whatever the unit held before.
            planned[i] = TextureParam(u->name, c_Texture::WhiteTexture());
            break;
        default:
            RuntimeError("Unsupported uniform type:" + String(u->type));
        }
    }
    planTextures = planned;
    planValues = values;
    planProgram = program;
}

bool c_Material::Bind() {
    c_GLProgram* program = shader->Bind();
    if (glState.Material() == this) return true;
    if (planProgram != program) MakePlan(program);
    Array<c_GLUniform*> uniforms = program->materialUniforms;
    int unit = 0;
    for (int i = 0; i < uniforms.Length(); ++i) {
        c_GLUniform* u = uniforms[i];
        switch (u->type) {
        case GL_FLOAT:
            gl.Uniform1f(u->location, planValues[4 * i]);
            break;
        case GL_FLOAT_VEC4:
            gl.Uniform4fv(u->location, 1, planValues.Data() + 4 * i);
            break;
        default:  // GL_SAMPLER_2D: MakePlan let nothing else through
            glState.BindTexture(unit, planTextures[i]->TextureName());
            if (!program->samplerUnitsSet) gl.Uniform1i(u->location, unit);
            ++unit;
            break;
        }
    }
    program->samplerUnitsSet = true;
    glState.SetMaterial(this);
    return true;
}

void c_Material::Destroy() {
    for (auto* node = textures->FirstEntry(); node; node = node->NextEntry()) node->value->Release();
}
