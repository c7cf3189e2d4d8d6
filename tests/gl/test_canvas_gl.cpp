// The canvas on real OpenGL (Mesa under Xvfb), read back with glReadPixels:
// where images land, mirrored and rotated images, premultiplied blending,
// scissor clipping, every shader drawing an unlit sprite alike, accented
// letters and the replacement mark in the canvas font, and a new window
// rebuilding everything for an identical frame. Each frame is also
// written as a PNG under the build folder, to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/renderer.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/data_buffer.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/glfw_game.h"
#include "host/host_main.h"
#include "tests/support/canvas_test_support.h"

// After the GL header of the entry point table, which declares the prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Rgb {
    int r, g, b;
};

class Frame {
public:
    std::vector<unsigned char> rgba;  // rows top to bottom

    static Frame Read() {
        Frame frame;
        frame.rgba.resize(kWidth * kHeight * 4);
        std::vector<unsigned char> bottomUp(frame.rgba.size());
        gl.ReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(&bottomUp[(kHeight - 1 - y) * kWidth * 4], kWidth * 4, &frame.rgba[y * kWidth * 4]);
        return frame;
    }
    // Window coordinates, from the top-left.
    Rgb At(int x, int y) const {
        const unsigned char* p = &rgba[(y * kWidth + x) * 4];
        return {p[0], p[1], p[2]};
    }
    void Save(const std::string& name) const {
        const char* build = std::getenv("GRIMALOU_BINARY_DIR");
        std::string folder = std::string(build ? build : ".") + "/canvas_screens";
        std::string command = "mkdir -p '" + folder + "'";
        if (std::system(command.c_str()) != 0) return;
        WritePng(folder + "/" + name + ".png", kWidth, kHeight, 4, rgba);
    }
};

void ExpectColor(const Frame& frame, int x, int y, Rgb want, int tolerance = 1) {
    Rgb got = frame.At(x, y);
    EXPECT_NEAR(got.r, want.r, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(got.g, want.g, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(got.b, want.b, tolerance) << "at " << x << "," << y;
}

const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};

class CanvasGlTest : public ::testing::Test {
protected:
    static std::string data;
    // The host with the real window; it reads the test host's data folder.
    static KtRavlenGame* window;

    static void SetUpTestSuite() {
        ASSERT_TRUE(InitWindowSystem());
        InitCanvasGlobals();
        data = MakeDataFolder();
        window = new KtRavlenGame();
        window->appDir = TestGame().appDir;
        // A 16 x 16 picture in four quadrants: red, green / blue, yellow.
        std::vector<unsigned char> quadrants(16 * 16 * 4);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                Rgb c = y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kYellow);
                unsigned char* p = &quadrants[(y * 16 + x) * 4];
                p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
            }
        WritePng(data + "/quadrants.png", 16, 16, 4, quadrants);
        // Half-transparent red, not premultiplied in the file.
        WritePng(data + "/glass.png", 4, 4, 4, std::vector<unsigned char>(16 * 4, 0));
        std::vector<unsigned char> glass;
        for (int i = 0; i < 16; ++i) glass.insert(glass.end(), {255, 0, 0, 128});
        WritePng(data + "/glass.png", 4, 4, 4, glass);
        OpenWindow();
        InitRenderer();
    }

    static void OpenWindow() { window->CreateDeviceWindow(kWidth, kHeight, 0); }

    c_Canvas* NewFrame() {
        c_Canvas* canvas = (new c_Canvas())->Init();
        canvas->Clear(1, 1, 1, 1);
        canvas->SetColor(1, 1, 1);
        return canvas;
    }

    static c_Image2* Quadrants(float handle) {
        c_Image2* image = c_Image2::Load(String("quadrants.png"), handle, handle, 0, nullptr);
        EXPECT_NE(image, nullptr);
        return image;
    }
};
std::string CanvasGlTest::data;
KtRavlenGame* CanvasGlTest::window = nullptr;

