// The targets the browser's camera mirror asks of the child, read from the
// face screen's face as the keys pose it: what the camera cannot see is
// never judged.
#include <gtest/gtest.h>

#include "app/face/mirror_targets.h"
#include "tests/support/app_test_support.h"

namespace {

// A key's press and the ticks its gesture takes.
void PressAndWait(c_MyApp* app, unsigned keys) {
    KeyTick(app, keys);
    for (int i = 0; i < 60; ++i) KeyTick(app, 0);
}

MirrorTargets Targets(c_MyApp* app) { return MirrorTargetsOf(app->Face()->Snapshot()); }

TEST(MirrorTargets, FollowTheFaceScreensPoses) {
    c_MyApp* app = NewFaceApp();
    MirrorTargets rest = Targets(app);
    EXPECT_EQ(rest.opening, MouthOpening::Closed);
    EXPECT_EQ(rest.width, MouthWidth::Any);
    EXPECT_EQ(rest.eyeRight, EyeTarget::Open);
    EXPECT_EQ(rest.eyeLeft, EyeTarget::Open);
    EXPECT_FALSE(rest.browsUp);
    EXPECT_EQ(MirrorTargetsJson(rest),
              R"({"mouth":"closed","width":null,"eyeRight":"open","eyeLeft":"open","brows":null})");

    PressAndWait(app, GestureKeyBit(GKEY_LIPS));
    EXPECT_EQ(Targets(app).width, MouthWidth::Pout);
    PressAndWait(app, GestureKeyBit(GKEY_TEETH));
    EXPECT_EQ(Targets(app).opening, MouthOpening::Open);
    EXPECT_EQ(Targets(app).width, MouthWidth::Any);
    // The jaw over the teeth: open, wide open, and the pressed lips closed.
    for (MouthOpening opening : {MouthOpening::Open, MouthOpening::WideOpen}) {
        PressAndWait(app, GestureKeyBit(GKEY_JAW_OPEN));
        EXPECT_EQ(Targets(app).opening, opening);
    }
    for (int i = 0; i < 3; ++i) PressAndWait(app, GestureKeyBit(GKEY_JAW_CLOSE));
    ASSERT_EQ(app->Face()->Snapshot().jaw, -1);
    EXPECT_EQ(Targets(app).opening, MouthOpening::Closed);
    PressAndWait(app, GestureKeyBit(GKEY_JAW_OPEN));

    // The tongue out: the camera sees no tongue, so the mouth is not judged.
    PressAndWait(app, 1u << SLOT_TONGUE);
    ASSERT_TRUE(app->Face()->Snapshot().tongueOut);
    EXPECT_EQ(Targets(app).opening, MouthOpening::Any);
    EXPECT_EQ(Targets(app).width, MouthWidth::Any);
}

// A repetition's hold counts down only while the mirror says the child
// holds the pose.
TEST(MirrorTargets, TheHoldWaitsForTheChild) {
    c_MyApp* app = NewFaceApp();
    Finger finger(app);
    KeyTick(app, 1u << SLOT_RECORD);
    finger.Idle(1);
    PressAndWait(app, GestureKeyBit(GKEY_LIPS));
    Exercise exercise;
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&exercise));
    app->choice.holdSeconds = 1;
    app->face->Play(exercise, 2, app->choice);
    Player& player = app->face->player;
    for (int tick = 0; tick < 2000 && player.repeatPhase != RepeatPhase::Hold; ++tick) finger.Idle(1);
    ASSERT_EQ(player.repeatPhase, RepeatPhase::Hold);
    int left = player.phaseTicks;
    player.poseHeld = false;
    finger.Idle(200);
    EXPECT_EQ(player.repeatPhase, RepeatPhase::Hold);
    EXPECT_EQ(player.phaseTicks, left);
    player.poseHeld = true;
    finger.Idle(left + 1);
    EXPECT_EQ(player.repeatPhase, RepeatPhase::Rest);
    EXPECT_EQ(player.repetitionsMatched, -1);  // the mirror did not watch

    // Watched, the last repetition holds too, and each hold run out is a
    // repetition matched.
    for (int hold : {1, 0}) {
        app->face->Play(exercise, 2, app->choice);
        app->MirrorHolding(hold);
        for (int tick = 0; tick < 4000 && player.repeatPhase != RepeatPhase::Off; ++tick) finger.Idle(1);
        // A child who never matches leaves the last hold waiting.
        EXPECT_EQ(player.repeatPhase, hold ? RepeatPhase::Off : RepeatPhase::Hold) << hold;
        EXPECT_EQ(player.repetitionsMatched, hold ? 2 : 0) << hold;
        player.StopRepeating();
    }
    app->MirrorHolding(-1);
}

}  // namespace
