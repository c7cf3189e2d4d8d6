// Drawing the scene through the recording GL layer: the letterbox, the order
// of the sprites in each mode read back from the uploaded quads, the lips'
// scissor in window pixels, and the recording mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "framework/app.h"
#include "tests/support/app_test_support.h"
#include "tests/support/canvas_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

// The last call starting with `prefix`, as its numbers.
std::vector<int> LastCall(const std::string& prefix) {
    std::vector<int> numbers;
    for (const std::string& call : glRecorder().Calls({prefix})) {
        numbers.clear();
        int a, b, c, d;
        if (std::sscanf(call.c_str() + prefix.size(), "%d,%d,%d,%d", &a, &b, &c, &d) == 4) numbers = {a, b, c, d};
    }
    return numbers;
}

// Where each image first appears in the frame, -1 if it does not.
int Position(const std::vector<DrawnSprite>& frame, c_Image2* image, bool mirrored = false) {
    for (size_t i = 0; i < frame.size(); ++i)
        if (frame[i].image == image && frame[i].mirrored == mirrored) return static_cast<int>(i);
    return -1;
}

void ExpectInOrder(const std::vector<DrawnSprite>& frame, const std::vector<std::pair<c_Image2*, bool>>& sprites) {
    int last = -1;
    for (size_t k = 0; k < sprites.size(); ++k) {
        int at = Position(frame, sprites[k].first, sprites[k].second);
        EXPECT_GT(at, last) << "sprite " << k << " of the expected order";
        last = std::max(last, at);
    }
}

TEST(AppScene, TheVirtualScreenIsLetterboxedIntoTheWindow) {
    struct Case {
        int w, h;
        std::vector<int> viewport;  // GL rows run bottom-up
    };
    for (const Case& c : {Case{1600, 900, {80, 0, 1440, 900}}, Case{1280, 1024, {0, 112, 1280, 800}},
                          Case{800, 500, {0, 0, 800, 500}}}) {
        c_MyApp* app = NewTitleApp(c.w, c.h);
        glRecorder().Clear();
        std::vector<DrawnSprite> frame = DrawFrame(app);
        EXPECT_EQ(LastCall("Viewport("), c.viewport) << c.w << " x " << c.h;
        // The title: both children at their buttons' corners, then the
        // title, then the hint's letters, then the library's, the sound's
        // and the language's boxes and their labels' letters ("Sound: on
        // (V)", spaces too; "English").
        ASSERT_EQ(frame.size(), 3u + 8u + 1u + 11u + 1u + 13u + 1u + 7u);
        EXPECT_EQ(frame[0].image, app->title->girlButton->images[0]);
        EXPECT_FLOAT_EQ(frame[0].x, 240);
        EXPECT_EQ(frame[2].image, app->title->titleImage);
        EXPECT_FLOAT_EQ(frame[2].x, 1230);
    }
}

struct SceneTest : ::testing::Test {
    c_MyApp* app = nullptr;
    void SetUp() override { app = NewFaceApp(true); }
    c_Image2* Mouth(int i) { return app->Face()->mouthRight->frames[i]; }
};

TEST_F(SceneTest, TheSmilingMouthWithTheTongueDownLaysTongueOpenMouthSquaresAndLips) {
    app->Face()->face.tongueMode = true;
    app->Face()->face.tongueOut = true;
    app->Face()->tongue->frame = 0;
    app->Face()->mouthRight->variant = 2;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    for (const DrawnSprite& s : frame) EXPECT_NE(s.image, nullptr) << "a quad no sprite explains";
    c_Partie* r = app->Face()->mouthRight;
    ExpectInOrder(frame, {{app->Face()->faceImage, false},
                          {app->Face()->eyeRight->frames[0], false},
                          {app->Face()->tongue->frames[0], true},
                          {r->framesB[7 + 2], false},
                          {r->framesB[7], true},
                          {app->face->pictures->pinkSquare, false},
                          {app->face->pictures->pinkSquare, true},
                          {Mouth(7 + 2), false},
                          {Mouth(7), true},
                          {app->Face()->browRight->frames[0], false},
                          {app->face->Button(SLOT_TONGUE)->images[1], false}});
    // The halves stand on the centre line, the left one mirrored.
    EXPECT_FLOAT_EQ(frame[Position(frame, Mouth(9))].x, app->Face()->faceX + 392);
    EXPECT_FLOAT_EQ(frame[Position(frame, Mouth(7), true)].x, app->Face()->faceX + 394);
}

