// The face screen's logic without a window: buttons and screens, the
// gestures on every part, the random face, and the recorder, driven tick by
// tick with a pointer in virtual units and read back from the face's fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/support/app_test_support.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

// Drags grab on the first tick and step on the next: these are the drags of
// the face screen, each from a part's own picture.
struct FaceTest : ::testing::Test {
    c_MyApp* app = nullptr;
    Finger* finger = nullptr;
    void SetUp() override {
        app = NewFaceApp(true);
        finger = new Finger(app);
    }
    void TearDown() override { delete finger; }

    float EyeX(bool right) {
        c_Partie* eye = right ? app->Face()->eyeRight.get() : app->Face()->eyeLeft.get();
        return PartX(app, eye, app->Face()->eyeRight->frames[eye->variant], !right);
    }
    float EyeY() { return PartY(app, app->Face()->eyeRight, app->Face()->eyeRight->frames[0]); }
    // A point inside the mouth's right corner zone and one inside its centre.
    float CornerX(c_Partie* half) { return (half->edge1 + half->edge2) / 2; }
    // The centre band: the left half's reaches across the centre line.
    float CentreX(c_Partie* right) {
        c_Partie* left = right == app->Face()->mouthRight ? app->Face()->mouthLeft.get()
                         : right == app->Face()->lipsRight ? app->Face()->lipsLeft.get()
                                                   : app->Face()->teethLeft.get();
        return (left->edge1 + left->edge3) / 2;
    }
    float RowsY(c_Partie* half) { return (half->zoneTop + half->zoneBottom) / 2; }
    void Press(c_Bouton* b) { finger->Tap(ButtonX(b), ButtonY(b)); }
    void ShowMenu() { Press(app->face->Button(SLOT_MENU)); }
};

// ---- Screens and buttons --------------------------------------------------

TEST(AppScreens, TheTitleChoosesOnlyInsideAPicture) {
    c_MyApp* app = NewTitleApp();
    Finger finger(app);
    c_Bouton* girl = app->title->girlButton;
    std::vector<c_Image2*> titlePictures = {girl->images[0], app->title->boyButton->images[0], app->title->titleImage};
    // The border is not inside.
    finger.Tap(girl->x0, girl->y0 + 10);
    finger.Tap(girl->x1, ButtonY(girl));
    EXPECT_FALSE((app->screen == ScreenKind::Face));
    TestGame().imageLoads.clear();
    finger.Tap(ButtonX(app->title->boyButton), ButtonY(app->title->boyButton));
    ASSERT_TRUE((app->screen == ScreenKind::Face));
    // The boy's atlas, never the girl's.
    bool boy = false, girlLoaded = false;
    for (const std::string& path : TestGame().imageLoads) {
        boy |= path.find("images1b.png") != std::string::npos;
        girlLoaded |= path.find("images1a.png") != std::string::npos;
    }
    EXPECT_TRUE(boy);
    EXPECT_FALSE(girlLoaded);
    // The title pictures gave up their textures.
    for (c_Image2* picture : titlePictures) EXPECT_EQ(picture->material, nullptr);
}

TEST(AppScreens, HomeGivesTheChildsTexturesBackAndTheNextChoiceStartsAfresh) {
    c_MyApp* app = NewTitleApp();
    Finger finger(app);
    int live = 0;
    auto tally = [&] {
        live += static_cast<int>(glRecorder().Calls({"GenTextures"}).size()) -
                static_cast<int>(glRecorder().Calls({"DeleteTextures"}).size());
        glRecorder().Clear();
    };
    int afterFirstTrip = 0;
    for (int trip = 0; trip < 20; ++trip) {
        bool girl = trip % 2 == 0;
        c_Bouton* choice = girl ? app->title->girlButton.get() : app->title->boyButton.get();
        TestGame().imageLoads.clear();
        finger.Tap(ButtonX(choice), ButtonY(choice));
        ASSERT_TRUE((app->screen == ScreenKind::Face));
        std::string loads;
        for (const std::string& path : TestGame().imageLoads) loads += path + " ";
        EXPECT_NE(loads.find(girl ? "images1a.png" : "images1b.png"), std::string::npos) << loads;
        tally();
        DrawFrame(app);
        tally();
        // The start face, whatever the last trip left: a pose, a recording.
        EXPECT_EQ(app->Face()->mouthRight->frame, 7);
        EXPECT_FALSE(app->Face()->face.tongueUnmirrored || app->Face()->face.lipsMode || app->face->Visible(SLOT_HOME));
        EXPECT_EQ(app->face->player.RecordedEntry(0).x, 0);
        KeyTick(app, 1u << SLOT_MENU, false, false);
        KeyTick(app, 1u << SLOT_RECORD, false, false);
        finger.Drag(app->Face()->eyeRight->edge3 + 50, (app->Face()->eyeRight->zoneTop + app->Face()->eyeRight->zoneBottom) / 2, 0, -40);
        KeyTick(app, 1u << SLOT_RANDOM, false, false);
        // Home by the key one trip, by its button the next.
        if (girl)
            KeyTick(app, 1u << SLOT_HOME, false, false);
        else
            finger.Tap(ButtonX(app->face->Button(SLOT_HOME)), ButtonY(app->face->Button(SLOT_HOME)));
        finger.Idle(2);
        // The recording made on the way is not saved: home asks, Discard goes on.
        ASSERT_TRUE((app->screen == ScreenKind::AskKeep));
        const ControlBox& discard = KeepLayoutFor(Arrangement::Landscape).boxes[KEEP_DISCARD];
        finger.Tap(discard.x + discard.w / 2, discard.y + discard.h / 2);
        finger.Idle(2);
        ASSERT_FALSE((app->screen == ScreenKind::Face));
        EXPECT_EQ(app->Face(), nullptr);
        tally();
        DrawFrame(app);
        tally();
        if (trip == 0) afterFirstTrip = live;
        EXPECT_EQ(live, afterFirstTrip) << "textures alive after trip " << trip;
    }
}

