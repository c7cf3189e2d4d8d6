// The keyboard on the face screen: each key does what a click on its button
// does, tick by tick and in the recorder; held keys act once; the help
// overlay; half-pace playback.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/input_device.h"
#include "host/events.h"
#include "tests/support/app_test_support.h"

namespace {

// Everything a click or a key can change: the face, the buttons, the recorder.
std::vector<float> State(c_MyApp* app) {
    std::string face = FaceText(app->Face()->Snapshot());
    std::vector<float> s(face.begin(), face.end());
    for (c_Partie* p : {app->Face()->lipsRight.get(), app->Face()->lipsLeft.get(), app->Face()->teethRight.get(), app->Face()->teethLeft.get()}) {
        s.push_back(static_cast<float>(p->frame));
        s.push_back(static_cast<float>(p->variant));
    }
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        s.push_back(static_cast<float>(app->face->ShownState(slot)));
        s.push_back(app->face->Visible(slot));
    }
    s.push_back(static_cast<float>(app->face->player.recordIndex));
    for (int i = 0; i <= 600; ++i) {
        s.push_back(static_cast<float>(app->face->player.RecordedEntry(i).x));
        s.push_back(static_cast<float>(app->face->player.RecordedEntry(i).y));
    }
    return s;
}

// One face-screen tick through OnTick, as the framework runs it.
void RunTick(c_MyApp* app) {
    app->OnTick();
    inputDevice->PostTick();
}

void PressKey(int key) { inputDevice->KeyInput(EV_KEY_DOWN, key); }
void ReleaseKey(int key) { inputDevice->KeyInput(EV_KEY_UP, key); }

TEST(AppKeys, EachKeyActsAsAClickOnItsButtonTickByTick) {
    c_MyApp* clicked = NewFaceApp(true);
    c_MyApp* keyed = NewFaceApp(true);
    Finger finger(clicked);
    Finger keyFinger(keyed);
    float eyeX = clicked->Face()->eyeRight->edge3 + 50, eyeY = (clicked->Face()->eyeRight->zoneTop + clicked->Face()->eyeRight->zoneBottom) / 2;
    // Slot by slot: record and stop with the menu closed (hidden buttons'
    // keys act), menu, record, a touch of the face, tongue, random, symmetry,
    // reset, menu (hiding), symmetry again, play, play.
    std::vector<int> slots = {SLOT_RECORD, SLOT_RECORD, SLOT_MENU,     SLOT_RECORD, -1,        SLOT_TONGUE,
                              SLOT_RANDOM, SLOT_SYMMETRY, SLOT_RESET, SLOT_MENU,   SLOT_SYMMETRY, SLOT_PLAY,
                              SLOT_PLAY};
    clicked->Face()->random.state = keyed->Face()->random.state = 77;
    for (int slot : slots) {
        if (slot < 0) {
            finger.Drag(eyeX, eyeY, 0, -40);
            keyFinger.Drag(eyeX, eyeY, 0, -40);
        } else {
            // The key stands for a click on its button, shown or not.
            c_Bouton* b = clicked->face->Button(slot);
            bool hidden = !clicked->face->Visible(slot);
            if (hidden) clicked->face->menuOpen = true;
            finger.Tap(ButtonX(b), ButtonY(b));
            if (hidden) clicked->face->menuOpen = false;
            keyed->pointer[0] = 5;
            keyed->pointer[1] = 700;
            KeyTick(keyed, 1u << slot, false, false);
            keyFinger.Tick(5, 700, false);
        }
        keyFinger.Idle(3);
        finger.Idle(3);
        ASSERT_EQ(State(clicked), State(keyed)) << "after slot " << slot;
    }
    // The recording did run, with the tongue's event in it.
    const std::vector<ExerciseEntry>& entries = clicked->face->player.recording.entries;
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const ExerciseEntry& e) { return e.x == ENTRY_TONGUE; }));
    EXPECT_EQ(clicked->face->player.playing, 0);
}