TEST_F(SceneTest, TheTongueAtACornerComesOutOfThatHalfPartedRoundIt) {
    app->Face()->face.tongueMode = true;
    app->Face()->face.tongueOut = true;
    app->Face()->face.tongueShift = 4;
    app->Face()->face.tongueUnmirrored = true;
    app->Face()->tongue->variant = 4;
    app->Face()->tongue->frame = 10;
    app->Face()->mouthRight->variant = app->Face()->mouthLeft->variant = 3;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    // No open mouth at the corner; the parted half of its step, the other
    // half, then the tongue of its shape in front, at its point.
    const c_FacePictures* pictures = app->face->pictures;
    EXPECT_EQ(Position(frame, app->Face()->mouthRight->framesC[7 + 3]), -1);
    ExpectInOrder(frame, {{pictures->cornerMouth[3], false}, {Mouth(7 + 3), true}, {pictures->cornerTongue[2], false}});
    EXPECT_FLOAT_EQ(frame[Position(frame, pictures->cornerTongue[2])].x, app->Face()->faceX + app->Face()->tongue->x);
}

TEST_F(SceneTest, TwoClosedHalvesAlikeHaveTheirMiddleLaidOnceOverThem) {
    c_Image2* middle = app->face->pictures->smileMiddle;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    ExpectInOrder(frame, {{Mouth(7), false}, {Mouth(7), true}, {middle, false}});
    EXPECT_FLOAT_EQ(frame[Position(frame, middle)].x, app->Face()->faceX + 392);
    // Halves that differ meet in a kink, and an open mouth lies behind them.
    app->Face()->mouthRight->variant = 2;
    EXPECT_EQ(Position(DrawFrame(app), middle), -1);
    app->Face()->mouthRight->variant = 0;
    app->Face()->face.tongueMode = app->Face()->face.tongueOut = true;
    EXPECT_EQ(Position(DrawFrame(app), middle), -1);
}

TEST_F(SceneTest, PursedTeethAndRoundMouthsDrawTheirOwnPictures) {
    app->Face()->face.pursedMouth = true;
    ExpectInOrder(DrawFrame(app), {{Mouth(35), false}, {Mouth(35), true}});
    app->Face()->face.pursedMouth = false;
    app->Face()->face.teethMode = true;
    app->Face()->teethRight->variant = 3;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    ExpectInOrder(frame, {{app->Face()->teethRight->frames[3], false}, {app->Face()->teethRight->frames[0], true}});
    EXPECT_EQ(Position(frame, Mouth(7)), -1);
    app->Face()->face.roundMouth = true;
    ExpectInOrder(DrawFrame(app), {{app->Face()->teethRight->frames[14], false}, {app->Face()->teethRight->frames[14], true}});
}

TEST_F(SceneTest, CheeksChooseTheMouthAndAPuffedAndAHollowCheekShowNone) {
    app->Face()->cheekRight->variant = 1;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    c_Image2* puffed = app->face->pictures->puffedCheek;
    ExpectInOrder(frame, {{puffed, false}, {Mouth(38), false}, {Mouth(39), true}});
    EXPECT_FLOAT_EQ(frame[Position(frame, Mouth(38))].x, app->Face()->faceX + 392 - 4);
    app->Face()->cheekLeft->variant = 2;
    frame = DrawFrame(app);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(Position(frame, Mouth(i)), -1) << i;
    for (int i = 0; i < 28; ++i) EXPECT_EQ(Position(frame, app->Face()->mouthRight->framesB[i]), -1) << i;
    EXPECT_EQ(Position(frame, puffed), -1);
}