TEST_F(FaceTest, StartsWithThreeButtonsPairedAndTheFaceCentred) {
    EXPECT_TRUE(app->face->Visible(SLOT_MENU) && app->face->Visible(SLOT_TONGUE) && app->face->Visible(SLOT_RANDOM));
    EXPECT_FALSE(app->face->Visible(SLOT_RESET) || app->face->Visible(SLOT_SYMMETRY) || app->face->Visible(SLOT_RECORD) ||
                 app->face->Visible(SLOT_PLAY));
    EXPECT_TRUE(app->Face()->face.paired);
    EXPECT_EQ(app->Face()->faceX, (1280 - app->Face()->faceImage->Width()) * 0.5f);
    EXPECT_EQ(app->Face()->faceY, (800 - app->Face()->faceImage->Height()) * 0.5f);
    EXPECT_EQ(app->Face()->mouthRight->frame, 7);
    EXPECT_EQ(app->Face()->tongue->frame, 10);
    EXPECT_FALSE(app->Face()->face.tongueUnmirrored);
}

TEST_F(FaceTest, MenuTwiceHidesTheFourButtonsAgainAndKeepsTheirStates) {
    ShowMenu();
    EXPECT_TRUE(app->face->Visible(SLOT_RESET) && app->face->Visible(SLOT_SYMMETRY) && app->face->Visible(SLOT_RECORD) &&
                app->face->Visible(SLOT_PLAY));
    Press(app->face->Button(SLOT_SYMMETRY));
    EXPECT_FALSE(app->Face()->face.paired);
    ShowMenu();
    EXPECT_FALSE(app->face->Visible(SLOT_RESET) || app->face->Visible(SLOT_SYMMETRY) || app->face->Visible(SLOT_RECORD));
    EXPECT_FALSE(app->Face()->face.paired);
    // A hidden button does not answer.
    Press(app->face->Button(SLOT_SYMMETRY));
    EXPECT_FALSE(app->Face()->face.paired);
    Press(app->face->Button(SLOT_HELP));
    EXPECT_FALSE(app->helpShown);
    ShowMenu();
    Press(app->face->Button(SLOT_HELP));
    EXPECT_TRUE(app->helpShown);
}

TEST_F(FaceTest, ATouchOnAButtonsBorderMissesIt) {
    c_Bouton* b = app->face->Button(SLOT_TONGUE);
    finger->Tap(b->x0, ButtonY(b));
    finger->Tap(ButtonX(b), b->y1);
    EXPECT_FALSE(app->Face()->face.tongueMode);
    finger->Tap(b->x0 + 1, b->y0 + 1);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    EXPECT_TRUE(app->Face()->face.tongueOut);
}

// ---- Gestures ----------------------------------------------------------------

TEST_F(FaceTest, AnEyeStepsOnlyBeyondThirtyUnitsAndStopsAtItsLastPicture) {
    float x = EyeX(true), y = EyeY();
    finger->Drag(x, y, 0, -29);
    EXPECT_EQ(app->Face()->eyeRight->variant, 0);
    finger->Press(x, y);
    finger->MoveTo(x, y - 31);
    EXPECT_EQ(app->Face()->eyeRight->variant, 1);
    // Paired: the other eye follows.
    EXPECT_EQ(app->Face()->eyeLeft->variant, 1);
    finger->MoveTo(x, y - 62);
    finger->MoveTo(x, y - 93);
    EXPECT_EQ(app->Face()->eyeRight->variant, 2);
    finger->MoveTo(x, y - 62);
    EXPECT_EQ(app->Face()->eyeRight->variant, 1);
    finger->Release();
}

TEST_F(FaceTest, TheRoundMouthsHalvesAreGrabbedAsMirrorImages) {
    app->Face()->face.teethMode = app->Face()->face.roundMouth = true;
    app->Face()->PlaceMouthHalves();
    c_Partie *r = app->Face()->teethRight, *l = app->Face()->teethLeft;
    // Just inside each corner's far end, from 19 above to 19 below the zone.
    float rightX = r->edge1 + 29, leftX = l->edge1 - 29;
    for (float y : {r->zoneTop - 19, (r->zoneTop + r->zoneBottom) / 2, r->zoneBottom + 19}) {
        EXPECT_EQ(app->Face()->ZonesAt(rightX, y), 1u << GRAB_TEETH_RIGHT) << y;
        EXPECT_EQ(app->Face()->ZonesAt(leftX, y), 1u << GRAB_TEETH_LEFT) << y;
    }
    EXPECT_EQ(app->Face()->ZonesAt(leftX, l->zoneBottom + 21) & (1u << GRAB_TEETH_LEFT), 0u);
}