TEST(AppKeys, EachGestureKeyMakesItsGestureTickByTickInRecordingAndPlayback) {
    c_MyApp* keyed = NewFaceApp(true);
    c_MyApp* hand = NewFaceApp(true);
    Finger finger(hand);
    auto same = [&](const char* what) { ASSERT_EQ(State(keyed), State(hand)) << what; };
    // A button's key on both, then a tick to release it.
    auto button = [&](int slot) {
        KeyTick(keyed, 1u << slot, false, false);
        KeyTick(hand, 1u << slot, false, false);
        KeyTick(keyed, 0, false, false);
        finger.Idle(1);
        same("button");
    };
    // The key on one, the same touches by hand on the other, compared every
    // tick; true when the key made a gesture.
    auto gesture = [&](int k) {
        KeyTick(keyed, GestureKeyBit(k), false, false);
        KeyGesture g = keyed->face->keyGesture;
        if (g.tick == 0 || !g.Running()) {
            finger.Idle(1);
            same("a key that did nothing");
            return false;
        }
        finger.Press(g.x0, g.y0);
        same("the press");
        for (int t = 1; t <= g.touchTicks; ++t) {
            KeyTick(keyed, 0, false, false);
            finger.Tick(g.x1, g.y1, t < g.touchTicks);
            same("a tick of the gesture");
        }
        return true;
    };
    button(SLOT_MENU);
    button(SLOT_RECORD);
    EXPECT_TRUE(gesture(GKEY_TEETH));
    EXPECT_TRUE(keyed->Face()->face.teethMode);
    EXPECT_TRUE(gesture(GKEY_LIPS));
    EXPECT_TRUE(keyed->Face()->face.lipsMode);
    // No tongue out: the tap would do nothing, so does the key.
    EXPECT_FALSE(gesture(GKEY_DEPTH));
    button(SLOT_TONGUE);
    for (int depth : {0, 1, 2}) {
        EXPECT_TRUE(gesture(GKEY_DEPTH));
        EXPECT_EQ(keyed->Face()->face.tongueDepth, depth);
    }
    EXPECT_TRUE(gesture(GKEY_SMILE));
    EXPECT_FALSE(keyed->Face()->face.lipsMode || keyed->Face()->face.teethMode);
    EXPECT_FALSE(gesture(GKEY_SMILE));
    EXPECT_TRUE(gesture(GKEY_TEETH));
    EXPECT_TRUE(gesture(GKEY_SMILE));
    EXPECT_TRUE(gesture(GKEY_LIPS));
    EXPECT_TRUE(gesture(GKEY_TEETH));
    EXPECT_TRUE(keyed->Face()->face.teethMode);
    // The chin opens the jaw in three steps, the tongue in it goes up to the
    // ridge and down to out of the mouth; closed, the lips press and roll in,
    // hiding the tongue.
    const Face& f = keyed->Face()->face;
    for (int jaw : {1, 2, 3}) {
        EXPECT_TRUE(gesture(GKEY_JAW_OPEN));
        EXPECT_EQ(f.jaw, jaw);
    }
    EXPECT_FALSE(gesture(GKEY_JAW_OPEN));
    EXPECT_TRUE(gesture(GKEY_TONGUE_UP));
    EXPECT_FALSE(gesture(GKEY_TONGUE_UP));
    for (int place : {TONGUE_LYING, TONGUE_BEHIND_LOWER_TEETH, TONGUE_OUT_OF_MOUTH}) {
        EXPECT_TRUE(gesture(GKEY_TONGUE_DOWN));
        EXPECT_EQ(f.openTongue, place);
    }
    for (int jaw : {2, 1, 0, -1, -2}) {
        EXPECT_TRUE(gesture(GKEY_JAW_CLOSE));
        EXPECT_EQ(f.jaw, jaw);
    }
    EXPECT_FALSE(gesture(GKEY_JAW_CLOSE));
    EXPECT_FALSE(gesture(GKEY_TONGUE_UP));
    for (int i = 0; i < 4; ++i) gesture(GKEY_JAW_OPEN);
    EXPECT_EQ(f.jaw, 2);
    ASSERT_EQ(keyed->face->player.recordingOn, 1);
    // Twenty-three drags of 20 touching ticks, three taps, their releases.
    EXPECT_GT(keyed->face->player.recordIndex, 23 * 20 + 3);
    // Played back, the recorded keys make the same faces again; a key
    // pressed during the playback is a hand's gesture during it.
    button(SLOT_PLAY);
    ASSERT_EQ(keyed->face->player.playing, 1);
    gesture(GKEY_LIPS);
    for (int i = 0; i < 700 && keyed->face->player.playing == 1; ++i) {
        KeyTick(keyed, 0, false, false);
        finger.Idle(1);
        same("playback");
    }
    EXPECT_EQ(keyed->face->player.playing, 0);
    EXPECT_TRUE(keyed->Face()->face.teethMode);
    EXPECT_EQ(keyed->Face()->face.jaw, 2);
    EXPECT_EQ(keyed->Face()->face.openTongue, TONGUE_OUT_OF_MOUTH);
}