TEST_F(CanvasGlTest, AnImageLandsWhereItsHandleAndPositionSay) {
    c_Canvas* canvas = NewFrame();
    canvas->DrawImage(Quadrants(0), 100, 50);
    canvas->DrawImage(Quadrants(0.5f), 200, 150);
    canvas->Flush();
    Frame frame = Frame::Read();
    frame.Save("placement");
    // Top-left handle: the picture covers 100..115 x 50..65.
    ExpectColor(frame, 100, 50, kRed);
    ExpectColor(frame, 115, 50, kGreen);
    ExpectColor(frame, 100, 65, kBlue);
    ExpectColor(frame, 115, 65, kYellow);
    ExpectColor(frame, 99, 50, kWhite);
    ExpectColor(frame, 116, 66, kWhite);
    ExpectColor(frame, 100, 49, kWhite);
    // Centred handle: 192..207 x 142..157.
    ExpectColor(frame, 192, 142, kRed);
    ExpectColor(frame, 207, 157, kYellow);
    ExpectColor(frame, 191, 142, kWhite);
    ExpectColor(frame, 208, 157, kWhite);
}

TEST_F(CanvasGlTest, MirroredAndRotatedImages) {
    c_Canvas* canvas = NewFrame();
    c_Image2* image = Quadrants(0);
    canvas->DrawImage(image, 100, 50, 0, -1, 1);
    canvas->DrawImage(image, 200, 50, 90);
    canvas->Flush();
    Frame frame = Frame::Read();
    frame.Save("mirrored_rotated");
    // Mirrored about x = 100: covers 84..99, red now on the right.
    ExpectColor(frame, 99, 50, kRed);
    ExpectColor(frame, 84, 50, kGreen);
    ExpectColor(frame, 99, 65, kBlue);
    ExpectColor(frame, 100, 50, kWhite);
    // Turned by 90 degrees: the picture's x axis points up the window, so it
    // covers 200..215 x 34..49 with its top-left corner at the bottom-left.
    ExpectColor(frame, 200, 49, kRed);
    ExpectColor(frame, 200, 34, kGreen);
    ExpectColor(frame, 215, 49, kBlue);
    ExpectColor(frame, 215, 34, kYellow);
}

TEST_F(CanvasGlTest, AHalfTransparentSpriteBlendsPremultipliedOverWhite) {
    c_Canvas* canvas = NewFrame();
    c_Image2* glass = c_Image2::Load(String("glass.png"), 0, 0, 0, nullptr);
    ASSERT_NE(glass, nullptr);
    canvas->DrawImage(glass, 10, 10, 0, 8, 8);
    canvas->Flush();
    Frame frame = Frame::Read();
    frame.Save("blend");
    // Stored as (128, 0, 0, 128); over white: 128 + 255 * 127 / 255.
    ExpectColor(frame, 20, 20, {255, 127, 127}, 2);
    ExpectColor(frame, 50, 50, kWhite);
}

TEST_F(CanvasGlTest, TheScissorClips) {
    c_Canvas* canvas = NewFrame();
    c_Image2* image = Quadrants(0);
    canvas->SetScissor(10, 10, 20, 20);
    canvas->DrawImage(image, 0, 0, 0, 10, 10);  // red over 0..79 x 0..79
    canvas->SetScissor(0, 0, kWidth, kHeight);
    // A letterboxed viewport: the scissor is relative to it.
    canvas->SetViewport(160, 120, 160, 120);
    canvas->SetOrthoProjection(0, 160, 0, 120, -1, 1);
    canvas->SetScissor(0, 0, 40, 40);
    canvas->DrawImage(image, 0, 0, 0, 10, 10);
    canvas->Flush();
    Frame frame = Frame::Read();
    frame.Save("scissor");
    ExpectColor(frame, 10, 10, kRed);
    ExpectColor(frame, 29, 29, kRed);
    ExpectColor(frame, 9, 15, kWhite);
    ExpectColor(frame, 30, 15, kWhite);
    ExpectColor(frame, 15, 30, kWhite);
    ExpectColor(frame, 160, 120, kRed);
    ExpectColor(frame, 199, 159, kRed);
    ExpectColor(frame, 200, 130, kWhite);
    ExpectColor(frame, 159, 130, kWhite);
}