TEST_F(FaceTest, OneSidedEyesMoveAlone) {
    ShowMenu();
    Press(app->face->Button(SLOT_SYMMETRY));
    finger->Drag(EyeX(false), EyeY(), 0, -31);
    EXPECT_EQ(app->Face()->eyeLeft->variant, 1);
    EXPECT_EQ(app->Face()->eyeRight->variant, 0);
}

TEST_F(FaceTest, PursingPastTheFirstStepAndOutAgain) {
    c_Partie* r = app->Face()->mouthRight;
    r->variant = 1;
    app->Face()->mouthLeft->variant = 1;
    app->Face()->PlaceMouthHalves();
    finger->Drag(CornerX(r), RowsY(r), -51, 0);
    EXPECT_EQ(r->variant, 0);
    EXPECT_FALSE(app->Face()->face.pursedMouth);
    finger->Drag(CornerX(r), RowsY(r), -51, 0);
    EXPECT_TRUE(app->Face()->face.pursedMouth);
    EXPECT_EQ(r->variant, 0);
    // The pursed mouth's zones cover its whole picture: its right half.
    finger->Drag((r->edge3 + r->edge1) / 2, RowsY(r), 51, 0);
    EXPECT_FALSE(app->Face()->face.pursedMouth);
    EXPECT_EQ(r->variant, 1);
    EXPECT_EQ(app->Face()->mouthLeft->variant, 1);
}

TEST_F(FaceTest, TeethCornersShareTheirRowAndGoRoundPastTheFirstStep) {
    ShowMenu();
    Press(app->face->Button(SLOT_SYMMETRY));
    finger->Drag(CentreX(app->Face()->mouthRight), RowsY(app->Face()->mouthRight), 0, 31);
    ASSERT_TRUE(app->Face()->face.teethMode);
    c_Partie *r = app->Face()->teethRight, *l = app->Face()->teethLeft;
    finger->Drag(CornerX(r), RowsY(r), 0, 31);
    EXPECT_EQ(r->frame, 7);
    EXPECT_EQ(l->frame, 7);
    finger->Drag(CornerX(r), RowsY(r), 0, 31);
    EXPECT_EQ(r->frame, 7);
    finger->Drag(CornerX(r), RowsY(r), -51, 0);
    EXPECT_TRUE(app->Face()->face.roundMouth);
    EXPECT_EQ(l->variant, 0);
    // The round mouth's own zone: its right side.
    finger->Drag((r->edge3 + r->edge1) / 2, RowsY(r), 51, 0);
    EXPECT_FALSE(app->Face()->face.roundMouth);
    EXPECT_EQ(r->variant, 1);
    // One-sided: the other half keeps its step.
    EXPECT_EQ(l->variant, 0);
}

TEST_F(FaceTest, TheLeftCornerMovesInwardAtExactlyFiftyUnits) {
    ShowMenu();
    Press(app->face->Button(SLOT_SYMMETRY));
    c_Partie* l = app->Face()->mouthLeft;
    l->variant = 2;
    app->Face()->PlaceMouthHalves();
    finger->Drag((l->edge1 + l->edge2) / 2, RowsY(l), 50, 0);
    EXPECT_EQ(l->variant, 1);
    EXPECT_EQ(app->Face()->mouthRight->variant, 0);
}

TEST_F(FaceTest, APuffedCheekBlocksTheMouthCorners) {
    c_Partie* cheek = app->Face()->cheekRight;
    float y = RowsY(cheek);
    finger->Drag(cheek->edge1 + 20, y, 101, 0);
    ASSERT_EQ(cheek->variant, 1);
    EXPECT_EQ(app->Face()->cheekLeft->variant, 1);
    c_Partie* r = app->Face()->mouthRight;
    finger->Drag(CornerX(r), RowsY(r), 0, 31);
    finger->Drag(CornerX(r), RowsY(r), 60, 0);
    EXPECT_EQ(r->frame, 7);
    EXPECT_EQ(r->variant, 0);
    // Between the cheeks: both back to rest, and the corners move again.
    finger->Drag((app->Face()->cheekLeft->edge2 + cheek->edge1) / 2, y, 0, 0);
    EXPECT_EQ(cheek->variant, 0);
    EXPECT_EQ(app->Face()->cheekLeft->variant, 0);
    finger->Drag(CornerX(r), RowsY(r), 0, 31);
    EXPECT_EQ(r->frame, 14);
}

