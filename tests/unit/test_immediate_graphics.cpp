// Pictures in surfaces: premultiplication, frames, data paths and textures
// across graphics generations, with OpenGL replaced by a recorder.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/graphics.h"
#include "framework/graphics_context.h"
#include "host/gl_api.h"
#include "host/gl_state.h"
#include "host/glfw_game.h"
#include "host/paths.h"
#include "tests/unit/host_test_support.h"

namespace {

std::vector<std::string> glCalls;
GLenum nextError = GL_NO_ERROR;
GLuint nextTexture = 1;

void RecGenTextures(GLsizei n, GLuint* names) {
    for (int i = 0; i < n; ++i) names[i] = nextTexture++;
    glCalls.push_back("GenTextures");
}
void RecBindTexture(GLenum, GLuint name) { glCalls.push_back("BindTexture " + std::to_string(name)); }
void RecTexParameteri(GLenum, GLenum, GLint) {}
GLenum RecGetError() {
    GLenum e = nextError;
    nextError = GL_NO_ERROR;
    return e;
}
void RecTexImage2D(GLenum, GLint, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum, const void*) {
    glCalls.push_back("TexImage2D " + std::to_string(w) + "x" + std::to_string(h));
}
void RecTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei w, GLsizei h, GLenum, GLenum, const void* p) {
    glCalls.push_back("TexSubImage2D " + std::to_string(w) + "x" + std::to_string(h) +
                      (p ? " pixels" : " none"));
}
void RecPixelStorei(GLenum, GLint) {}
void RecActiveTexture(GLenum) {}
void RecDeleteTextures(GLsizei, const GLuint* names) {
    glCalls.push_back("DeleteTextures " + std::to_string(names[0]));
}

struct GraphicsTest : ::testing::Test {
    KtRavlenGame host;
    std::string dir;
    gxtkGraphics* graphics = nullptr;

    void SetUp() override {
        gl = GlApi();
        gl.GenTextures = RecGenTextures;
        gl.BindTexture = RecBindTexture;
        gl.TexParameteri = RecTexParameteri;
        gl.GetError = RecGetError;
        gl.TexImage2D = RecTexImage2D;
        gl.TexSubImage2D = RecTexSubImage2D;
        gl.PixelStorei = RecPixelStorei;
        gl.DeleteTextures = RecDeleteTextures;
        gl.ActiveTexture = RecActiveTexture;
        glCalls.clear();
        graphicsGeneration = 0;
        InvalidateGlState();

        char pattern[] = "/tmp/grimalou_gfx_XXXXXX";
        dir = mkdtemp(pattern);
        host.appDir = String(dir.c_str());
        InitFrameworkGlobals();
        graphics = new gxtkGraphics();
        graphicsDevice = graphics;
    }
    void TearDown() override {
        std::system(("rm -rf '" + dir + "'").c_str());
        gl = GlApi();
        graphicsGeneration = 0;
    }
    void WritePng(const std::string& name, int w, int h, int components, const std::vector<unsigned char>& pixels) {
        std::string path = dir + "/" + name;
        ASSERT_NE(stbi_write_png(path.c_str(), w, h, components, pixels.data(), w * components), 0);
    }
};

TEST_F(GraphicsTest, PicturesArePremultipliedByAlpha) {
    WritePng("rgba.png", 2, 1, 4, {200, 100, 50, 128, 255, 255, 255, 0});
    WritePng("la.png", 1, 1, 2, {200, 128});
    WritePng("rgb.png", 1, 1, 3, {200, 100, 50});

    gxtkSurface* rgba = new gxtkSurface();
    ASSERT_TRUE(graphics->FillSurface(rgba, String((dir + "/rgba.png").c_str())));
    EXPECT_EQ(rgba->format, GL_RGBA);
    EXPECT_EQ(rgba->depth, 4);
    std::vector<int> first(rgba->pixels, rgba->pixels + 8);
    EXPECT_EQ(first, (std::vector<int>{100, 50, 25, 128, 0, 0, 0, 0}));

    // Every picture comes as RGBA, as the canvas's textures do: grey with
    // alpha as three equal premultiplied channels, no alpha as opaque.
    gxtkSurface* la = new gxtkSurface();
    ASSERT_TRUE(graphics->FillSurface(la, String((dir + "/la.png").c_str())));
    EXPECT_EQ(la->format, GL_RGBA);
    EXPECT_EQ(std::vector<int>(la->pixels, la->pixels + 4), (std::vector<int>{100, 100, 100, 128}));

    gxtkSurface* rgb = new gxtkSurface();
    ASSERT_TRUE(graphics->FillSurface(rgb, String((dir + "/rgb.png").c_str())));
    EXPECT_EQ(rgb->format, GL_RGBA);
    EXPECT_EQ(std::vector<int>(rgb->pixels, rgb->pixels + 4), (std::vector<int>{200, 100, 50, 255}));

    EXPECT_FALSE(graphics->FillSurface(new gxtkSurface(), String((dir + "/missing.png").c_str())));
}