TEST_F(CanvasGlTest, EveryShaderDrawsAnUnlitSpriteAsTheFastShaderDoes) {
    c_Canvas* canvas = NewFrame();
    c_Image2* source = Quadrants(0);
    c_Shader* shaders[5] = {fastShader, bumpShader, matteShader, shadowShader, lightMapShader};
    for (int i = 0; i < 5; ++i) {
        c_Material* material = (new c_Material())->Init(shaders[i]);
        material->PutTextureParam(String("ColorTexture"), source->material->ColorTexture());
        canvas->DrawImage(new c_Image2(material, 0, 0), 20 + 50.0f * i, 20, 0, 2, 2);
    }
    canvas->Flush();
    Frame frame = Frame::Read();
    frame.Save("five_shaders");
    for (int i = 1; i < 5; ++i)
        for (int y = 20; y < 52; ++y)
            for (int x = 0; x < 32; ++x) {
                Rgb fast = frame.At(20 + x, y);
                Rgb other = frame.At(20 + 50 * i + x, y);
                ASSERT_TRUE(fast.r == other.r && fast.g == other.g && fast.b == other.b)
                    << "shader " << i << " differs at " << x << "," << y;
            }
    ExpectColor(frame, 20, 20, kRed);
    ExpectColor(frame, 51, 51, kYellow);
}

// The committed canvas font with its further characters, as the renderer
// loads it from the data folder.
c_Font* RealFont() {
    const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
    std::string data = std::string(source ? source : ".") + "/data/";
    c_Font* font = c_Font::Load(String((data + "vexa2_font.png").c_str()), 32, 96, true);
    EXPECT_NE(font, nullptr);
    if (font) {
        EXPECT_TRUE(font->LoadMore(String((data + "vexa2_font_more.png").c_str())));
    }
    return font;
}

// The topmost row y0..y1 with dark ink in the columns x0..x1, or y1.
int TopInk(const Frame& frame, int x0, int x1, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (frame.At(x, y).g < 128) return y;
    return y1;
}

TEST_F(CanvasGlTest, AccentsDrawAboveTheirLettersAndAMissingCharacterDrawsAMark) {
    c_Canvas* canvas = NewFrame();
    canvas->font = RealFont();
    ASSERT_NE(canvas->font.get(), nullptr);
    canvas->SetColor(0, 0, 0);
    // One glyph per 19-unit cell: e é E É ç, then a character no font cell
    // holds and a space.
    const Char letters[] = {'e', 0xE9, 'E', 0xC9, 0xE7, 0x4E00, ' ', 0};
    canvas->DrawText(String(letters), 10, 10);
    // The line a French reader checks by eye, at full size on two rows.
    const Char line1[] = {0xAB, 0x202F, 0xC9, 'l', 0xE8, 'v', 'e', 0x202F, ':', ' ', 0xE7, 'a', ',', 0};
    const Char line2[] = {0x153, 'u', 'v', 'r', 'e', ',', ' ', 0x178, 0x202F, '!', 0x202F, 0xBB, 0};
    canvas->DrawText(String(line1), 10, 60);
    canvas->DrawText(String(line2), 10, 100);
    canvas->Flush();
    Frame frame = Frame::Read();
    frame.Save("french_text");
    const int blank = 40;
    auto top = [&](int cell) { return TopInk(frame, 10 + 19 * cell, 10 + 19 * (cell + 1), 10, blank); };
    ASSERT_LT(top(0), blank);
    ASSERT_LT(top(2), blank);
    EXPECT_LT(top(1), top(0) - 3) << "the acute accent above the x-height";
    EXPECT_LT(top(3), top(2) - 2) << "the accent above the capital";
    EXPECT_EQ(top(4), top(0)) << "the cedilla hangs below, the c stands as an e";
    EXPECT_LT(top(5), blank) << "a missing character draws the replacement mark";
    EXPECT_EQ(top(6), blank) << "a space stays blank";
}