TEST_F(FaceTest, OneSidedCheeksNeverShowPuffedAndHollowTogether) {
    ShowMenu();
    Press(app->face->Button(SLOT_SYMMETRY));
    c_Partie *right = app->Face()->cheekRight, *left = app->Face()->cheekLeft;
    finger->Drag(right->edge1 + 20, RowsY(right), 101, 0);
    EXPECT_EQ(right->variant, 1);
    EXPECT_EQ(left->variant, 0);
    // Inward on the left cheek hollows it and brings the puffed one back.
    finger->Drag(left->edge1 + 20, RowsY(left), 101, 0);
    EXPECT_EQ(left->variant, 2);
    EXPECT_EQ(right->variant, 0);
}

TEST_F(FaceTest, PairedBrowsAlwaysTurnOpposite) {
    c_Partie *r = app->Face()->browRight, *l = app->Face()->browLeft;
    float y = RowsY(r);
    float outer = (r->edge1 + r->edge2 - 10) / 2;
    finger->Press(outer, y);
    for (int i = 1; i <= 12; ++i) {
        finger->MoveTo(outer, y - 6 * i);
        EXPECT_EQ(l->angle, -r->angle);
    }
    EXPECT_EQ(r->angle, 18);
    finger->Release();
    float inner = (l->edge4 + 10 + l->edge3) / 2;
    finger->Press(inner, y);
    for (int i = 1; i <= 20; ++i) finger->MoveTo(inner, y + 6 * i);
    finger->Release();
    EXPECT_EQ(l->angle, -14);
    EXPECT_EQ(r->angle, 14);
}

TEST_F(FaceTest, BrowMiddlesMoveBothBrowsWithinTheirRange) {
    c_Partie* r = app->Face()->browRight;
    float x = (r->edge4 - 10 + r->edge1 + 10) / 2, y = RowsY(r);
    finger->Press(x, y);
    for (int i = 1; i <= 20; ++i) finger->MoveTo(x, y - 6 * i);
    finger->Release();
    EXPECT_EQ(r->y, 244);
    EXPECT_EQ(app->Face()->browLeft->y, 244);
}

TEST_F(FaceTest, TheTongueAtShiftZeroSitsAtTheCentre) {
    Press(app->face->Button(SLOT_TONGUE));
    c_Partie* t = app->Face()->tongue;
    auto drag = [&](float dx, float dy) { finger->Drag((t->edge3 + t->edge2 - 10) / 2, RowsY(t), dx, dy); };
    drag(16, 0);
    drag(16, 0);
    EXPECT_EQ(app->Face()->face.tongueShift, 2);
    EXPECT_GT(t->x, 392);
    drag(-16, 0);
    drag(-16, 0);
    drag(-16, 0);
    EXPECT_EQ(app->Face()->face.tongueShift, -1);
    EXPECT_FALSE(app->Face()->face.tongueUnmirrored);
    EXPECT_LT(t->x, 392);
    drag(16, 0);
    EXPECT_EQ(app->Face()->face.tongueShift, 0);
    EXPECT_EQ(t->x, 392);
    EXPECT_EQ(t->variant, 0);
    // Up and down change its shape's row, within 0..15.
    drag(0, 31);
    drag(0, 31);
    drag(0, 31);
    EXPECT_EQ(t->frame, 15);
}

// The chin under the mouth, whatever the mouth shows: down opens the jaw a
// step for every 31 units, up closes it and then presses the lips and rolls
// them in. The jaw's poses have no corners to take, and the tongue in the
// open mouth goes up and down between its places but never sideways.
TEST_F(FaceTest, TheChinOpensTheJawAndTheTongueTakesItsPlacesInside) {
    Face& f = app->Face()->face;
    c_Partie* chin = app->Face()->chin;
    float cx = (chin->edge1 + chin->edge2) / 2, cy = RowsY(chin);
    c_Partie* r = app->Face()->mouthRight;
    float cornerX = CornerX(r), cornerY = RowsY(r);
    finger->Drag(cx, cy, 0, 30);
    EXPECT_EQ(f.jaw, 0);
    // A puffed cheek holds the mouth.
    app->Face()->cheekRight->variant = 1;
    finger->Drag(cx, cy, 0, 31);
    EXPECT_EQ(f.jaw, 0);
    app->Face()->cheekRight->variant = 0;
    for (int jaw : {1, 2, 3, 3}) {
        finger->Drag(cx, cy, 0, 31);
        EXPECT_EQ(f.jaw, jaw);
    }
    // The smiling mouth under the open jaw keeps its step.
    finger->Drag(cornerX, cornerY, 60, 0);
    EXPECT_EQ(r->variant, 0);
    // The tongue comes out in the middle of the open mouth, lying.
    Press(app->face->Button(SLOT_TONGUE));
    finger->Idle(1);
    c_Partie* t = app->Face()->tongue;
    EXPECT_EQ(f.openTongue, TONGUE_LYING);
    EXPECT_EQ(t->x, 392);
    auto tongue = [&](float dx, float dy) { finger->Drag((t->edge3 + t->edge2) / 2, RowsY(t), dx, dy); };
    tongue(0, -31);
    tongue(0, -31);
    EXPECT_EQ(f.openTongue, TONGUE_AT_RIDGE);
    tongue(20, 0);
    EXPECT_EQ(f.tongueShift, 0);
    for (int place : {TONGUE_LYING, TONGUE_BEHIND_LOWER_TEETH, TONGUE_OUT_OF_MOUTH, TONGUE_OUT_OF_MOUTH}) {
        tongue(0, 31);
        EXPECT_EQ(f.openTongue, place);
    }
    // Closed a step at a time, past the smiling mouth as it was.
    for (int jaw : {2, 1, 0, -1, -2, -2}) {
        finger->Drag(cx, cy, 0, -31);
        EXPECT_EQ(f.jaw, jaw);
    }
    // The pressed lips hide the tongue: it cannot be taken, and its button fades.
    EXPECT_EQ(app->Face()->ZonesAt((t->edge3 + t->edge2) / 2, RowsY(t)) & (1u << GRAB_TONGUE), 0u);
    EXPECT_TRUE(app->face->Idle(SLOT_TONGUE));
    finger->Drag(cx, cy, 0, 31);
    finger->Drag(cx, cy, 0, 31);
    EXPECT_EQ(f.jaw, 0);
    finger->Drag(cornerX, cornerY, 60, 0);
    EXPECT_EQ(r->variant, 1);
}

