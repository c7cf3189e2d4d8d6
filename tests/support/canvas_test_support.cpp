#include "tests/support/canvas_test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "canvas/font_characters.h"
#include "canvas/renderer.h"
#include "host/frame.h"
#include "host/game.h"
#include "tests/support/gl_recorder.h"

CanvasTestGame& TestGame() {
    static CanvasTestGame* game = new CanvasTestGame();
    return *game;
}

HostFrames::HostFrames(std::function<void()> draw) : drawer_(new Drawer()) {
    drawer_->draw = std::move(draw);
    frameRecord.Reset();
    TestGame().SetDelegate(drawer_);
    TestGame().started = true;
}

HostFrames::~HostFrames() {
    TestGame().started = false;
    TestGame().SetDelegate(nullptr);
}

bool HostFrames::Pass() {
    glRecorder().Clear();
    return RenderChangedFrame(TestGame());
}

void WritePng(const std::string& path, int width, int height, int components,
              const std::vector<unsigned char>& pixels) {
    ASSERT_TRUE(stbi_write_png(path.c_str(), width, height, components, pixels.data(), width * components)) << path;
}

void WriteFontPicture(const std::string& path, int count, int cellWidth, int cellHeight) {
    int width = count * cellWidth;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * cellHeight * 4, 0);
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < width; ++x) {
            int cx = x % cellWidth;
            bool border = cx == 0 || cx == cellWidth - 1 || y == 0 || y == cellHeight - 1;
            unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = border ? 0 : 255;
        }
    WritePng(path, width, cellHeight, 4, pixels);
}

namespace {

// The folders made by this process, removed when it ends normally (a death
// test's child ends with _exit and leaves them to its parent).
struct TemporaryFolders {
    std::vector<std::string> paths;
    ~TemporaryFolders() {
        for (const std::string& path : paths) std::filesystem::remove_all(path);
    }
} temporaryFolders;

}  // namespace

std::string MakeDataFolder() {
    char folder[] = "/tmp/grimalou-canvas-XXXXXX";
    if (!mkdtemp(folder)) ADD_FAILURE() << "no temporary folder";
    std::string app = folder;
    temporaryFolders.paths.push_back(app);
    std::string data = app + "/data";
    mkdir(data.c_str(), 0700);
    const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
    std::string sourceData = std::string(source ? source : ".") + "/data/";
    for (const char* name : {"vexa2_program.glsl", "vexa2_fastshader.glsl", "vexa2_bumpshader.glsl",
                             "vexa2_matteshader.glsl", "vexa2_shadowshader.glsl", "vexa2_lightmapshader.glsl"}) {
        std::ifstream in(sourceData + name, std::ios::binary);
        EXPECT_TRUE(in.good()) << sourceData + name;
        std::ofstream out(data + "/" + name, std::ios::binary);
        out << in.rdbuf();
    }
    WriteFontPicture(data + "/vexa2_font.png", 96, 10, 16);
    WriteFontPicture(data + "/vexa2_font_more.png", kMoreFontCharacterCount, 10, 16);
    TestGame().appDir = String(app.c_str());
    return data;
}

std::string StartRecordedRenderer(int windowWidth, int windowHeight) {
    InstallGlRecorder();
    InitCanvasGlobals();
    graphicsGeneration = 1;
    TestGame().windowWidth = windowWidth;
    TestGame().windowHeight = windowHeight;
    TestGame().imageLoads.clear();
    return MakeDataFolder();
}

void SendReportsToStderr() {
    dup2(2, 1);
    int empty = open("/dev/null", O_RDONLY);
    dup2(empty, 0);
}