TEST(AppKeys, AHeldKeyTogglesOnceAndHelpClosesOnAnyKeyOrClick) {
    c_MyApp* app = NewFaceApp(true);
    // Keys pressed while a key's gesture or a finger holds the pointer wait
    // for it: the tongue's button key, then the next gesture.
    KeyTick(app, GestureKeyBit(GKEY_LIPS), false, false);
    KeyTick(app, GestureKeyBit(GKEY_TEETH) | 1u << SLOT_TONGUE, false, false);
    EXPECT_TRUE(app->Face()->face.lipsMode);
    EXPECT_FALSE(app->Face()->face.tongueMode);
    for (int i = 0; i < 60; ++i) KeyTick(app, 0, false, false);
    EXPECT_TRUE(app->Face()->face.teethMode);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    KeyTick(app, 0, true, true);
    KeyTick(app, 1u << SLOT_TONGUE, false, true);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    KeyTick(app, 0, false, false);
    EXPECT_FALSE(app->Face()->face.tongueMode);

    PressKey('T');
    RunTick(app);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    // Auto-repeat sends the press again while the key is down.
    for (int i = 0; i < 10; ++i) {
        PressKey('T');
        RunTick(app);
    }
    EXPECT_TRUE(app->Face()->face.tongueMode);
    ReleaseKey('T');
    RunTick(app);

    // Hidden by the menu, record and play still answer their keys.
    ASSERT_FALSE(app->face->Visible(SLOT_RECORD));
    for (int expected : {1, 0}) {
        PressKey('R');
        RunTick(app);
        ReleaseKey('R');
        EXPECT_EQ(app->face->player.recordingOn, expected);
    }

    PressKey(112);  // F1
    RunTick(app);
    ReleaseKey(112);
    ASSERT_TRUE(app->helpShown);
    // The key that closes the help does nothing else.
    PressKey('T');
    RunTick(app);
    ReleaseKey('T');
    EXPECT_FALSE(app->helpShown);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    inputDevice->KeyInput(EV_KEY_CHAR, '?');
    RunTick(app);
    ASSERT_TRUE(app->helpShown);
    // So does the click, held on the tongue button.
    inputDevice->MouseInput(EV_MOUSE_DOWN, 0, 40, 100);
    RunTick(app);
    RunTick(app);
    EXPECT_FALSE(app->helpShown);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    inputDevice->MouseInput(EV_MOUSE_UP, 0, 40, 100);
    RunTick(app);
}

TEST(AppKeys, HalfPaceReplaysTheSameFaceInTwiceTheTicks) {
    c_MyApp* app = NewFaceApp(true);
    Finger finger(app);
    KeyTick(app, 1u << SLOT_MENU, false, false);
    finger.Idle(1);
    KeyTick(app, 1u << SLOT_RECORD, false, false);
    finger.Idle(1);
    c_Partie* eye = app->Face()->eyeRight;
    float x = eye->edge3 + 50, y = (eye->zoneTop + eye->zoneBottom) / 2;
    finger.Press(x, y);
    finger.MoveTo(x, y - 70, 10);
    finger.Release();
    finger.Tap(ButtonX(app->face->Button(SLOT_TONGUE)), ButtonY(app->face->Button(SLOT_TONGUE)));
    c_Partie* brow = app->Face()->browRight;
    float bx = (brow->edge4 + brow->edge1) / 2, by = (brow->zoneTop + brow->zoneBottom) / 2;
    finger.Press(bx, by);
    finger.MoveTo(bx, by + 48, 8);
    finger.Release();
    finger.Idle(4);
    std::vector<float> live = State(app);

    auto play = [&](bool half) {
        app->face->player.halfPace = half;
        KeyTick(app, 1u << SLOT_PLAY, false, false);
        int ticks = 1;
        while (app->face->player.playing == 1 && ticks < 2000) {
            finger.Idle(1);
            ++ticks;
        }
        return ticks;
    };
    int normal = play(false);
    std::vector<float> once = State(app);
    int slow = play(true);
    EXPECT_EQ(State(app), once);
    // The face at the end of a playback is the live one.
    for (int i = 0; i < 38; ++i) EXPECT_EQ(once[i], live[i]) << "snapshot value " << i;
    // Every entry twice, but the end mark, which stops at once.
    EXPECT_EQ(slow, 2 * normal - 1);
}

}  // namespace