TEST_F(FaceTest, TheMouthCentreChangesModeAtThirtyAndThirtyFiveUnits) {
    c_Partie* r = app->Face()->mouthRight;
    float x = CentreX(r), y = RowsY(r);
    finger->Drag(x, y, 0, 30);
    EXPECT_FALSE(app->Face()->face.teethMode || app->Face()->face.lipsMode);
    finger->Drag(x, y, 0, 31);
    EXPECT_TRUE(app->Face()->face.teethMode);
    EXPECT_EQ(app->Face()->teethRight->frame, 0);
    // From the teeth, down again: the lips, with the teeth's row and steps.
    app->Face()->teethRight->variant = 3;
    finger->Drag(CentreX(app->Face()->teethRight), RowsY(app->Face()->teethRight), 0, 31);
    EXPECT_TRUE(app->Face()->face.lipsMode);
    EXPECT_FALSE(app->Face()->face.teethMode);
    EXPECT_EQ(app->Face()->lipsRight->variant, 3);
    // Up by more than 35: the smiling mouth, row 7 from the lips' row 0.
    finger->Drag(CentreX(app->Face()->lipsRight), RowsY(app->Face()->lipsRight), 0, -36);
    EXPECT_FALSE(app->Face()->face.lipsMode || app->Face()->face.teethMode);
    EXPECT_EQ(r->frame, 7);
    EXPECT_EQ(r->variant, 3);
    // Down by more than 35 from a low smile: the lips' second row.
    r->frame = app->Face()->mouthLeft->frame = 14;
    app->Face()->PlaceMouthHalves();
    finger->Drag(CentreX(r), RowsY(r), 0, 36);
    EXPECT_TRUE(app->Face()->face.lipsMode);
    EXPECT_EQ(app->Face()->lipsRight->frame, 7);
    EXPECT_EQ(app->Face()->lipsLeft->frame, 7);
}

TEST_F(FaceTest, ATapOnTheTongueBetweenTheLipsStepsItsDepth) {
    Press(app->face->Button(SLOT_TONGUE));
    // Held: a touch shorter than 20 ticks would be a tap too.
    float x = CentreX(app->Face()->mouthRight), y = RowsY(app->Face()->mouthRight);
    finger->Press(x, y);
    for (int i = 0; i < 25; ++i) finger->Tick(x, y + 36, true);
    finger->Release();
    ASSERT_TRUE(app->Face()->face.lipsMode);
    ASSERT_EQ(app->Face()->face.tongueDepth, 2);
    c_Partie* t = app->Face()->tongue;
    x = (t->edge3 + t->edge2 - 10) / 2;
    // Inside the mouth, between the lips, in front, and round again.
    finger->Tap(x, RowsY(t));
    EXPECT_EQ(app->Face()->face.tongueDepth, 0);
    finger->Tap(x, RowsY(t));
    EXPECT_EQ(app->Face()->face.tongueDepth, 1);
    // A long touch is no tap.
    finger->Press(x, RowsY(t));
    for (int i = 0; i < 25; ++i) finger->Tick(x, RowsY(t), true);
    finger->Release();
    EXPECT_EQ(app->Face()->face.tongueDepth, 1);
}

TEST_F(FaceTest, ResetPutsThePartsBackButKeepsTheLipsSteps) {
    finger->Drag(EyeX(true), EyeY(), 0, -31);
    app->Face()->lipsRight->variant = 4;
    ShowMenu();
    Press(app->face->Button(SLOT_RESET));
    EXPECT_EQ(app->Face()->eyeRight->variant, 0);
    EXPECT_TRUE(app->Face()->face.tongueUnmirrored);
    EXPECT_EQ(app->Face()->lipsRight->variant, 4);
}

// ---- The random face ----------------------------------------------------------

// An independent model of the generator's draws.
struct Draws {
    uint32_t state;
    float Next(float n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>((static_cast<int32_t>(state) >> 8) & 0xFFFFFF) / 16777216.0f * n;
    }
};

