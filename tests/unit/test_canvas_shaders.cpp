// The shader scanner, the define lines and uniforms taken from a shader
// piece, program building per light count, and the build errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/gl_program.h"
#include "canvas/material.h"
#include "canvas/parser.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/gl_state.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"
#include "tests/unit/host_test_support.h"

namespace {

std::vector<std::string> Tokens(const char* text) {
    c_Parser* parser = new c_Parser();
    parser->StartScan(String(text));
    std::vector<std::string> tokens;
    while (parser->tokenKind != TOKEN_END) {
        tokens.push_back(parser->token.ToUtf8() + "/" + std::to_string(parser->tokenKind));
        parser->NextToken();
    }
    return tokens;
}

std::vector<std::string> Names(c_StringSet* set) {
    std::vector<std::string> names;
    for (auto* node = set->map->FirstEntry(); node; node = node->NextEntry()) names.push_back(node->key.ToUtf8());
    return names;
}

TEST(GlslScanner, TokenKinds) {
    EXPECT_EQ(Tokens("a<=b"), (std::vector<std::string>{"a/1", "<=/5", "b/1"}));
    EXPECT_EQ(Tokens("x = 'c\ny"), (std::vector<std::string>{"x/1", "=/5", "y/1"}));
    EXPECT_EQ(Tokens("x = 'c"), (std::vector<std::string>{"x/1", "=/5"}));
    EXPECT_EQ(Tokens(" _a1 42x \"s t\";= !=\t=="),
              (std::vector<std::string>{"_a1/1", "42/2", "x/1", "\"s t\"/4", ";=/5", "!=/5", "==/5"}));
    EXPECT_EQ(Tokens("1.5"), (std::vector<std::string>{"1/2", "./5", "5/2"}));
    EXPECT_TRUE(Tokens(" \t\n' only a comment").empty());
}

TEST(GlslScanner, AcceptAndExpect) {
    c_GlslParser* parser = new c_GlslParser();
    parser->StartScan(String("uniform vec4 Tint;"));
    EXPECT_FALSE(parser->Accept(String("vec4")));
    EXPECT_TRUE(parser->Accept(String("uniform")));
    EXPECT_EQ(parser->ExpectType(), String("vec4"));
    EXPECT_EQ(parser->AcceptIdent(), String("Tint"));
    EXPECT_EQ(parser->AcceptIdent(), String());
    parser->Expect(String(";"));
    EXPECT_EQ(parser->CurrentToken(), String());
}

TEST(GlslScannerDeathTest, MalformedInputStops) {
    EXPECT_RUNTIME_ERROR(Tokens("a \"open"), "String literal missing closing quote");
    EXPECT_RUNTIME_ERROR(ScanShaderPiece(String("uniform vec4 Tint\nvoid"), new c_StringSet()), "Expecting ';'");
    EXPECT_RUNTIME_ERROR(ScanShaderPiece(String("uniform vec4 3;"), new c_StringSet()), "Expecting identifier");
}

TEST(ShaderPiece, DefinesAndUniforms) {
    c_StringSet* uniforms = new c_StringSet();
    String defines = ScanShaderPiece(
        String("uniform sampler2D ColorTexture;\nvoid shader() { gl_FragColor = texture2D(ColorTexture, uv); }"),
        uniforms);
    EXPECT_EQ(defines, String("#define B3D_GL_FRAGCOLOR 1\n"));
    EXPECT_EQ(Names(uniforms), std::vector<std::string>{"ColorTexture"});

    uniforms = new c_StringSet();
    defines = ScanShaderPiece(String("uniform float Roughness; b3d_Specular = b3d_Diffuse.a * gl_FragCoord.x; "
                                     "b3d_Diffuse = vec4(1.0); uniform vec4 AmbientColor;"),
                              uniforms);
    EXPECT_EQ(defines, String("#define B3D_DIFFUSE 1\n#define B3D_GL_FRAGCOORD 1\n#define B3D_SPECULAR 1\n"));
    EXPECT_EQ(Names(uniforms), (std::vector<std::string>{"AmbientColor", "Roughness"}));
}

class ShaderBuildTest : public ::testing::Test {
protected:
    std::string data;
    void SetUp() override { data = StartRecordedRenderer(); }

