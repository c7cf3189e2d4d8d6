// The application base, the delegate and the framework's functions, over a
// host that answers from fixed values.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

#include "framework/app.h"
#include "framework/game_delegate.h"
#include "framework/graphics.h"
#include "framework/input_device.h"
#include "host/audio.h"
#include "host/events.h"
#include "host/game.h"

namespace {

class FixedHost : public KtGame {
public:
    std::vector<std::pair<int, int>> modes;
    bool hasDesktop = true;
    int width = 800;
    int height = 500;
    int WindowWidth() override { return width; }
    int WindowHeight() override { return height; }
    Array<KtDisplayMode*> ScreenModes() override {
        Array<KtDisplayMode*> result(static_cast<int>(modes.size()));
        for (size_t i = 0; i < modes.size(); ++i) {
            KtDisplayMode* mode = new KtDisplayMode();
            mode->width = modes[i].first;
            mode->height = modes[i].second;
            result[static_cast<int>(i)] = mode;
        }
        return result;
    }
    KtDisplayMode* DesktopScreenMode() override {
        if (!hasDesktop) return nullptr;
        KtDisplayMode* mode = new KtDisplayMode();
        mode->width = 1920;
        mode->height = 1080;
        return mode;
    }
};

class LoggingApp : public c_App {
public:
    std::vector<std::string> calls;
    int OnSetup() override {
        // The devices exist by now.
        calls.push_back(inputDevice && graphicsDevice && audioDevice ? "OnSetup with devices" : "OnSetup");
        return 0;
    }
    int OnTick() override {
        calls.push_back("OnTick hits " + std::to_string(inputDevice->KeyHitCount(384)));
        return 0;
    }
    int OnDraw() override {
        calls.push_back("OnDraw");
        return 0;
    }
};

// Each test gets fresh framework globals over its own host.
struct AppTest : ::testing::Test {
    FixedHost host;
    void SetUp() override {
        InitFrameworkGlobals();
    }
};

TEST_F(AppTest, ConstructionRegistersTheAppAndHandsTheDelegateToTheHost) {
    EXPECT_EQ(theHost, &host);
    LoggingApp* app = new LoggingApp();
    EXPECT_EQ(theApp, app);
    ASSERT_NE(theDelegate, nullptr);
    EXPECT_EQ(host.GetDelegate(), theDelegate);
    EXPECT_EQ(inputDevice, nullptr);
}

TEST_F(AppTest, StartCreatesTheDevicesBeforeOnSetupAndTheLoopFeedsTheApp) {
    host.modes = {{800, 600}, {1024, 768}};
    LoggingApp* app = new LoggingApp();
    host.Start();
    ASSERT_EQ(app->calls.size(), 1u);
    EXPECT_EQ(app->calls[0], "OnSetup with devices");
    EXPECT_EQ(theDelegate->input, inputDevice);
    EXPECT_EQ(theDelegate->graphics, graphicsDevice);
    EXPECT_EQ(WindowWidth(), 800);

    host.Render();
    host.MouseInput(EV_MOUSE_DOWN, 0, 5, 5);
    host.Update();
    host.Update();
    std::vector<std::string> expected = {"OnSetup with devices", "OnDraw", "OnTick hits 1", "OnTick hits 0"};
    EXPECT_EQ(app->calls, expected);
    EXPECT_TRUE(inputDevice->IsKeyDown(1));

    host.width = 640;
    host.Update();
    EXPECT_EQ(WindowWidth(), 640);
    EXPECT_EQ(graphicsDevice->FrameWidth(), 800);  // the device reads the size at its frame
    host.Render();
    EXPECT_EQ(graphicsDevice->FrameWidth(), 640);
}

TEST_F(AppTest, LosingTheWindowReleasesWhatIsHeld) {
    new LoggingApp();
    host.Start();
    host.MouseInput(EV_MOUSE_DOWN, 0, 5, 5);
    host.KeyInput(EV_KEY_DOWN, 65);
    host.Suspend();
    // The release happens elsewhere and never arrives.
    host.Resume();
    EXPECT_FALSE(inputDevice->IsKeyDown(1));
    EXPECT_FALSE(inputDevice->IsKeyDown(384));
    EXPECT_FALSE(inputDevice->IsKeyDown(65));
    // The presses of the last update are still counted.
    EXPECT_EQ(inputDevice->KeyHitCount(384), 1);
}

TEST_F(AppTest, TheAppAndItsDevicesSurviveCollection) {
    new LoggingApp();
    host.Start();
    for (int i = 0; i < 50; ++i) {
        gc_add_external_bytes(1 << 20);
        host.Render();
    }
    EXPECT_STREQ(gc_check_heap(), "");
    EXPECT_EQ(static_cast<LoggingApp*>(theApp.get())->calls.back(), "OnDraw");
    EXPECT_EQ(inputDevice->keyDown.Length(), 512);
}

TEST_F(AppTest, ScreenModesDropLaterDuplicates) {
    host.modes = {{800, 600}, {1024, 768}, {800, 600}};
    CollectScreenModes();
    ASSERT_EQ(displayModeList.Length(), 2);
    EXPECT_EQ(displayModeList[0]->width, 800);
    EXPECT_EQ(displayModeList[0]->height, 600);
    EXPECT_EQ(displayModeList[1]->width, 1024);
    EXPECT_EQ(desktopModeObject->width, 1920);
    EXPECT_EQ(desktopModeObject->height, 1080);
}

TEST_F(AppTest, WithoutADesktopModeTheWindowSizeStandsIn) {
    host.hasDesktop = false;
    RefreshDeviceSize();
    CollectScreenModes();
    EXPECT_EQ(displayModeList.Length(), 0);
    EXPECT_EQ(desktopModeObject->width, 800);
    EXPECT_EQ(desktopModeObject->height, 500);
}

TEST_F(AppTest, TickRateAndDateGoThroughTheHost) {
    SetTickRate(60);
    EXPECT_EQ(updateRate, 60);
    EXPECT_EQ(host.TickRate(), 60);
    Array<int> date = CurrentDate();
    ASSERT_EQ(date.Length(), 7);
    EXPECT_GE(date[0], 2024);
    EXPECT_EQ(date[6], 0);
}

TEST_F(AppTest, ReleasingTheCloseKeyAloneDoesNotQuit) {
    new LoggingApp();
    host.Start();
    host.KeyInput(EV_KEY_UP, KEY_CLOSE);
    EXPECT_FALSE(inputDevice->IsKeyDown(KEY_CLOSE));
}

TEST_F(AppTest, ACloseKeyBeforeStartIsDropped) {
    new LoggingApp();
    host.KeyInput(EV_KEY_DOWN, KEY_CLOSE);
    EXPECT_FALSE(host.IsStarted());
}

using AppDeathTest = AppTest;

TEST_F(AppDeathTest, PressingTheCloseKeyEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(
        {
            new LoggingApp();
            host.Start();
            host.KeyInput(EV_KEY_DOWN, KEY_CLOSE);
            std::puts("still running");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(AppDeathTest, KeyFourSixteenQuitsToo) {
    EXPECT_EXIT(
        {
            new LoggingApp();
            host.Start();
            host.KeyInput(EV_KEY_DOWN, KEY_QUIT);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(AppDeathTest, ASecondAppIsARuntimeError) {
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            dup2(2, 1);  // the report goes to standard output; let the matcher see it
            new LoggingApp();
            new LoggingApp();
            std::exit(3);
        },
        ::testing::ExitedWithCode(255), "Ravlen Runtime Error : App has already been created");
}

}  // namespace