TEST_F(FaceTest, TheRandomFaceTakesItsDrawsInOrder) {
    for (bool paired : {true, false}) {
        for (int seed : {1, 12345, -987654, 2024}) {
            app->Face()->face.paired = paired;
            app->Face()->face.tongueMode = true;
            app->Face()->random.state = seed;
            Draws d{static_cast<uint32_t>(seed)};
            app->Face()->RandomFace();
            int mode = static_cast<int>(d.Next(3));
            int row = static_cast<int>(d.Next(4)) * 7;
            int step = static_cast<int>(d.Next(10));
            bool beyond = step > 6;
            if (beyond) step = 6;
            int k1 = static_cast<int>(d.Next(12));
            int cheek = k1 == 0 ? 1 : k1 == 1 ? 2 : 0;
            int cheekLeft = cheek;
            if (!paired) {
                int k2 = static_cast<int>(d.Next(12));
                cheekLeft = k2 == 0 ? (cheek == 2 ? 0 : 1) : k2 == 1 ? (cheek == 1 ? 0 : 2) : 0;
            }
            int row2 = row, step2 = step;
            if (!paired) {
                row2 = static_cast<int>(d.Next(4)) * 7;
                step2 = static_cast<int>(d.Next(7));
            }
            SCOPED_TRACE(testing::Message() << "paired " << paired << " seed " << seed << " mode " << mode);
            EXPECT_EQ(app->Face()->cheekRight->variant, cheek);
            EXPECT_EQ(app->Face()->cheekLeft->variant, cheekLeft);
            EXPECT_EQ(app->Face()->face.lipsMode, mode == 2);
            EXPECT_EQ(app->Face()->face.teethMode, mode == 1);
            EXPECT_EQ(app->Face()->face.pursedMouth, beyond && mode != 1);
            EXPECT_EQ(app->Face()->face.roundMouth, beyond && mode == 1);
            c_Partie* r = mode == 0 ? app->Face()->mouthRight.get() : mode == 1 ? app->Face()->teethRight.get() : app->Face()->lipsRight.get();
            c_Partie* l = mode == 0 ? app->Face()->mouthLeft.get() : mode == 1 ? app->Face()->teethLeft.get() : app->Face()->lipsLeft.get();
            EXPECT_EQ(r->frame, mode == 0 ? row : row < 14 ? 0 : 7);
            EXPECT_EQ(l->frame, mode == 0 ? row2 : row < 14 ? 0 : 7);
            EXPECT_EQ(r->variant, step);
            EXPECT_EQ(l->variant, step2);
            int tongueRow = static_cast<int>(d.Next(4)) * 5;
            int k = static_cast<int>(d.Next(10) - 5);
            int depth = static_cast<int>(d.Next(3));
            int eye = static_cast<int>(d.Next(3));
            EXPECT_EQ(app->Face()->eyeRight->variant, eye);
            EXPECT_EQ(app->Face()->eyeLeft->variant, paired ? eye : static_cast<int>(d.Next(3)));
            int angle = static_cast<int>(d.Next(32) - 14);
            EXPECT_EQ(app->Face()->browRight->angle, angle);
            EXPECT_EQ(app->Face()->browLeft->angle, paired ? -angle : static_cast<int>(d.Next(3)));
            int browY = static_cast<int>(d.Next(60) + 244);
            EXPECT_EQ(app->Face()->browRight->y, browY);
            EXPECT_EQ(app->Face()->browLeft->y, paired ? browY : static_cast<int>(d.Next(60) + 244));
            // Last, the jaw: one face in four opens it or presses the lips;
            // an open jaw holds the tongue in its middle.
            int pose = static_cast<int>(d.Next(20));
            int place = static_cast<int>(d.Next(4));
            int jaw = pose < 3 ? pose + 1 : pose < 5 ? 2 - pose : 0;
            EXPECT_EQ(app->Face()->face.jaw, jaw);
            if (jaw > 0) {
                EXPECT_EQ(app->Face()->face.openTongue, place);
                k = 0;
            }
            EXPECT_EQ(app->Face()->tongue->frame, tongueRow);
            EXPECT_EQ(app->Face()->face.tongueShift, k);
            EXPECT_EQ(app->Face()->face.tongueDepth, depth);
            EXPECT_EQ(app->Face()->face.tongueUnmirrored, k >= 0);
            if (k == 0) {
                EXPECT_EQ(app->Face()->tongue->x, 392);
            }
            // Nothing more was drawn.
            EXPECT_EQ(static_cast<uint32_t>(app->Face()->random.state), d.state);
        }
    }
}

// ---- Recording and playback ------------------------------------------------------

struct RecorderTest : FaceTest {
    void SetUp() override {
        FaceTest::SetUp();
        ShowMenu();
    }
    void Record() { Press(app->face->Button(SLOT_RECORD)); }
    void Play() { Press(app->face->Button(SLOT_PLAY)); }
};