TEST_F(GraphicsTest, AFontStripWithPaddingGivesNinetySixNarrowFrames) {
    ASSERT_EQ(mkdir((dir + "/data").c_str(), 0755), 0);
    WritePng("data/vexa_font.png", 960, 16, 4, std::vector<unsigned char>(960 * 16 * 4, 255));
    c_Image* image = OpenFramedImage(String("vexa_font.png"), 96, 2);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(image->height, 16);
    ASSERT_EQ(image->frames.Length(), 96);
    for (int i = 0; i < 96; ++i) {
        EXPECT_EQ(image->frames[i]->x, 1 + 10 * i);
        EXPECT_EQ(image->frames[i]->y, 0);
    }
    EXPECT_EQ(image->flags, 2);

    graphicsContext->LoadDefaultFont();
    ASSERT_NE(graphicsContext->defaultFont, nullptr);
    EXPECT_EQ(graphicsContext->font, graphicsContext->defaultFont);
    EXPECT_EQ(graphicsContext->firstChar, 32);
    EXPECT_EQ(graphicsContext->defaultFont->frames.Length(), 96);
}

TEST_F(GraphicsTest, WithoutTheFontFileThereIsNoDefaultFont) {
    graphicsContext->LoadDefaultFont();
    EXPECT_EQ(graphicsContext->defaultFont, nullptr);
    EXPECT_EQ(graphicsContext->firstChar, 32);
}

TEST_F(GraphicsTest, AFontPictureTooLargeForAFontIsRefusedUndecoded) {
    ASSERT_EQ(mkdir((dir + "/data").c_str(), 0755), 0);
    std::filesystem::copy_file(HugePicturePath(), dir + "/data/vexa_font.png");
    long before = PeakResidentKiB();
    graphicsContext->LoadDefaultFont();
    EXPECT_EQ(graphicsContext->defaultFont, nullptr);
    EXPECT_EQ(graphicsContext->font, nullptr);
    // Decoded it would take 64 MiB.
    EXPECT_LT(PeakResidentKiB() - before, 32 * 1024);
}

TEST_F(GraphicsTest, ImageFlags) {
    gxtkSurface* surface = new gxtkSurface();
    surface->width = 40;
    surface->height = 20;

    c_Image* padded = (new c_Image())->Init(surface, 2, 4 | 1);
    EXPECT_EQ(padded->width, 20);
    EXPECT_EQ(padded->height, 18);
    EXPECT_EQ(padded->frames[1]->x, 20);
    EXPECT_EQ(padded->frames[1]->y, 1);
    EXPECT_EQ(padded->flags, 4);  // the centre-handle bit is consumed
    EXPECT_FLOAT_EQ(padded->handleX, 10);
    EXPECT_FLOAT_EQ(padded->handleY, 9);

    c_Image* whole = (new c_Image())->Init(surface, 1, 0);
    EXPECT_EQ(whole->flags, c_Image::kFullSurface);
    c_Image* inset = (new c_Image())->Init(surface, 1, 2);
    EXPECT_EQ(inset->flags, 2);

    c_Image* none = (new c_Image())->Init(surface, 0, 0);  // taken as one frame
    EXPECT_EQ(none->frames.Length(), 1);
    EXPECT_EQ(none->width, 40);
}