    void WriteData(const std::string& name, const std::string& text) {
        std::ofstream(data + "/" + name) << text;
    }

    // Programs made and the first line of every vertex shader source.
    std::vector<std::string> FirstLinesOfVertexSources() {
        std::vector<std::string> lines;
        for (const auto& entry : glRecorder().programSources)
            lines.push_back(entry.second.at(0).substr(0, entry.second.at(0).find('\n')));
        return lines;
    }
};

TEST_F(ShaderBuildTest, StartUpBuildsThirteenProgramsFromTheFiveShaders) {
    InitRenderer();
    // Fast, shadow and light map: one each; bump and matte light, so 5 each.
    EXPECT_EQ(glRecorder().Calls({"CreateProgram"}).size(), 13u);
    EXPECT_EQ(fastShader->programs[0], fastShader->programs[4]);
    EXPECT_NE(bumpShader->programs[0], bumpShader->programs[1]);
    EXPECT_EQ(defaultShader, bumpShader);
    ASSERT_NE(defaultFont, nullptr);
    EXPECT_EQ(defaultFont->glyphs.Length(), 96);
    // The attribute locations are the vertex layout's.
    std::vector<std::string> attributes = glRecorder().Calls({"BindAttribLocation"});
    ASSERT_EQ(attributes.size(), 4u * 13);
    for (int i = 0; i < 4; ++i) attributes[i] = attributes[i].substr(attributes[i].find(',') + 1);
    EXPECT_EQ(std::vector<std::string>(attributes.begin(), attributes.begin() + 4),
              (std::vector<std::string>{"0,Position)", "1,Texcoord0)", "2,Tangent)", "3,Color)"}));
}

TEST_F(ShaderBuildTest, AnUnlitPieceSharesOneProgramForAllLightCounts) {
    InitRenderer();
    glRecorder().Clear();
    glRecorder().programSources.clear();
    c_Shader* shader = (new c_Shader())->Init(
        String("uniform sampler2D ColorTexture;\nvoid shader() { gl_FragColor = texture2D(ColorTexture, v_Texcoord0); }"));
    EXPECT_EQ(glRecorder().Calls({"CreateProgram"}).size(), 1u);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(shader->programs[i], shader->programs[0]);
    EXPECT_EQ(FirstLinesOfVertexSources(), std::vector<std::string>{"#define NUM_LIGHTS 0"});
    EXPECT_TRUE(shader->vertexSource.HasPrefix(String("#define B3D_GL_FRAGCOLOR 1\n")));
    // The piece is in the fragment source, not in the vertex source.
    EXPECT_NE(shader->fragmentSource.IndexOf(String("gl_FragColor = texture2D")), -1);
    EXPECT_EQ(shader->vertexSource.IndexOf(String("gl_FragColor = texture2D")), -1);
    EXPECT_EQ(shader->fragmentSource.IndexOf(String("${SHADER}")), -1);
    // The uniform the piece declared is the program's one material uniform.
    Array<c_GLUniform*> uniforms = shader->programs[0]->materialUniforms;
    ASSERT_EQ(uniforms.Length(), 1);
    EXPECT_EQ(uniforms[0]->name, String("ColorTexture"));
    EXPECT_EQ(uniforms[0]->type, GL_SAMPLER_2D);
}

TEST_F(ShaderBuildTest, ALitPieceGetsOneProgramPerLightCount) {
    InitRenderer();
    glRecorder().programSources.clear();
    c_Shader* shader = (new c_Shader())->Init(String("void shader() { b3d_Diffuse = vec4(1.0); }"));
    EXPECT_EQ(FirstLinesOfVertexSources(),
              (std::vector<std::string>{"#define NUM_LIGHTS 0", "#define NUM_LIGHTS 1", "#define NUM_LIGHTS 2",
                                        "#define NUM_LIGHTS 3", "#define NUM_LIGHTS 4"}));
    for (int i = 1; i <= 4; ++i) EXPECT_NE(shader->programs[i], shader->programs[i - 1]);
}

TEST_F(ShaderBuildTest, BindingSendsTheCanvasValuesOnceUntilInvalidated) {
    InitRenderer();
    glRecorder().Clear();
    fastShader->Bind();
    fastShader->Bind();
    EXPECT_EQ(glRecorder().Calls({"UseProgram"}).size(), 1u);
    // The program's canvas uniforms, the shadow stand-in on unit 7.
    EXPECT_FALSE(glRecorder().Calls({"UniformMatrix4fv"}).empty());
    EXPECT_EQ(glRecorder().Calls({"ActiveTexture"}), (std::vector<std::string>{"ActiveTexture(TEXTURE7)"}));
    InvalidateGlState();
    fastShader->Bind();
    EXPECT_EQ(glRecorder().Calls({"UseProgram"}).size(), 2u);
}

class ShaderBuildDeathTest : public ShaderBuildTest {};

// The renderer starts once, explicitly; nothing starts it by being made.
TEST_F(ShaderBuildDeathTest, NothingOfTheRendererIsMadeBeforeItStarts) {
    EXPECT_RUNTIME_ERROR((new c_Canvas())->Init(), "Renderer not started");
    EXPECT_RUNTIME_ERROR((new c_Texture())->Init(1, 1, 4, 0), "Renderer not started");
    EXPECT_RUNTIME_ERROR((new c_Material())->Init(nullptr), "Renderer not started");
    EXPECT_RUNTIME_ERROR((new c_Shader())->Init(String("void shader() {}")), "Renderer not started");
}

TEST_F(ShaderBuildDeathTest, AMainProgramWithoutAMarkerStopsAtStartUp) {
    WriteData("vexa2_program.glsl", "//@vertex\nvoid main() {}\n");
    EXPECT_RUNTIME_ERROR(InitRenderer(), "Can't find //@fragment chunk");
    WriteData("vexa2_program.glsl", "//@fragment\nvoid main() {}\n");
    EXPECT_RUNTIME_ERROR(InitRenderer(), "Can't find //@vertex chunk");
    std::remove((data + "/vexa2_program.glsl").c_str());
    EXPECT_RUNTIME_ERROR(InitRenderer(), "Can't find //@vertex chunk");
}

TEST_F(ShaderBuildDeathTest, AFailedCompilePrintsTheNumberedSource) {
    InitRenderer();
    glRecorder().failCompileLog = "0:3: syntax error";
    EXPECT_EXIT(
        {
            SendReportsToStderr();
            (new c_Shader())->Init(String("void shader() { gl_FragColor = vec4(1.0); }"));
        },
        ::testing::ExitedWithCode(255),
        "Failed to compile fragment shader:0:3: syntax error\n1:\t#define NUM_LIGHTS 0\n2:\t#define "
        "B3D_GL_FRAGCOLOR 1\n(.|\n)*Ravlen Runtime Error : Compile fragment shader failed");
}

TEST_F(ShaderBuildDeathTest, AFailedLinkReportsTheLog) {
    InitRenderer();
    glRecorder().failLinkLog = "no main";
    EXPECT_RUNTIME_ERROR((new c_Shader())->Init(String("void shader() {}")), "Failed to link program:no main");
}

TEST_F(ShaderBuildDeathTest, AMissingDefaultFontStops) {
    std::remove((data + "/vexa2_font.png").c_str());
    EXPECT_RUNTIME_ERROR(InitRenderer(), "Can't load default font");
}

TEST_F(ShaderBuildDeathTest, ADefaultFontPictureTooLargeForAFontStopsLikeAMissingOne) {
    std::filesystem::copy_file(HugePicturePath(), data + "/vexa2_font.png",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_RUNTIME_ERROR(InitRenderer(), "Can't load default font");
}

}  // namespace