TEST_F(RecorderTest, ATouchOfThirtyTicksThenIdleTicksThenTheEndMark) {
    Record();
    ASSERT_EQ(app->face->player.recordingOn, 1);
    // Idle ticks before the first sample are not stored.
    finger->Idle(5);
    EXPECT_EQ(app->face->player.recordIndex, 0);
    float x = EyeX(true), y = EyeY();
    finger->Press(x, y);
    for (int i = 1; i < 30; ++i) finger->Tick(x, y - i, true);
    finger->Idle(10);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(app->face->player.RecordedEntry(i).x, static_cast<int>(x));
        EXPECT_EQ(app->face->player.RecordedEntry(i).y, static_cast<int>(y - i));
    }
    for (int i = 30; i < 40; ++i) {
        EXPECT_EQ(app->face->player.RecordedEntry(i).x, -1);
        EXPECT_EQ(app->face->player.RecordedEntry(i).y, 0);
    }
    Play();
    EXPECT_EQ(app->face->player.RecordedEntry(40).x, -2);
    EXPECT_EQ(app->face->player.playing, 1);
    EXPECT_EQ(app->face->player.recordingOn, 0);
}

TEST_F(RecorderTest, TheRingShowsTheTimeLeftFromTheRecordersPosition) {
    // The ring's dashes are the frame's only untextured quads here; spent
    // and left ones differ by their colour.
    auto ring = [&](bool leftOnly) {
        int n = 0;
        DrawFrame(app);
        for (const std::vector<unsigned char>& upload : glRecorder().uploads)
            for (size_t q = 0; q < upload.size() / QUAD_BYTES; ++q) {
                float v[6];
                std::memcpy(v, &upload[q * QUAD_BYTES], sizeof v);
                bool red = upload[q * QUAD_BYTES + 24] > 200 && upload[q * QUAD_BYTES + 25] < 100;
                n += v[2] == 0 && v[3] == 0 && (!leftOnly || red);
            }
        return n;
    };
    EXPECT_EQ(app->face->player.RecordTimeLeft(), 0);
    EXPECT_EQ(ring(false), 0);
    Record();
    EXPECT_EQ(app->face->player.RecordTimeLeft(), 1);
    int dashes = ring(true);
    EXPECT_GT(dashes, 20);
    // Armed, it stays full; the first touch starts the count.
    finger->Idle(50);
    EXPECT_EQ(app->face->player.RecordTimeLeft(), 1);
    finger->Tap(EyeX(true), EyeY());
    finger->Idle(298);
    EXPECT_EQ(app->face->player.recordIndex, 300);
    EXPECT_EQ(app->face->player.RecordTimeLeft(), 0.5f);
    EXPECT_EQ(ring(true), dashes / 2);
    EXPECT_EQ(ring(false), dashes);
    finger->Idle(300);
    EXPECT_EQ(app->face->player.recordingOn, 0);
    EXPECT_EQ(app->face->player.RecordTimeLeft(), 0);
    EXPECT_EQ(ring(false), 0);
}

TEST_F(RecorderTest, SixHundredEntriesEndARecordingAndPlayStartsFromTheFirst) {
    Record();
    finger->Tap(EyeX(true), EyeY());
    finger->Idle(700);
    EXPECT_EQ(app->face->player.recordingOn, 0);
    EXPECT_EQ(app->face->player.recordIndex, 0);
    EXPECT_EQ(app->face->player.RecordedEntry(599).x, -1);
    EXPECT_EQ(app->face->player.RecordedEntry(600).x, 0);
    // The press on play plays the first entry, its release the second.
    finger->Press(ButtonX(app->face->Button(SLOT_PLAY)), ButtonY(app->face->Button(SLOT_PLAY)));
    EXPECT_EQ(app->face->player.playing, 1);
    EXPECT_EQ(app->face->player.recordIndex, 1);
    finger->Release();
    // One sample, the idle entries, then the unwritten entry 600 ends it.
    finger->Idle(598);
    EXPECT_EQ(app->face->player.playing, 1);
    finger->Idle(1);
    EXPECT_EQ(app->face->player.playing, 0);
}

TEST_F(RecorderTest, AButtonPressIsStoredInPlaceOfItsSampleWithTheTicksY) {
    Record();
    finger->Tap(EyeX(true), EyeY());
    c_Bouton* t = app->face->Button(SLOT_TONGUE);
    finger->Tap(ButtonX(t), ButtonY(t));
    EXPECT_EQ(app->face->player.RecordedEntry(2).x, -3);
    EXPECT_EQ(app->face->player.RecordedEntry(2).y, static_cast<int>(ButtonY(t)));
    // The press on record itself is never stored.
    Record();
    EXPECT_EQ(app->face->player.RecordedEntry(4).x, 0);
}

TEST_F(RecorderTest, APlayedTongueEventTogglesTheTongueExactlyOnce) {
    Record();
    finger->Tap(EyeX(true), EyeY());
    c_Bouton* t = app->face->Button(SLOT_TONGUE);
    finger->Tap(ButtonX(t), ButtonY(t));
    finger->Idle(3);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    Play();
    // The snapshot has the tongue in.
    EXPECT_FALSE(app->Face()->face.tongueMode);
    int toggles = 0;
    bool last = app->Face()->face.tongueMode;
    for (int i = 0; i < 20 && app->face->player.playing == 1; ++i) {
        finger->Idle(1);
        toggles += app->Face()->face.tongueMode != last;
        last = app->Face()->face.tongueMode;
    }
    EXPECT_EQ(toggles, 1);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    EXPECT_EQ(app->face->player.playing, 0);
}

