// Shared pieces of the canvas tests: a host without a window system whose
// data folder is a private temporary folder, pictures written as PNG files,
// the recording GL layer ready for the renderer, and runtime errors checked
// in a child process.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/game.h"
#include "host/game_delegate.h"
#include "runtime/gc_ref.h"

// A host with a settable window size and data folder.
class CanvasTestGame : public KtGame {
public:
    int windowWidth = 800;
    int windowHeight = 600;
    // Every picture path asked for, as the host resolves it.
    std::vector<std::string> imageLoads;
    int WindowWidth() override { return windowWidth; }
    int WindowHeight() override { return windowHeight; }
    unsigned char* LoadImagePixels(const String& path, int* width, int* height, int* components,
                                   int64_t maxPixels = kMaxPicturePixels) override {
        imageLoads.push_back(path.ToUtf8());
        return KtGame::LoadImagePixels(path, width, height, components, maxPixels);
    }
};

// The one host of the test process (made on first use; it is currentGame).
CanvasTestGame& TestGame();

// A new temporary folder with a "data" folder holding the six shader texts
// of the source tree and a generated 960 x 16 default font; it becomes the
// test host's application folder. Returns the data folder's path.
std::string MakeDataFolder();

// Frames as the host renders them (RenderChangedFrame): the test host,
// started, with a delegate whose Render runs `draw`; the presented frame is
// forgotten first.
class HostFrames {
public:
    explicit HostFrames(std::function<void()> draw);
    ~HostFrames();
    // One pass, the recorder's calls cleared first: true when the frame was
    // drawn and would be presented.
    bool Pass();

private:
    class Drawer : public KtGameDelegate {
    public:
        std::function<void()> draw;
        void Render() override { draw(); }
    };
    gc_root<Drawer> drawer_;
};

// Writes RGBA (or fewer components) pixels as a PNG file.
void WritePng(const std::string& path, int width, int height, int components, const std::vector<unsigned char>& pixels);
// The font picture: `count` cells of cellWidth x cellHeight in one row, each
// framed by a one-pixel border.
void WriteFontPicture(const std::string& path, int count, int cellWidth, int cellHeight);

// Installs the recorder, resets the canvas globals, sets graphics generation 1
// and a window of the given size, and points the host at a fresh data folder.
// The renderer is not started: the test calls InitRenderer when its data
// folder is as it wants it.
std::string StartRecordedRenderer(int windowWidth = 800, int windowHeight = 600);

// For EXPECT_EXIT: the report goes to standard error, where the death test
// reads it, and the debugger prompt reads an empty input and ends the process.
void SendReportsToStderr();

#define EXPECT_RUNTIME_ERROR(statement, message)                                        \
    EXPECT_EXIT(                                                                        \
        {                                                                               \
            SendReportsToStderr();                                                      \
            statement;                                                                  \
        },                                                                              \
        ::testing::ExitedWithCode(255), "Ravlen Runtime Error : " message)