TEST_F(SceneTest, LipsLayerTheTongueByItsDepth) {
    app->Face()->face.lipsMode = true;
    app->Face()->face.tongueMode = true;
    app->Face()->face.tongueOut = true;
    c_Partie* l = app->Face()->lipsRight;
    c_Image2* tongue = app->Face()->tongue->frames[app->Face()->tongue->frame + 20];
    app->Face()->face.tongueDepth = 2;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    ExpectInOrder(frame, {{l->framesB[0], false}, {l->frames[0], false}, {l->framesC[0], false},
                          {app->face->pictures->faceMark2, false}, {tongue, true}});
    EXPECT_TRUE(glRecorder().Calls({"Scissor("}).empty());
    // Held between the lips, the tip of that depth lies between the front
    // layer and the upper one, clipped to the lips' box.
    auto held = [&](int depth) {
        app->Face()->face.tongueDepth = depth;
        frame = DrawFrame(app);
        ExpectInOrder(frame, {{l->framesB[0], false}, {l->frames[0], false},
                              {app->face->pictures->heldTongue[depth * TONGUE_ROW], true}, {l->framesC[0], false},
                              {app->face->pictures->faceMark1, false}});
        EXPECT_EQ(Position(frame, tongue), -1);
    };
    held(0);
    EXPECT_EQ(glRecorder().Calls({"Scissor("}).size(), 1u);
    held(1);
    app->Face()->face.tongueOut = false;
    frame = DrawFrame(app);
    // The tongue at rest hangs inside the lips.
    ExpectInOrder(frame, {{l->framesB[0], false}, {app->Face()->tongue->frames[40], false}, {l->framesC[0], false}});
}

TEST(AppScene, TheLipsScissorIsTheirBoxInWindowPixelsAtEverySize) {
    for (auto size : {std::pair<int, int>{800, 500}, {1600, 900}, {1280, 1024}}) {
        c_MyApp* app = NewFaceApp(true, size.first, size.second);
        app->Face()->face.lipsMode = true;
        app->Face()->face.tongueOut = true;
        app->Face()->face.tongueDepth = 1;
        app->Face()->lipsRight->variant = 5;
        app->Face()->lipsLeft->variant = 1;
        DrawFrame(app);
        std::vector<int> viewport = LastCall("Viewport(");
        std::vector<int> scissor;
        for (const std::string& call : glRecorder().Calls({"Scissor("})) {
            int a, b, c, d;
            std::sscanf(call.c_str() + 8, "%d,%d,%d,%d", &a, &b, &c, &d);
            scissor = {a, b, c, d};
        }
        ASSERT_EQ(scissor.size(), 4u);
        // The lips' box on the virtual screen, from their pictures, both
        // measured from the left half's anchor (3 units right of the right's).
        c_Image2* right = app->Face()->lipsRight->frames[5];
        c_Image2* left = app->Face()->lipsRight->frames[1];
        float x0 = app->Face()->lipsLeft->x + app->Face()->faceX - left->Width();
        float x1 = app->Face()->lipsLeft->x + app->Face()->faceX + right->Width();
        float y0 = app->Face()->lipsLeft->y + app->Face()->faceY - left->Height() / 2.0f;
        float y1 = y0 + left->Height();
        // Pixels per unit, and the box inset by 5 pixels, bottom-up rows.
        float k = viewport[2] / 1280.0f;
        int h = size.second;
        SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
        EXPECT_NEAR(scissor[0], viewport[0] + x0 * k + 5, 1.5);
        EXPECT_NEAR(scissor[0] + scissor[2], viewport[0] + x1 * k - 5, 2.5);
        int top = h - (scissor[1] + scissor[3]);
        int viewTop = h - (viewport[1] + viewport[3]);
        EXPECT_NEAR(top, viewTop + y0 * k + 5, 1.5);
        EXPECT_NEAR(top + scissor[3], viewTop + y1 * k - 5, 2.5);
    }
}

// Frames as the host renders them: the application's drawing (as the
// framework's delegate calls it) rendered after every tick, sent to GL only when
// the picture changed.
struct HostFrameTest : ::testing::Test {
    c_MyApp* app = NewFaceApp(true);
    HostFrames host{[] {
        RefreshDeviceSize();
        theApp->OnDraw();
    }};
    bool Pass() { return host.Pass(); }
};

TEST_F(HostFrameTest, AnIdleFaceSendsNothingAndOneMoveOfTheEyeBringsOneFrame) {
    Finger finger(app);
    EXPECT_TRUE(Pass());
    for (int tick = 0; tick < 100; ++tick) {
        finger.Release();
        ASSERT_FALSE(Pass()) << tick;
        ASSERT_TRUE(glRecorder().calls.empty()) << tick;
    }
    c_Partie* eye = app->Face()->eyeRight;
    float x = PartX(app, eye, eye->frames[0], false), y = PartY(app, eye, eye->frames[0]);
    finger.Press(x, y);
    int frames = Pass();
    finger.MoveTo(x, y - 31);
    frames += Pass();
    for (int tick = 0; tick < 10; ++tick) {
        finger.Tick(x, y - 31, true);
        frames += Pass();
    }
    EXPECT_EQ(app->Face()->eyeRight->variant, 1);
    EXPECT_EQ(frames, 1);
}