TEST_F(RecorderTest, PlaybackReplaysTheGesturesIntoTheSameFace) {
    app->Face()->mouthRight->variant = app->Face()->mouthLeft->variant = 2;
    app->Face()->PlaceMouthHalves();
    Record();
    float x = EyeX(true), y = EyeY();
    finger->Press(x, y);
    finger->MoveTo(x, y - 70, 10);
    finger->Release();
    c_Partie* r = app->Face()->mouthRight;
    finger->Press(CornerX(r), RowsY(r));
    finger->MoveTo(CornerX(r) + 120, RowsY(r), 12);
    finger->Release();
    finger->Idle(5);
    int eye = app->Face()->eyeRight->variant, mouth = app->Face()->mouthRight->variant, left = app->Face()->mouthLeft->variant;
    ASSERT_EQ(eye, 2);
    ASSERT_EQ(mouth, 4);
    // The lips' row is in the snapshot too: a playback starts from the
    // hidden lips as they were.
    app->Face()->lipsRight->frame = app->Face()->lipsLeft->frame = 7;
    Play();
    EXPECT_EQ(app->Face()->eyeRight->variant, 0);
    EXPECT_EQ(app->Face()->mouthRight->variant, 2);
    finger->Idle(80);
    EXPECT_EQ(app->face->player.playing, 0);
    EXPECT_EQ(app->Face()->eyeRight->variant, eye);
    EXPECT_EQ(app->Face()->mouthRight->variant, mouth);
    EXPECT_EQ(app->Face()->mouthLeft->variant, left);
    EXPECT_EQ(app->Face()->lipsRight->frame, 0);
}

// A recording made before the jaw's poses plays its random faces as they
// were: the same draws, no jaw. One made now draws the jaw's poses too.
TEST_F(RecorderTest, ARandomFacePlaysAsTheProgramThatRecordedItDrewIt) {
    Exercise exercise;
    exercise.startFace = app->Face()->Snapshot();
    exercise.randomState = 2024;
    exercise.entries = {{ENTRY_RANDOM, 300}, {ENTRY_RANDOM, 300}, {ENTRY_RANDOM, 300}, {ENTRY_RANDOM, 300},
                        {ENTRY_IDLE, 0},     {ENTRY_END, 0}};
    auto played = [&](int recordedIn) {
        exercise.recordedIn = recordedIn;
        app->face->player.PlayExercise(*app->Face(), exercise, 1);
        finger->Idle(10);
        EXPECT_FALSE(app->face->player.playing);
        return app->Face()->Snapshot();
    };
    Face before = played(2);
    EXPECT_EQ(before.jaw, 0);
    Face now = played(3);
    // The four faces took two draws more each: the last face differs.
    EXPECT_FALSE(SameFace(before, now));
    EXPECT_TRUE(SameFace(played(2), before));
    // The live face, once the playback is over, draws the poses again.
    EXPECT_EQ(app->Face()->randomFaceFormat, EXERCISE_FORMAT_VERSION);
}

TEST_F(RecorderTest, PlayWithoutARecordingChangesNothingAndLeavesRecordArmed) {
    Play();
    EXPECT_EQ(app->face->player.playing, 0);
    Record();
    Play();
    EXPECT_EQ(app->face->player.playing, 0);
    EXPECT_EQ(app->face->player.recordingOn, 1);
}

TEST_F(RecorderTest, RecordWhilePlayingStopsThePlaybackAndArmsANewRecording) {
    Record();
    finger->Tap(EyeX(true), EyeY());
    finger->Idle(2);
    Play();
    ASSERT_EQ(app->face->player.playing, 1);
    // The recording is not saved: recording anew asks first, Discard goes on.
    Record();
    ASSERT_TRUE((app->screen == ScreenKind::AskKeep));
    const ControlBox& discard = KeepLayoutFor(Arrangement::Landscape).boxes[KEEP_DISCARD];
    finger->Tap(discard.x + discard.w / 2, discard.y + discard.h / 2);
    EXPECT_EQ(app->face->player.playing, 0);
    EXPECT_EQ(app->face->player.recordingOn, 1);
    // Arming keeps the old recording until the first touch of the face.
    EXPECT_EQ(app->face->player.RecordedEntry(0).x, static_cast<int>(EyeX(true)));
    Play();
    EXPECT_EQ(app->face->player.playing, 1);
}

TEST_F(RecorderTest, ATouchInTheLetterboxIsNeverReadAsAnEvent) {
    Record();
    finger->Tap(-3.7f, 300);
    finger->Idle(2);
    EXPECT_EQ(app->face->player.RecordedEntry(0).x, 0);
    EXPECT_EQ(app->face->player.RecordedEntry(0).y, 300);
}

}  // namespace
