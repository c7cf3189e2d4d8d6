// The host's event entries and the loop's timing rules, on a simulated clock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "host/events.h"
#include "host/frame.h"
#include "tests/unit/host_test_support.h"

namespace {

struct LoopTest : ::testing::Test {
    CountingGame game;
    FakeClock clock;
    RecordingDelegate* delegate = new RecordingDelegate();

    void SetUp() override {
        game.clock = &clock;
        game.SetDelegate(delegate);
    }
    void TearDown() override {
        // The delegate is held only by this fixture; let the collector have it.
        game.SetDelegate(nullptr);
    }
};

TEST_F(LoopTest, EntriesBeforeStartReachNothingAndCollectNothing) {
    game.Render();
    game.Update();
    game.KeyInput(EV_KEY_DOWN, KEY_CLOSE);
    game.MouseInput(EV_MOUSE_DOWN, 0, 1, 2);
    game.TouchInput(EV_TOUCH_DOWN, 0, 1, 2);
    game.MotionInput(EV_MOTION_ACCEL, 0, 1, 2, 3);
    game.ReleaseGraphics();
    game.Suspend();
    game.Resume();
    EXPECT_TRUE(delegate->calls.empty());
    EXPECT_EQ(game.collectSteps, 0);
}

TEST_F(LoopTest, EachDeliveredEventIsFollowedByOneCollectorStep) {
    game.Start();
    game.Start();  // a second start is dropped
    game.Render();
    game.KeyInput(EV_KEY_DOWN, 65);
    game.MouseInput(EV_MOUSE_MOVE, -1, 3, 4);
    game.TouchInput(EV_TOUCH_MOVE, 0, 3, 4);
    game.MotionInput(EV_MOTION_ACCEL, 0, 1, 2, 3);
    game.ReleaseGraphics();
    std::vector<std::string> expected = {"Start", "Render", "Key 1 65", "Mouse 6 -1 3 4", "Touch 9 0", "Motion 10",
                                         "ReleaseGraphics"};
    EXPECT_EQ(delegate->calls, expected);
    EXPECT_EQ(game.collectSteps, 7);
    EXPECT_TRUE(game.IsStarted());
}

TEST_F(LoopTest, SuspendedGameGetsNoUpdatesButStillRenders) {
    game.Start();
    game.Suspend();
    game.Suspend();  // already suspended: dropped
    game.Update();
    game.Render();
    game.Resume();
    game.Resume();  // not suspended: dropped
    game.Update();
    std::vector<std::string> expected = {"Start", "Suspend", "Render", "Resume", "Update"};
    EXPECT_EQ(delegate->calls, expected);
    EXPECT_EQ(game.collectSteps, 5);
}

TEST_F(LoopTest, CollectStepKeepsTheDelegateAlive) {
    game.Start();
    // Many steps with garbage in between: full cycles run, and only the host's
    // own marking keeps the delegate.
    for (int i = 0; i < 200; ++i) {
        for (int j = 0; j < 100; ++j) new Object();
        gc_add_external_bytes(1 << 20);
        game.Render();
    }
    EXPECT_STREQ(gc_check_heap(), "");
    EXPECT_EQ(delegate->calls.back(), "Render");
    EXPECT_EQ(delegate->calls.size(), 201u);
}

TEST_F(LoopTest, AtSixtyHertzFastFramesGetOneUpdatePerPassAndWaitTheRest) {
    game.SetTickRate(60);
    game.Start();
    game.RunDueUpdates();  // first pass: schedules from now
    EXPECT_EQ(delegate->updates, 1);
    for (int pass = 0; pass < 10; ++pass) {
        clock.now += 0.002;  // rendering takes 2 ms
        game.WaitForNextTick();
        EXPECT_DOUBLE_EQ(clock.now, game.nextTick) << "pass " << pass;
        game.RunDueUpdates();
    }
    EXPECT_EQ(delegate->updates, 11);
    // One wait in the window system per pass, for the rest of the period.
    ASSERT_EQ(clock.waits.size(), 10u);
    for (double seconds : clock.waits) EXPECT_NEAR(seconds, 1.0 / 60 - 0.002, 1e-9);
}

TEST_F(LoopTest, AfterAStallFourUpdatesRunAndTheBacklogIsDropped) {
    game.SetTickRate(60);
    game.Start();
    game.RunDueUpdates();
    ASSERT_EQ(delegate->updates, 1);
    clock.now += 1.0;  // a one-second stall
    game.WaitForNextTick();
    EXPECT_EQ(clock.waits, std::vector<double>{clock.waits.front()});
    EXPECT_LE(clock.waits.front(), 0.0);  // only the events already there
    game.RunDueUpdates();
    EXPECT_EQ(delegate->updates, 5);
    EXPECT_EQ(game.nextTick, 0.0);
    // The next pass renders without waiting and starts a fresh schedule.
    game.WaitForNextTick();
    EXPECT_EQ(clock.waits.back(), 0.0);
    game.RunDueUpdates();
    EXPECT_EQ(delegate->updates, 6);
    EXPECT_DOUBLE_EQ(game.nextTick, clock.now + 1.0 / 60);
}

TEST_F(LoopTest, ShortStallIsCaughtUpWithoutDroppingTheSchedule) {
    game.SetTickRate(60);
    game.Start();
    game.RunDueUpdates();
    double scheduled = game.nextTick;
    clock.now += 0.040;  // 40 ms: the updates due at +16.7 and +33.3 ms are late
    game.RunDueUpdates();
    EXPECT_EQ(delegate->updates, 3);
    EXPECT_DOUBLE_EQ(game.nextTick, scheduled + 2.0 / 60);
    EXPECT_GT(game.nextTick, clock.now);
}

TEST_F(LoopTest, SetTickRateInsideUpdateEndsTheCatchUp) {
    game.SetTickRate(60);
    game.Start();
    game.RunDueUpdates();
    delegate->onUpdate = [](RecordingDelegate*) { currentGlfwGame->SetTickRate(30); };
    clock.now += 1.0;
    game.RunDueUpdates();
    EXPECT_EQ(delegate->updates, 2);
    EXPECT_EQ(game.nextTick, 0.0);
    EXPECT_EQ(game.TickRate(), 30);
    EXPECT_DOUBLE_EQ(game.tickPeriod, 1.0 / 30);
}

TEST_F(LoopTest, RateZeroGivesExactlyOneUpdatePerPassAndNeverWaits) {
    game.SetTickRate(60);
    game.SetTickRate(0);
    EXPECT_DOUBLE_EQ(game.tickPeriod, 1.0 / 60);  // kept, not consulted
    game.Start();
    for (int pass = 0; pass < 5; ++pass) {
        clock.now += 1.0;
        game.WaitForNextTick();
        game.RunDueUpdates();
    }
    EXPECT_EQ(delegate->updates, 5);
    EXPECT_EQ(clock.waits, std::vector<double>(5, 0.0));
    EXPECT_EQ(game.nextTick, 0.0);
}

TEST_F(LoopTest, FocusSuspendsOnlyAfterTheWindowHasHadIt) {
    game.SetTickRate(60);
    game.Start();
    game.focusSeen = false;  // as after a window creation
    game.FollowFocus(false);
    EXPECT_FALSE(game.IsSuspended());

    game.FollowFocus(true);
    EXPECT_TRUE(game.focusSeen);
    game.RunDueUpdates();
    ASSERT_NE(game.nextTick, 0.0);

    game.FollowFocus(false);
    EXPECT_TRUE(game.IsSuspended());
    EXPECT_EQ(game.nextTick, 0.0);
    int updates = delegate->updates;
    game.RunDueUpdates();
    EXPECT_EQ(delegate->updates, updates);

    game.FollowFocus(true);
    EXPECT_FALSE(game.IsSuspended());
    EXPECT_EQ(game.nextTick, 0.0);  // a fresh schedule
    game.FollowFocus(false);
    game.FollowFocus(true);
    std::vector<std::string> tail(delegate->calls.end() - 4, delegate->calls.end());
    std::vector<std::string> expected = {"Suspend", "Resume", "Suspend", "Resume"};
    EXPECT_EQ(tail, expected);
}

TEST_F(LoopTest, ElapsedMillisecondsTruncatesTheClock) {
    clock.now = 0.0;
    EXPECT_EQ(game.ElapsedMilliseconds(), 0);
    clock.now = 1.2349;
    EXPECT_EQ(game.ElapsedMilliseconds(), 1234);
    clock.now = 0.0009;
    EXPECT_EQ(game.ElapsedMilliseconds(), 0);
    // Past 2^31 ms (24.8 days) the count wraps instead of leaving the range.
    clock.now = 2147483.648;
    EXPECT_EQ(game.ElapsedMilliseconds(), -2147483647 - 1);
    clock.now = 4294967.297;
    EXPECT_EQ(game.ElapsedMilliseconds(), 1);
}

using LoopDeathTest = LoopTest;

TEST_F(LoopDeathTest, AThrowableFromTheDelegateEndsTheProcessAsUncaught) {
    EXPECT_EXIT(
        {
            dup2(2, 1);  // the report goes to standard output; let the matcher see it
            game.Start();
            delegate->onUpdate = [](RecordingDelegate*) { throw new ThrowableObject(); };
            game.Update();
            std::puts("the throwable went past the host");
            std::exit(3);
        },
        ::testing::ExitedWithCode(255), "Ravlen Runtime Error : Uncaught Ravlen Exception");
}

TEST_F(LoopDeathTest, CheckedBuildsReportABrokenHeapAtTheStepAfterTheEvent) {
    if (!GC_CHECKED) GTEST_SKIP() << "release builds do not check the heap after each step";
    game.Start();
    game.Update();  // a clean heap passes the check
    EXPECT_EXIT(
        {
            dup2(2, 1);  // the report goes to standard output; let the matcher see it
            int empty = open("/dev/null", O_RDONLY);
            dup2(empty, 0);  // the debugger prompt reads nothing
            delegate->onUpdate = [](RecordingDelegate*) {
                // A black block takes a new object by an element store without the barrier.
                Array<Object*> block(1);
                gc_mark_now(block.Rep());
                block.Rep()->Elements()[0] = new Object();  // past the barrier
            };
            game.Update();
            std::puts("the step found nothing");
            std::exit(3);
        },
        ::testing::ExitedWithCode(255), "Ravlen Runtime Error : Heap check failed: a black object refers to a white one");
}

TEST_F(LoopTest, ResizingRedrawsAndRestartsTheSchedule) {
    game.SetTickRate(60);
    game.Start();
    game.RunDueUpdates();
    game.OnResized(640, 360);
    EXPECT_EQ(game.WindowWidth(), 640);
    EXPECT_EQ(game.WindowHeight(), 360);
    EXPECT_EQ(delegate->calls.back(), "Render");
    EXPECT_EQ(game.nextTick, 0.0);
}

// A delegate whose frames hold one number, and a renderer that keeps it
// while the frame is rendered and sends it when it differs from the one it
// sent last or when the host requires it.
class KeepingDelegate : public KtGameDelegate {
public:
    int picture = 7;
    int renders = 0;
    void Render() override {
        ++renders;
        EXPECT_TRUE(frameRecord.recording);
        kept = picture;
    }
    static int kept, sent, framesSent, framesDropped;
};
int KeepingDelegate::kept = 0, KeepingDelegate::sent = -1, KeepingDelegate::framesSent = 0,
    KeepingDelegate::framesDropped = 0;

int frameStarts = 0;

// What a frame keeps and compares, and the window's needs, are the canvas
// tests'.
TEST(FrameDecision, AFrameIsRenderedOnceAndSentWhenItDiffersOrIsRequired) {
    using D = KeepingDelegate;
    CountingGame game;
    D* d = new D();
    game.SetDelegate(d);
    frameRecord.Reset();
    frameRecord.startFrame = [] { ++frameStarts; };
    frameRecord.endFrame = [](bool required) {
        bool draw = required || D::kept != D::sent;
        if (draw) D::sent = D::kept;
        ++(draw ? D::framesSent : D::framesDropped);
        return draw;
    };
    EXPECT_FALSE(RenderChangedFrame(game)) << "nothing to draw before the start";
    EXPECT_EQ(frameStarts, 0);
    game.Start();
    game.width = 800;
    game.height = 500;

    EXPECT_TRUE(RenderChangedFrame(game));
    // The same picture: rendered every time, never sent again.
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(RenderChangedFrame(game));
    EXPECT_EQ(D::framesDropped, 100);
    EXPECT_EQ(D::framesSent, 1);
    // A changed picture is sent once, then quiet again.
    d->picture = 8;
    EXPECT_TRUE(RenderChangedFrame(game));
    EXPECT_FALSE(RenderChangedFrame(game));
    // The window's needs send the same picture: a required redraw, a new
    // size, a new context; each once.
    const std::vector<std::function<void()>> needs = {[] { frameRecord.RequireRedraw(); },
                                                      [&] { game.width = 801; }, [] { graphicsGeneration += 1; }};
    for (const auto& need : needs) {
        need();
        EXPECT_TRUE(RenderChangedFrame(game));
        EXPECT_FALSE(RenderChangedFrame(game));
    }
    EXPECT_EQ(D::framesSent, 5);
    EXPECT_EQ(d->renders, 109) << "one render a frame, whatever the decision";
    EXPECT_EQ(frameStarts, 109);
    EXPECT_FALSE(frameRecord.recording);

    frameRecord.endFrame = nullptr;
    frameRecord.startFrame = nullptr;
    game.SetDelegate(nullptr);
}

}  // namespace