// Lips mode, the tongue clipped between the lips, then out of lips mode in
// a larger window: the whole window is cleared and nothing is scissored.
TEST_F(HostFrameTest, AFrameAfterTheLipsScissorSetsNoStaleScissor) {
    app->Face()->face.lipsMode = true;
    app->Face()->face.tongueMode = true;
    app->Face()->face.tongueOut = true;
    app->Face()->face.tongueDepth = 1;
    ASSERT_TRUE(Pass());
    ASSERT_EQ(glRecorder().Calls({"Scissor("}).size(), 1u);
    app->Face()->face.lipsMode = false;
    TestGame().windowWidth = 1600;
    TestGame().windowHeight = 900;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(glRecorder().Calls({"Scissor(", "Enable(SCISSOR_TEST)"}), std::vector<std::string>{});
    EXPECT_EQ(glRecorder().Calls({"Viewport("}).front(), "Viewport(0,0,1600,900)");
    EXPECT_FALSE(glRecorder().state.scissorTest);
}

TEST_F(SceneTest, TheRecordingMarkShowsFromTheMomentRecordIsArmed) {
    c_Image2* mark = app->face->pictures->recordImage;
    EXPECT_EQ(Position(DrawFrame(app), mark), -1);
    Finger finger(app);
    finger.Tap(ButtonX(app->face->Button(SLOT_MENU)), ButtonY(app->face->Button(SLOT_MENU)));
    finger.Tap(ButtonX(app->face->Button(SLOT_RECORD)), ButtonY(app->face->Button(SLOT_RECORD)));
    ASSERT_EQ(app->face->player.recordIndex, 0);
    std::vector<DrawnSprite> frame = DrawFrame(app);
    EXPECT_GT(Position(frame, mark), Position(frame, app->face->Button(SLOT_RECORD)->images[1]));
    EXPECT_FLOAT_EQ(frame[Position(frame, mark)].x, 1260);
}

}  // namespace

namespace {

// A long session must not grow: once warmed up, ticks with a gesture and
// frames in the busiest mode allocate nothing from the collector.
TEST_F(SceneTest, TheHelpDrawsItsModelFaceOverWhateverTheFaceShows) {
    app->Face()->face.lipsMode = true;
    app->Face()->face.tongueDepth = 0;
    app->helpShown = true;
    std::vector<DrawnSprite> frame = DrawFrame(app);
    // The face's own lips first, then the model: the start face with the
    // smiling mouth, and the lips with the tongue in front of them.
    int faceLips = Position(frame, app->Face()->lipsRight->framesB[0]);
    int model = Position(frame, Mouth(7));
    ASSERT_GT(faceLips, -1);
    EXPECT_GT(model, faceLips);
    EXPECT_GT(Position(frame, Mouth(7), true), model);
    int lipsFront = Position(frame, app->Face()->lipsRight->framesC[3]);
    EXPECT_GT(lipsFront, model);
    EXPECT_GT(Position(frame, app->Face()->tongue->frames[30]), lipsFront);
    // Its texts are made once: a frame of help allocates nothing.
    int before = gc_heap().new_bytes;
    for (int i = 0; i < 5; ++i) app->OnDraw();
    EXPECT_EQ(gc_heap().new_bytes, before);
}

TEST(AppScene, FaceFramesAndTicksAllocateNothing) {
    c_MyApp* app = NewFaceApp(true);
    app->Face()->face.lipsMode = true;
    app->Face()->face.tongueMode = true;
    app->Face()->face.tongueDepth = 1;
    Finger finger(app);
    c_Partie* brow = app->Face()->browRight;
    float x = (brow->edge4 + brow->edge1) / 2, y = (brow->zoneTop + brow->zoneBottom) / 2;
    auto session = [&](int ticks) {
        finger.Press(x, y);
        for (int i = 0; i < ticks; ++i) {
            finger.Tick(x, y + (i % 20) * 3, true);
            app->OnDraw();
        }
        finger.Release();
    };
    session(30);
    int before = gc_heap().new_bytes;
    session(300);
    EXPECT_EQ(gc_heap().new_bytes, before);
}

}  // namespace
