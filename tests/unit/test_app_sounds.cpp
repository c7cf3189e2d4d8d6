// The interface's sounds as the application asks for them: one for each
// thing that happens, none while nothing does, none with the sound off, and
// the on/off choice kept in the settings file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "tests/support/app_test_support.h"

namespace {

struct SoundsTest : PrivateDataHome {
    std::vector<InterfaceSound> heard;

    c_MyApp* Listen(c_MyApp* app) {
        app->hear = [this](InterfaceSound sound) { heard.push_back(sound); };
        return app;
    }
    // What was heard since the last call.
    std::vector<InterfaceSound> Take() {
        std::vector<InterfaceSound> taken;
        taken.swap(heard);
        return taken;
    }
    // One tick with a key of the keyboard pressed.
    static void PressKey(c_MyApp* app, int key) {
        AppInput in;
        in.keys.set(static_cast<size_t>(key));
        app->Step(in);
    }
    std::string SettingsText() {
        std::ifstream file(SettingsPath());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

using Heard = std::vector<InterfaceSound>;

// A button's key, then the ticks its press takes.
void Press(c_MyApp* app, int slot) {
    KeyTick(app, 1u << slot);
    for (int i = 0; i < 5; ++i) KeyTick(app, 0);
}

TEST_F(SoundsTest, EachEventIsHeardOnceAndAnIdleFaceIsSilent) {
    c_MyApp* app = Listen(NewFaceApp());
    Finger finger(app);
    finger.Idle(120);
    EXPECT_EQ(Take(), Heard{});
    Press(app, SLOT_TONGUE);
    EXPECT_EQ(Take(), Heard{SOUND_PRESS});

    // A recording of a gesture key (no button: no press).
    Press(app, SLOT_RECORD);
    EXPECT_EQ(Take(), (Heard{SOUND_PRESS, SOUND_RECORD_START}));
    KeyTick(app, GestureKeyBit(GKEY_LIPS));
    finger.Idle(60);
    Press(app, SLOT_RECORD);
    EXPECT_EQ(Take(), (Heard{SOUND_PRESS, SOUND_RECORD_STOP}));

    // Twice with a hold of 2 s: two ticks of the countdown (its rest is
    // quiet), then the chime of a set played to its end.
    Exercise exercise;
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&exercise));
    app->choice.holdSeconds = 2;
    app->face->Play(exercise, 2, app->choice);
    for (int tick = 0; tick < 3000 && app->face->player.repeatPhase != RepeatPhase::Off; ++tick) finger.Idle(1);
    ASSERT_EQ(app->face->player.repeatPhase, RepeatPhase::Off);
    EXPECT_EQ(Take(), (Heard{SOUND_TICK, SOUND_TICK, SOUND_CHIME}));
    finger.Idle(120);
    EXPECT_EQ(Take(), Heard{});

    // A set stopped before its end does not chime; a message has its tone.
    app->face->Play(exercise, 3, app->choice);
    finger.Idle(3);
    Press(app, SLOT_PLAY);
    finger.Idle(600);
    EXPECT_EQ(Take(), Heard{SOUND_PRESS});
    KeyTick(app, 0);
    PressKey(app, KEY_UP);
    EXPECT_EQ(Take(), Heard{SOUND_MESSAGE});

    // The camera mirror's star chimes once each time the child comes to
    // match the pose, not while the match lasts.
    for (int holding : {0, 1, 1, 1, 0, 1, -1}) {
        app->MirrorHolding(holding);
        finger.Idle(1);
    }
    EXPECT_EQ(Take(), (Heard{SOUND_CHIME, SOUND_CHIME}));
}

TEST_F(SoundsTest, TheLibrarysControlsAreHeardWhenTheyAct) {
    c_MyApp* app = Listen(NewFaceApp());
    PressKey(app, 'L');
    ASSERT_TRUE(app->screen == ScreenKind::Library);
    Take();
    PressKey(app, KEY_UP);
    EXPECT_EQ(Take(), Heard{SOUND_PRESS});
    // At the least repetitions already, fewer does nothing and says nothing.
    app->choice.repetitions = REPEAT_MIN;
    PressKey(app, KEY_DOWN);
    EXPECT_EQ(Take(), Heard{});
    PressKey(app, KEY_ESCAPE);
    EXPECT_EQ(Take(), Heard{SOUND_PRESS});
}

TEST_F(SoundsTest, SoundOffIsSilentEverywhereAndRemembered) {
    c_MyApp* app = Listen(NewFaceApp());
    PressKey(app, KEY_SOUND);
    EXPECT_FALSE(app->settings.soundOn);
    Press(app, SLOT_TONGUE);
    Press(app, SLOT_RECORD);
    Press(app, SLOT_RECORD);
    PressKey(app, KEY_UP);
    app->MirrorHolding(1);
    KeyTick(app, 0);
    EXPECT_EQ(Take(), Heard{});
    EXPECT_EQ(SettingsText(), "sound off\n");

    // The next session starts silent; the title's box turns the sound on,
    // and says so.
    app = Listen(NewTitleApp());
    EXPECT_FALSE(app->settings.soundOn);
    for (Arrangement a : {Arrangement::Landscape, Arrangement::Portrait}) {
        const ControlBox& box = TitleLayoutFor(a).sound;
        EXPECT_GE(box.h, a == Arrangement::Portrait ? 90 : 50);
        EXPECT_FALSE(box.Overlaps(TitleLayoutFor(a).library));
        EXPECT_FALSE(box.Overlaps(TitleLayoutFor(a).help));
    }
    AppInput tap;
    tap.arrangement = Arrangement::Portrait;
    const ControlBox& box = TitleLayoutFor(Arrangement::Portrait).sound;
    tap.x = box.x + box.w / 2, tap.y = box.y + box.h / 2;
    tap.hit = tap.touching = true;
    app->Step(tap);
    EXPECT_TRUE(app->settings.soundOn);
    EXPECT_EQ(Take(), (Heard{SOUND_PRESS, SOUND_MESSAGE}));
    EXPECT_EQ(SettingsText(), "sound on\n");
}

TEST_F(SoundsTest, ADamagedSettingsFileIsNamedAndIgnored) {
    {
        c_MyApp* app = NewTitleApp();
        PressKey(app, KEY_SOUND);
        ASSERT_EQ(SettingsText(), "sound off\n");
    }
    std::ofstream(SettingsPath()) << "sound off\nvolume loud\n";
    testing::internal::CaptureStderr();
    c_MyApp* app = NewTitleApp();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(SettingsPath() + ": line 2"), std::string::npos) << said;
    EXPECT_TRUE(app->settings.soundOn);
}

}  // namespace