TEST_F(CanvasGlTest, ANewWindowRebuildsEverythingForTheSameFrame) {
    c_Image2* image = Quadrants(0.5f);
    c_Image2* glass = c_Image2::Load(String("glass.png"), 0.5f, 0.5f, 0, nullptr);
    c_Canvas* canvas = (new c_Canvas())->Init();
    auto draw = [&]() {
        canvas->SetViewport(0, 0, kWidth, kHeight);
        canvas->Clear(1, 1, 1, 1);
        canvas->SetViewport(40, 0, 240, 240);
        canvas->SetOrthoProjection(0, 100, 0, 100, -1, 1);
        canvas->SetColor(1, 1, 1);
        for (int i = 0; i < 700; ++i) canvas->DrawImage(image, 10.0f + i % 80, 10.0f + i / 10, i * 3.0f, 0.5f, 0.5f);
        canvas->DrawImage(glass, 50, 50, 45, 4, 4);
        canvas->Flush();
        return Frame::Read();
    };
    Frame before = draw();
    before.Save("generation_before");
    int generation = graphicsGeneration;
    OpenWindow();
    ASSERT_EQ(graphicsGeneration, generation + 1);
    Frame after = draw();
    after.Save("generation_after");
    EXPECT_EQ(image->material->ColorTexture()->builtGeneration, graphicsGeneration);
    EXPECT_EQ(bumpShader->builtGeneration, graphicsGeneration);
    EXPECT_EQ(canvas->builtGeneration, graphicsGeneration);
    EXPECT_TRUE(before.rgba == after.rgba);
    // Something was drawn: not all white.
    int coloured = 0;
    for (size_t i = 0; i < after.rgba.size(); i += 4) coloured += after.rgba[i + 2] != 255;
    EXPECT_GT(coloured, 1000);
}

// The assembled sources must also compile as OpenGL ES 2.0 shaders.
TEST_F(CanvasGlTest, TheShaderSourcesCompileForOpenGlEs2) {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_ES_API);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* es = glfwCreateWindow(64, 64, "es2", nullptr, nullptr);
    if (!es) GTEST_SKIP() << "no OpenGL ES 2.0 context on this display";
    GLFWwindow* previous = glfwGetCurrentContext();
    glfwMakeContextCurrent(es);
    using CreateShaderFn = GLuint (*)(GLenum);
    using ShaderSourceFn = void (*)(GLuint, GLsizei, const GLchar* const*, const GLint*);
    using CompileShaderFn = void (*)(GLuint);
    using GetShaderivFn = void (*)(GLuint, GLenum, GLint*);
    using GetShaderInfoLogFn = void (*)(GLuint, GLsizei, GLsizei*, GLchar*);
    auto createShader = reinterpret_cast<CreateShaderFn>(glfwGetProcAddress("glCreateShader"));
    auto shaderSource = reinterpret_cast<ShaderSourceFn>(glfwGetProcAddress("glShaderSource"));
    auto compileShader = reinterpret_cast<CompileShaderFn>(glfwGetProcAddress("glCompileShader"));
    auto getShaderiv = reinterpret_cast<GetShaderivFn>(glfwGetProcAddress("glGetShaderiv"));
    auto getShaderInfoLog = reinterpret_cast<GetShaderInfoLogFn>(glfwGetProcAddress("glGetShaderInfoLog"));
    c_Shader* shaders[5] = {fastShader, bumpShader, matteShader, shadowShader, lightMapShader};
    int compiled = 0;
    for (c_Shader* shader : shaders)
        for (int lights = 0; lights <= 4; ++lights)
            for (int stage = 0; stage < 2; ++stage) {
                std::string text = "#define NUM_LIGHTS " + std::to_string(lights) + "\n" +
                                   (stage == 0 ? shader->vertexSource : shader->fragmentSource).ToUtf8();
                GLuint name = createShader(stage == 0 ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
                const GLchar* pointer = text.c_str();
                shaderSource(name, 1, &pointer, nullptr);
                compileShader(name);
                GLint ok = GL_FALSE;
                getShaderiv(name, GL_COMPILE_STATUS, &ok);
                char log[2048] = "";
                getShaderInfoLog(name, sizeof log, nullptr, log);
                EXPECT_EQ(ok, GL_TRUE) << "lights " << lights << " stage " << stage << ": " << log << "\n" << text;
                compiled += ok == GL_TRUE;
            }
    EXPECT_EQ(compiled, 50);
    glfwMakeContextCurrent(previous);
    glfwDestroyWindow(es);
}

}  // namespace
