// The input device: hits, mirror keys, queues and their limits, positions and
// joystick buttons.
#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/input_device.h"
#include "host/events.h"
#include "host/game.h"

namespace {

// A host with joysticks on the first `present` ports, whose button b is
// pressed when the bit b of `pressed[port]` is set.
class JoystickHost : public KtGame {
public:
    int present = 0;
    unsigned pressed[4] = {0, 0, 0, 0};
    int polls = 0;
    bool PollJoystick(int port, Array<float> x, Array<float>, Array<float>, Array<bool> buttons) override {
        ++polls;
        if (port >= present) return false;
        x[0] = 0.25f * (port + 1);
        for (int b = 0; b < 32; ++b) buttons[b] = (pressed[port] >> b) & 1;
        return true;
    }
};

struct InputTest : ::testing::Test {
    JoystickHost host;
    c_InputDevice* input = nullptr;
    void SetUp() override {
        theHost = &host;
        input = new c_InputDevice();
    }
};

TEST_F(InputTest, AClickHitsTheLeftButtonAndTheFirstFingerForOneUpdate) {
    input->MouseInput(EV_MOUSE_DOWN, 0, 100, 50);
    input->PreTick();
    EXPECT_EQ(input->KeyHitCount(1), 1);
    EXPECT_EQ(input->KeyHitCount(384), 1);
    EXPECT_TRUE(input->IsKeyDown(1));
    EXPECT_TRUE(input->IsKeyDown(384));
    EXPECT_FLOAT_EQ(input->PointerX(), 100);
    EXPECT_FLOAT_EQ(input->touchY[0], 50);
    input->PostTick();
    EXPECT_EQ(input->KeyHitCount(1), 0);
    EXPECT_EQ(input->KeyHitCount(384), 0);
    EXPECT_TRUE(input->IsKeyDown(384));

    input->MouseInput(EV_MOUSE_UP, 0, 300, 300);
    EXPECT_FALSE(input->IsKeyDown(1));
    EXPECT_FALSE(input->IsKeyDown(384));
    // A release does not move the pointer.
    EXPECT_FLOAT_EQ(input->PointerX(), 100);
    EXPECT_FLOAT_EQ(input->PointerY(), 50);
}

TEST_F(InputTest, TheFirstFingerMirrorsTheLeftButton) {
    input->TouchInput(EV_TOUCH_DOWN, 0, 7, 8);
    EXPECT_TRUE(input->IsKeyDown(1));
    EXPECT_EQ(input->KeyHitCount(1), 1);
    EXPECT_FLOAT_EQ(input->PointerX(), 7);
    input->TouchInput(EV_TOUCH_UP, 0, 9, 9);
    EXPECT_FALSE(input->IsKeyDown(1));
    EXPECT_FLOAT_EQ(input->touchX[0], 7);
    // Another finger moves only its own position.
    input->TouchInput(EV_TOUCH_DOWN, 3, 40, 41);
    EXPECT_TRUE(input->IsKeyDown(387));
    EXPECT_FALSE(input->IsKeyDown(1));
    EXPECT_FLOAT_EQ(input->touchX[3], 40);
    EXPECT_FLOAT_EQ(input->PointerX(), 7);
    // Fingers beyond the 32 the device holds are ignored.
    input->TouchInput(EV_TOUCH_DOWN, 32, 1, 1);
    input->TouchInput(EV_TOUCH_MOVE, -1, 1, 1);
    EXPECT_FALSE(input->IsKeyDown(416));
    EXPECT_FLOAT_EQ(input->touchX[3], 40);
}

TEST_F(InputTest, TwoPressesBetweenUpdatesCountTwice) {
    for (int i = 0; i < 2; ++i) {
        input->KeyInput(EV_KEY_DOWN, 65);
        input->KeyInput(EV_KEY_UP, 65);
    }
    EXPECT_EQ(input->KeyHitCount(65), 2);
    EXPECT_FALSE(input->IsKeyDown(65));
}

TEST_F(InputTest, AutoRepeatAndStrayReleasesChangeNothing) {
    input->KeyInput(EV_KEY_DOWN, 65);
    input->KeyInput(EV_KEY_DOWN, 65);
    input->KeyInput(EV_KEY_DOWN, 65);
    EXPECT_EQ(input->KeyHitCount(65), 1);
    EXPECT_EQ(input->hitCount, 1);
    input->KeyInput(EV_KEY_UP, 66);
    EXPECT_FALSE(input->IsKeyDown(66));
    // The button's press put the first finger down too, so releasing the
    // finger releases the button.
    input->KeyInput(EV_KEY_DOWN, 1);
    input->PostTick();
    input->KeyInput(EV_KEY_UP, 384);
    EXPECT_FALSE(input->IsKeyDown(1));
}

TEST_F(InputTest, TheThirtyFourthPressIsDownButNotCounted) {
    for (int k = 0; k < 34; ++k) input->KeyInput(EV_KEY_DOWN, 65 + k);
    EXPECT_TRUE(input->IsKeyDown(65 + 33));
    EXPECT_EQ(input->KeyHitCount(65 + 32), 1);
    EXPECT_EQ(input->KeyHitCount(65 + 33), 0);
    input->PostTick();
    for (int k = 0; k < 34; ++k) EXPECT_EQ(input->KeyHitCount(65 + k), 0);
    EXPECT_EQ(input->hitCount, 0);
}

TEST_F(InputTest, TheThirtyThirdCharacterIsDropped) {
    for (int c = 0; c < 33; ++c) input->KeyInput(EV_KEY_CHAR, 'a' + c);
    EXPECT_EQ(input->charCount, 32);
    for (int c = 0; c < 32; ++c) EXPECT_EQ(input->GetChar(), 'a' + c);
    EXPECT_EQ(input->GetChar(), 0);
    input->PostTick();
    EXPECT_EQ(input->charCount, 0);
    input->KeyInput(EV_KEY_CHAR, 'z');
    EXPECT_EQ(input->GetChar(), 'z');
}

TEST_F(InputTest, KeysOutsideTheKeySpaceAreIgnored) {
    input->KeyInput(EV_KEY_DOWN, 512);
    input->KeyInput(EV_KEY_DOWN, -1);
    input->KeyInput(EV_KEY_UP, 100000);
    input->MouseInput(EV_MOUSE_DOWN, 600, 1, 1);
    EXPECT_EQ(input->hitCount, 0);
    EXPECT_FALSE(input->IsKeyDown(512));
    EXPECT_EQ(input->KeyHitCount(-1), 0);
}

TEST_F(InputTest, AccelerationIsStored) {
    input->MotionInput(EV_MOTION_ACCEL, 0, 1, 2, 3);
    input->MotionInput(EV_KEY_DOWN, 0, 7, 7, 7);
    EXPECT_FLOAT_EQ(input->accelX, 1);
    EXPECT_FLOAT_EQ(input->accelY, 2);
    EXPECT_FLOAT_EQ(input->accelZ, 3);
}

TEST_F(InputTest, JoystickButtonsBecomeKeysAndAnAbsentPortEndsThePolling) {
    host.present = 2;
    host.pressed[0] = 1u << 3;
    host.pressed[1] = 1u << 31;
    input->PreTick();
    EXPECT_EQ(host.polls, 3);  // ports 0 and 1, then 2 is absent: 3 is not asked
    EXPECT_TRUE(input->IsKeyDown(256 + 3));
    EXPECT_EQ(input->KeyHitCount(256 + 3), 1);
    EXPECT_TRUE(input->IsKeyDown(256 + 32 + 31));
    EXPECT_FLOAT_EQ(input->joyStates[1]->joyX[0], 0.5f);
    input->PostTick();

    input->PreTick();  // still held: no new hit
    EXPECT_EQ(input->KeyHitCount(256 + 3), 0);
    EXPECT_TRUE(input->IsKeyDown(256 + 3));

    host.pressed[0] = 0;
    host.present = 0;  // port 0 vanished: port 1 keeps its last values
    input->PreTick();
    EXPECT_TRUE(input->IsKeyDown(256 + 3));
    EXPECT_TRUE(input->IsKeyDown(256 + 32 + 31));
    host.present = 2;
    input->PreTick();
    EXPECT_FALSE(input->IsKeyDown(256 + 3));
}

TEST_F(InputTest, TheDeviceSurvivesCollection) {
    input->KeyInput(EV_KEY_DOWN, 70);
    gc_mark_now(input);
    gc_full_collection();
    gc_mark_now(input);
    gc_full_collection();
    EXPECT_STREQ(gc_check_heap(), "");
    EXPECT_TRUE(input->IsKeyDown(70));
    EXPECT_EQ(input->joyStates[3]->buttons.Length(), 32);
}

}  // namespace