TEST_F(GraphicsTest, CompleteDataPath) {
    auto complete = [](const char* p) { return PathToUtf8(CompleteDataPath(String(p))); };
    EXPECT_EQ(complete("font.png"), "ravlen://data/font.png");
    EXPECT_EQ(complete("./a.png"), "./a.png");
    EXPECT_EQ(complete("/tmp/a.png"), "/tmp/a.png");
    EXPECT_EQ(complete("ravlen://data/a.png"), "ravlen://data/a.png");
    EXPECT_EQ(complete("dir/a:/b.png"), "ravlen://data/dir/a:/b.png");  // the colon is not a scheme's
}

TEST_F(GraphicsTest, TexturesAreMadeOnlyUnderAContextAndAgainForEachNewOne) {
    WritePng("pic.png", 3, 5, 4, std::vector<unsigned char>(3 * 5 * 4, 9));
    gxtkSurface* surface = graphics->OpenSurface(String((dir + "/pic.png").c_str()));
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(glCalls.empty());  // no context yet
    EXPECT_EQ(surface->builtGeneration, -1);

    graphicsGeneration = 1;
    surface->PrepareTexture();
    std::vector<std::string> made = {"GenTextures", "BindTexture 1", "TexImage2D 3x5", "TexSubImage2D 3x5 pixels"};
    EXPECT_EQ(glCalls, made);
    EXPECT_FLOAT_EQ(surface->uscale, 1.0f / 3);
    // Bound already: the GL state cache sends nothing.
    glCalls.clear();
    surface->PrepareTexture();
    EXPECT_TRUE(glCalls.empty());

    graphicsGeneration = 2;
    glCalls.clear();
    surface->PrepareTexture();
    std::vector<std::string> remade = {"GenTextures", "BindTexture 2", "TexImage2D 3x5", "TexSubImage2D 3x5 pixels"};
    EXPECT_EQ(glCalls, remade);

    glCalls.clear();
    surface->DropSurface();
    EXPECT_EQ(glCalls, std::vector<std::string>{"DeleteTextures 2"});
    EXPECT_EQ(surface->builtGeneration, -1);
    EXPECT_EQ(surface->pixels, nullptr);
}

TEST_F(GraphicsTest, ARefusedSizeFallsBackToPowersOfTwo) {
    graphicsGeneration = 1;
    gxtkSurface* surface = new gxtkSurface();
    surface->width = 100;
    surface->height = 33;
    surface->format = GL_RGBA;
    nextError = GL_INVALID_VALUE;  // stale error: must not count against the first definition
    glCalls.clear();
    surface->PrepareTexture();
    EXPECT_EQ(glCalls.back(), "TexImage2D 100x33");

    struct Refuse {
        static void TexImage2D(GLenum, GLint, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum, const void*) {
            glCalls.push_back("TexImage2D " + std::to_string(w) + "x" + std::to_string(h));
            if (w == 100) nextError = GL_INVALID_VALUE;
        }
    };
    gl.TexImage2D = Refuse::TexImage2D;
    gxtkSurface* other = graphics->MakeSurface(100, 33);
    std::vector<std::string> tail(glCalls.end() - 2, glCalls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"TexImage2D 100x33", "TexImage2D 128x64"}));
    EXPECT_FLOAT_EQ(other->uscale, 1.0f / 128);
    EXPECT_FLOAT_EQ(other->vscale, 1.0f / 64);
}

TEST_F(GraphicsTest, TheDeviceColourIsPremultiplied) {
    graphics->SetTint(200, 100, 50);
    graphics->SetOpacity(0.5f);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&graphics->colour);
    EXPECT_EQ(bytes[0], 100);
    EXPECT_EQ(bytes[1], 50);
    EXPECT_EQ(bytes[2], 25);
    EXPECT_EQ(bytes[3], 127);
    graphics->SetTransform(1, 0, 0, 1, 0, 0);
    EXPECT_FALSE(graphics->transformed);
    graphics->SetTransform(1, 0, 0, 1, 5, 0);
    EXPECT_TRUE(graphics->transformed);
    EXPECT_EQ(graphics->StartFrame(), 0);
}

}  // namespace
