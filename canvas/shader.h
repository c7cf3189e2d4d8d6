// c_Shader: a short GLSL piece for one kind of surface, spliced into the main
// program text (at "${SHADER}" in its fragment chunk) to give one GL program
// per number of lights. The piece is scanned first: the uniforms it declares
// become its materials' parameters, and the built-in names it uses
// ("gl_..." and "b3d_...") become "#define B3D_... 1" lines, so the main
// text can compile only what the piece needs.
#pragma once

#include "canvas/render_state.h"
#include "runtime/array.h"
#include "runtime/containers.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_GLProgram;
class c_Material;

class c_Shader : public Object {
public:
    String source;
    String vertexSource;
    String fragmentSource;
    gc_ref<c_StringSet> uniforms;
    // Indexed by the number of lights, 0 to MAX_LIGHTS. Slots share one
    // program when the piece does no lighting.
    gc_array<c_GLProgram*> programs;
    gc_ref<c_Material> stockMaterial;
    int builtGeneration = 0;

    c_Shader();
    c_Shader* Init(const String& source);
    void Build();
    c_GLProgram* ProgramForLightCount();
    // Puts the program for the current light count in use (c_GLProgram::Bind)
    // and returns it.
    c_GLProgram* Bind();
    c_Material* StockMaterial();

    // Gives a new material its parameters and their defaults.
    virtual void PrepareMaterial(c_Material* material);
    // Fills a material from the picture at `path`, refusing pictures of more
    // than `maxPixels` pixels; the material, or null when nothing could be loaded.
    virtual c_Material* LoadMaterialFiles(c_Material* material, const String& path, int textureFlags,
                                          int64_t maxPixels);

    GC_FIELDS(Object, uniforms, programs, stockMaterial)

private:
    c_GLProgram* BuildProgram(int lights);
};

// Lights with specular and normal maps; finds its companion maps by suffix.
class c_BumpShader : public c_Shader {
public:
    void PrepareMaterial(c_Material* material) override;
    c_Material* LoadMaterialFiles(c_Material* material, const String& path, int textureFlags,
                                  int64_t maxPixels) override;
};

// Diffuse light only.
class c_MatteShader : public c_Shader {
public:
    void PrepareMaterial(c_Material* material) override;
};

// The defines a shader piece asks for, "#define NAME 1\n" each in ascending
// order, and the uniform names it declares. Stops with the parser's runtime
// errors on a malformed "uniform type name ;".
String ScanShaderPiece(const String& source, c_StringSet* uniforms);

// Compiles one shader stage; a failure prints the log and the numbered source
// and raises "Compile fragment shader failed".
int CompileShader(int type, const String& source);
