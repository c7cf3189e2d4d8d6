#include "canvas/shader.h"

#include <initializer_list>
#include <string>

#include "canvas/gl_program.h"
#include "canvas/material.h"
#include "canvas/parser.h"
#include "canvas/render_state.h"
#include "canvas/texture.h"
#include "host/errors.h"
#include "host/game.h"
#include "host/gl_api.h"

namespace {

String InfoLog(bool isProgram, GLuint name) {
    GLint length = 0;
    if (isProgram)
        gl.GetProgramiv(name, GL_INFO_LOG_LENGTH, &length);
    else
        gl.GetShaderiv(name, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1) return String();
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    if (isProgram)
        gl.GetProgramInfoLog(name, length, &written, &log[0]);
    else
        gl.GetShaderInfoLog(name, length, &written, &log[0]);
    return String(log.substr(0, static_cast<size_t>(written)).c_str());
}

Array<float> Vector4(float x, float y, float z, float w) { return Array<float>::Of({x, y, z, w}); }

// The uniforms the program really has (the compiler drops unused ones) that
// the piece declared, in the order GL lists them.
Array<c_GLUniform*> MaterialUniforms(GLuint program, c_StringSet* declared) {
    GLint count = 0, maxLength = 0;
    gl.GetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    gl.GetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &maxLength);
    std::string buffer(static_cast<size_t>(maxLength > 0 ? maxLength : 1) + 1, '\0');
    c_Stack2* found = new c_Stack2();
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        gl.GetActiveUniform(program, static_cast<GLuint>(i), static_cast<GLsizei>(buffer.size()), &length, &size,
                            &type, &buffer[0]);
        String name(buffer.substr(0, static_cast<size_t>(length)).c_str());
        if (!declared->Has(name)) continue;
        GLint location = gl.GetUniformLocation(program, name.ToCString().c_str());
        if (location == -1) continue;
        found->Push(new c_GLUniform(name, location, size, static_cast<int>(type)));
    }
    return found->ToArray();
}

}  // namespace

String ScanShaderPiece(const String& source, c_StringSet* uniforms) {
    c_GlslParser* parser = new c_GlslParser();
    c_StringSet* defines = new c_StringSet();
    parser->StartScan(source);
    while (!parser->token.IsEmpty()) {
        if (parser->token == String("uniform")) {
            parser->NextToken();
            parser->ExpectType();
            String name = parser->ExpectIdent();
            parser->Expect(String(";"));
            uniforms->Add(name);
            continue;
        }
        String ident = parser->AcceptIdent();
        if (ident.IsEmpty()) {
            parser->NextToken();
        } else if (ident.HasPrefix(String("gl_"))) {
            defines->Add(String("B3D_") + ident.Upper());
        } else if (ident.HasPrefix(String("b3d_"))) {
            defines->Add(ident.Upper());
        }
    }
    String lines;
    for (auto* node = defines->map->FirstEntry(); node; node = node->NextEntry())
        lines += String("#define ") + node->key + String(" 1\n");
    return lines;
}

int CompileShader(int type, const String& source) {
    GLuint shader = gl.CreateShader(static_cast<GLenum>(type));
    CString8 text = source.ToCString();
    const GLchar* pointer = text.c_str();
    gl.ShaderSource(shader, 1, &pointer, nullptr);
    gl.CompileShader(shader);
    GLint status = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) return static_cast<int>(shader);

    PrintLine(String("Failed to compile fragment shader:") + InfoLog(false, shader));
    Array<String> lines = source.SplitOn(String("\n"));
    for (int i = 0; i < lines.Length(); ++i) PrintLine(String(i + 1) + String(":\t") + lines[i]);
    RuntimeError("Compile fragment shader failed");
}

c_Shader::c_Shader() {
    uniforms = new c_StringSet();
    programs = Array<c_GLProgram*>(MAX_LIGHTS + 1);
}

c_Shader* c_Shader::Init(const String& text) {
    source = text;
    Build();
    return this;
}

void c_Shader::Build() {
    RequireRenderer();
    String defines = ScanShaderPiece(source, uniforms);
    bool lit = defines.IndexOf(String("#define B3D_DIFFUSE 1\n")) != -1 ||
               defines.IndexOf(String("#define B3D_SPECULAR 1\n")) != -1;

    int v = mainProgramSource.IndexOf(String("//@vertex"));
    if (v == -1) RuntimeError("Can't find //@vertex chunk");
    // Searched from the vertex marker on: the fragment chunk follows it.
    int f = mainProgramSource.IndexOf(String("//@fragment"), v);
    if (f == -1) RuntimeError("Can't find //@fragment chunk");
    String header = mainProgramSource.Substring(0, v);
    vertexSource = defines + header + mainProgramSource.Substring(v, f);
    fragmentSource = defines + header + mainProgramSource.Substring(f).ReplaceAll(String("${SHADER}"), source);

    builtGeneration = graphicsGeneration;
    programs[0] = BuildProgram(0);
    for (int lights = 1; lights <= MAX_LIGHTS; ++lights)
        programs[lights] = lit ? BuildProgram(lights) : programs[0];
}

