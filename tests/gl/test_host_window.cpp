// The window and its OpenGL context on a real X server: creation, the
// entry points, re-creation with keys released and a new generation, and a
// surface's texture following the generations.
#include <gtest/gtest.h>

#include <link.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics.h"
#include "host/events.h"
#include "host/gl_api.h"
#include "host/glfw_game.h"
#include "host/host_main.h"

namespace {

class KeyLog : public KtGameDelegate {
public:
    std::vector<std::string> keys;
    void KeyInput(int event, int data) override { keys.push_back(std::to_string(event) + " " + std::to_string(data)); }
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(InitWindowSystem()); }
    static void TearDownTestSuite() { EndWindowSystem(); }
};

TEST_F(WindowTest, CreationResolvesTheEntryPointsAndRaisesTheGeneration) {
    KtRavlenGame game;
    EXPECT_EQ(game.desktopVideoMode[0], 1920);
    EXPECT_EQ(game.desktopVideoMode[1], 1080);
    int before = graphicsGeneration;
    game.CreateDeviceWindow(320, 200, 22);
    ASSERT_NE(game.window, nullptr);
    EXPECT_EQ(graphicsGeneration, before + 1);
    EXPECT_EQ(game.WindowWidth(), 320);
    EXPECT_FALSE(game.focusSeen);
    ASSERT_NE(gl.Viewport, nullptr);
    ASSERT_NE(gl.CreateProgram, nullptr);
    ASSERT_NE(gl.VertexAttribPointer, nullptr);

    // The context is current: a cleared frame reads back.
    gl.ClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {0, 0, 0, 0};
    gl.ReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);

    Array<KtDisplayMode*> modes = game.ScreenModes();
    bool desktopListed = false;
    for (int i = 0; i < modes.Length(); ++i)
        desktopListed = desktopListed || (modes[i]->width == 1920 && modes[i]->height == 1080);
    EXPECT_TRUE(desktopListed);
    KtDisplayMode* desktop = game.DesktopScreenMode();
    EXPECT_EQ(desktop->width, 1920);
    EXPECT_EQ(desktop->height, 1080);
}

TEST_F(WindowTest, ReCreationReleasesHeldKeysAndMakesANewContext) {
    KtRavlenGame game;
    KeyLog* log = new KeyLog();
    game.SetDelegate(log);
    game.Start();
    game.CreateDeviceWindow(320, 200, 22);
    int generation = graphicsGeneration;

    // Hold a letter through the X server; the window has the focus.
    ASSERT_EQ(std::system("xdotool keydown a"), 0);
    // The key reaches the window through the X server: pumped until it
    // comes, with a deadline far beyond what a busy machine needs.
    for (int i = 0; i < 1000 && log->keys.empty(); ++i) {
        game.PumpEvents();
        std::system("sleep 0.02");
    }
    ASSERT_FALSE(log->keys.empty());
    EXPECT_EQ(log->keys.front(), "1 65");

    log->keys.clear();
    game.CreateDeviceWindow(400, 300, 22);
    ASSERT_EQ(std::system("xdotool keyup a"), 0);
    EXPECT_EQ(log->keys, std::vector<std::string>{"2 65"});
    EXPECT_NE(game.window, nullptr);
    EXPECT_EQ(graphicsGeneration, generation + 1);
    EXPECT_EQ(game.WindowHeight(), 300);
    game.SetDelegate(nullptr);
}

TEST_F(WindowTest, ASurfaceGetsATextureInEachNewContext) {
    KtRavlenGame game;
    gxtkSurface* surface = new gxtkSurface();
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(3 * 2 * 4));
    for (int i = 0; i < 24; ++i) pixels[i] = 255;
    surface->TakePixels(pixels, 3, 2, 4);

    game.CreateDeviceWindow(64, 64, 22);
    surface->PrepareTexture();
    EXPECT_EQ(surface->builtGeneration, graphicsGeneration);
    EXPECT_TRUE(gl.IsTexture(surface->texture));
    EXPECT_EQ(gl.GetError(), static_cast<GLenum>(GL_NO_ERROR));

    game.CreateDeviceWindow(64, 64, 22);
    EXPECT_NE(surface->builtGeneration, graphicsGeneration);
    surface->PrepareTexture();
    EXPECT_EQ(surface->builtGeneration, graphicsGeneration);
    EXPECT_TRUE(gl.IsTexture(surface->texture));
    surface->DropSurface();
    EXPECT_FALSE(gl.IsTexture(surface->texture));
}

// The libraries of the process, by name.
std::set<std::string> LoadedLibraries() {
    std::set<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) {
            static_cast<std::set<std::string>*>(out)->insert(info->dlpi_name);
            return 0;
        },
        &names);
    return names;
}

// The leak checker can only name a driver's allocations while the driver's
// libraries are loaded: ending the window system must not unload them.
TEST_F(WindowTest, SanitizedBuildsKeepTheDriverLoadedWhenTheWindowSystemEnds) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "only the leak checker needs the libraries kept";
#endif
    {
        KtRavlenGame game;
        game.CreateDeviceWindow(64, 64, 22);
        gl.Clear(GL_COLOR_BUFFER_BIT);
    }
    std::set<std::string> loaded = LoadedLibraries();
    EndWindowSystem();
    EXPECT_EQ(LoadedLibraries(), loaded);
    ASSERT_TRUE(InitWindowSystem());
}

}  // namespace