c_GLProgram* c_Shader::BuildProgram(int lights) {
    String prefix = String("#define NUM_LIGHTS ") + String(lights) + String("\n");
    GLuint vertex = static_cast<GLuint>(CompileShader(GL_VERTEX_SHADER, prefix + vertexSource));
    GLuint fragment = static_cast<GLuint>(CompileShader(GL_FRAGMENT_SHADER, prefix + fragmentSource));
    GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vertex);
    gl.AttachShader(program, fragment);
    gl.DeleteShader(vertex);
    gl.DeleteShader(fragment);
    gl.BindAttribLocation(program, 0, "Position");
    gl.BindAttribLocation(program, 1, "Texcoord0");
    gl.BindAttribLocation(program, 2, "Tangent");
    gl.BindAttribLocation(program, 3, "Color");
    gl.LinkProgram(program);
    GLint status = GL_FALSE;
    gl.GetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) RuntimeError(String("Failed to link program:") + InfoLog(true, program));
    return new c_GLProgram(static_cast<int>(program), MaterialUniforms(program, uniforms));
}

c_GLProgram* c_Shader::ProgramForLightCount() {
    // The old programs belong to a lost context; the GL state cache has
    // forgotten them by itself.
    if (builtGeneration != graphicsGeneration) Build();
    return programs[renderState.lightCount];
}

c_GLProgram* c_Shader::Bind() {
    c_GLProgram* program = ProgramForLightCount();
    program->Bind();
    return program;
}

c_Material* c_Shader::StockMaterial() {
    if (!stockMaterial) stockMaterial = (new c_Material())->Init(this);
    return stockMaterial;
}

void c_Shader::PrepareMaterial(c_Material* material) {
    material->PutTextureParam(String("ColorTexture"), c_Texture::WhiteTexture());
}

c_Material* c_Shader::LoadMaterialFiles(c_Material* material, const String& path, int textureFlags,
                                        int64_t maxPixels) {
    c_Texture* texture = c_Texture::Load(path, 4, textureFlags, maxPixels);
    if (!texture) return nullptr;
    material->PutTextureParam(String("ColorTexture"), texture);
    texture->Release();
    return material;
}

void c_MatteShader::PrepareMaterial(c_Material* material) {
    material->PutTextureParam(String("ColorTexture"), c_Texture::WhiteTexture());
    material->PutVectorParam(String("AmbientColor"), Vector4(0, 0, 0, 1));
    material->PutFloatParam(String("Roughness"), 1.0f);
}

void c_BumpShader::PrepareMaterial(c_Material* material) {
    material->PutTextureParam(String("ColorTexture"), c_Texture::WhiteTexture());
    material->PutTextureParam(String("SpecularTexture"), c_Texture::BlackTexture());
    material->PutTextureParam(String("NormalTexture"), c_Texture::FlatTexture());
    material->PutVectorParam(String("AmbientColor"), Vector4(1, 1, 1, 1));
    material->PutFloatParam(String("Roughness"), 1.0f);
}

namespace {

// The first of base + suffix + "." + ext that loads, or null. Each try is a
// real load attempt.
c_Texture* FirstFound(const String& base, const String& ext, std::initializer_list<const char*> suffixes,
                      int textureFlags, int64_t maxPixels) {
    for (const char* suffix : suffixes) {
        c_Texture* texture = c_Texture::Load(base + String(suffix) + String(".") + ext, 4, textureFlags, maxPixels);
        if (texture) return texture;
    }
    return nullptr;
}

}  // namespace

c_Material* c_BumpShader::LoadMaterialFiles(c_Material* material, const String& path, int textureFlags,
                                            int64_t maxPixels) {
    String ext("png");
    String base = path;
    int dot = path.LastIndexOf(String("."));
    if (dot != -1 && path.IndexOf(String("/"), dot) == -1 && path.IndexOf(String("\\"), dot) == -1) {
        ext = path.Substring(dot + 1);
        base = path.Substring(0, dot);
    }
    c_Texture* color = FirstFound(base, ext, {"", "_d", "_diff", "_diffuse"}, textureFlags, maxPixels);
    c_Texture* specular = FirstFound(base, ext, {"_s", "_spec", "_specular", "_SPECULAR"}, textureFlags, maxPixels);
    c_Texture* normal = FirstFound(base, ext, {"_n", "_norm", "_normal", "_NORMALS"}, textureFlags, maxPixels);
    if (!color && !specular && !normal) return nullptr;

    material->PutTextureParam(String("ColorTexture"), color);
    material->PutTextureParam(String("SpecularTexture"), specular);
    material->PutTextureParam(String("NormalTexture"), normal);
    if (specular || normal) {
        material->PutVectorParam(String("AmbientColor"), Vector4(0, 0, 0, 1));
        material->PutFloatParam(String("Roughness"), 0.5f);
    }
    for (c_Texture* texture : {color, specular, normal})
        if (texture) texture->Release();
    return material;
}
