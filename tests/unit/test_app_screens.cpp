// The application as a whole, driven through its one door: long random use
// never breaks it, the key that follows a touch never drags what the touch
// held, the library's controls stand clear of its cards, and recordings
// saved by earlier versions still play to the faces they played to then.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "app/ui/letterbox.h"
#include "framework/input_device.h"
#include "host/events.h"
#include "runtime/collector.h"
#include "tests/support/app_test_support.h"
#include "tests/support/canvas_test_support.h"

namespace {

using ScreensTest = PrivateDataHome;

AppInput Keys(std::initializer_list<int> keys, bool ctrl = false) {
    AppInput in;
    for (int key : keys) in.keys.set(static_cast<size_t>(key));
    in.ctrl = ctrl;
    return in;
}

AppInput Touch(float x, float y, bool hit, bool touching) {
    AppInput in;
    in.x = x;
    in.y = y;
    in.hit = hit;
    in.touching = touching;
    return in;
}

// A click of the mouse at a point of the screen, through the window's
// letterbox as the devices deliver it.
void ClickAt(c_MyApp* app, float x, float y) {
    Letterbox box = FitScreen(WindowWidth(), WindowHeight());
    float px = box.x + x / box.unitsPerPixel, py = box.y + y / box.unitsPerPixel;
    DrawFrame(app);
    inputDevice->MouseInput(EV_MOUSE_MOVE, -1, px, py);
    inputDevice->MouseInput(EV_MOUSE_DOWN, 0, px, py);
    app->OnTick();
    inputDevice->PostTick();
    inputDevice->MouseInput(EV_MOUSE_UP, 0, px, py);
    app->OnTick();
    inputDevice->PostTick();
}

// What is wrong with the face on screen, or "": every value within the
// bounds an exercise file may hold.
std::string FaceProblem(c_MyApp* app) {
    c_FaceModel* face = app->Face();
    if (!face) return "";
    return CheckExercise(Exercise{face->child, face->Snapshot(), {}, 0, Pace::Normal, "face", "", 1, 0});
}

TEST_F(ScreensTest, LongRandomUseNeverBreaksTheApplicationOrTheFace) {
    c_MyApp* app = NewTitleApp();
    // GRIMALOU_RANDOM_SEED and GRIMALOU_RANDOM_SEQUENCES run it longer, or
    // otherwise, by hand.
    const char* seed = std::getenv("GRIMALOU_RANDOM_SEED");
    const char* sequences = std::getenv("GRIMALOU_RANDOM_SEQUENCES");
    std::mt19937 random(seed ? static_cast<unsigned>(std::atoi(seed)) : 29u);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Every key any screen answers, and a few none does.
    const int keys[] = {'T', 'S', 'R', ' ', 'M', KEY_BACKSPACE, 'D', 'L', KEY_HOME, KEY_F1, 'G', 'P', 'E', 'I', '1',
                        '2', KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_PAGE_UP, KEY_PAGE_DOWN, KEY_ESCAPE,
                        KEY_ENTER, 'Y', 'N', 'Q', 'Z', 'O', 'B', 'U', 'J', 'V', KEY_TAB};
    const int kKeys = static_cast<int>(std::size(keys));
    const int kSequences = sequences ? std::atoi(sequences) : 1500;
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        for (int action = 0; action < 12; ++action) {
            switch (pick(6)) {
                case 0: {
                    // A key, now and then two in one tick, now and then Ctrl+S.
                    bool save = pick(8) == 0;
                    AppInput in = save ? Keys({'S'}, true) : Keys({keys[pick(kKeys)]});
                    if (!save && pick(3) == 0) in.keys.set(static_cast<size_t>(keys[pick(kKeys)]));
                    // Home is rare: a new face costs a load of its pictures.
                    if (in.Key(KEY_HOME) && pick(4)) in.keys.reset(KEY_HOME);
                    app->Step(in);
                    break;
                }
                case 1: case 2: {
                    // A touch anywhere, held and moved a few ticks, perhaps
                    // with a key at its release.
                    // Now and then a second finger, which may come and go.
                    float x = static_cast<float>(pick(1280)), y = static_cast<float>(pick(800));
                    AppInput::Touch other{pick(3) == 0, static_cast<float>(pick(1280)), static_cast<float>(pick(800))};
                    AppInput in = Touch(x, y, true, true);
                    in.more[0] = other;
                    app->Step(in);
                    for (int t = pick(6); t > 0; --t) {
                        x += static_cast<float>(pick(121) - 60);
                        y += static_cast<float>(pick(121) - 60);
                        other.y += static_cast<float>(pick(121) - 60);
                        if (pick(4) == 0) other.touching = !other.touching;
                        in = Touch(x, y, false, true);
                        in.more[0] = other;
                        in.lostTicks = pick(5) == 0 ? pick(4) : 0;
                        app->Step(in);
                    }
                    AppInput release = pick(3) ? AppInput() : Keys({keys[pick(kKeys)]});
                    release.x = x, release.y = y;
                    app->Step(release);
                    break;
                }
                case 3: {
                    // A click, press and release in one tick.
                    app->Step(Touch(static_cast<float>(pick(1280)), static_cast<float>(pick(800)), true, false));
                    break;
                }
                default:
                    for (int t = pick(30); t > 0; --t) app->Step(AppInput());
                    break;
            }
        }
        ASSERT_EQ(FaceProblem(app), "") << "sequence " << sequence;
        gc_collect_step();
        ASSERT_STREQ(gc_check_heap(), "") << "sequence " << sequence;
        if (sequence % 10 == 0) DrawFrame(app);
    }
}

// The keys a user pressed in the test of an earlier version that crashed:
// a gesture key, the library behind it, home behind that, all waiting while
// the gesture runs, with an exercise in the library to draw.
TEST_F(ScreensTest, KeysWaitingBehindTheLibraryDoNotReachTheFaceScreen) {
    c_MyApp* app = NewFaceApp(true);
    Finger finger(app);
    KeyTick(app, 1u << SLOT_RECORD);
    finger.Drag(app->Face()->eyeRight->edge3 + 50,
                (app->Face()->eyeRight->zoneTop + app->Face()->eyeRight->zoneBottom) / 2, 0, -40);
    KeyTick(app, 1u << SLOT_SAVE);
    finger.Idle(2);
    ASSERT_NE(app->message.find("Saved"), std::string::npos);
    app->Step(Keys({'P'}));
    app->Step(Keys({'L'}));
    app->Step(Keys({KEY_HOME}));
    for (int i = 0; i < 60 && app->screen == ScreenKind::Face; ++i) app->Step(AppInput());
    ASSERT_EQ(app->screen, ScreenKind::Library);
    ASSERT_NE(app->library->endFaces[0], nullptr);
    for (int i = 0; i < 30; ++i) app->Step(AppInput());
    EXPECT_EQ(app->screen, ScreenKind::Library);
    DrawFrame(app);
    app->Step(Keys({KEY_ESCAPE}));
    ASSERT_EQ(app->screen, ScreenKind::Face);
    // The lips the key made are there, and no key gesture is left running.
    EXPECT_TRUE(app->Face()->face.lipsMode);
    EXPECT_FALSE(app->face->keyGesture.Running());
}

// A touch that held a part, and a key whose click comes on the tick the
// touch is let go: the part is let go, not dragged to the key's button. The
// same holds for the click that chose the child and a key just after it.
TEST_F(ScreensTest, AKeyAfterATouchNeverDragsWhatTheTouchHeld) {
    for (int key : {'M', 'S'}) {
        c_MyApp* app = NewTitleApp();
        c_Bouton* girl = app->title->girlButton;
        float x = ButtonX(girl), y = ButtonY(girl);
        app->Step(Touch(x, y, true, true));
        ASSERT_EQ(app->screen, ScreenKind::Face);
        std::string start = FaceProblem(app);
        Face before = app->Face()->Snapshot();
        app->Step(Touch(x, y, false, true));
        AppInput release = Keys({key});
        release.x = x, release.y = y;
        app->Step(release);
        for (int i = 0; i < 5; ++i) app->Step(AppInput());
        Face after = app->Face()->Snapshot();
        // The key did its own thing (the symmetry), nothing else.
        after.paired = before.paired;
        EXPECT_TRUE(SameFace(after, before)) << static_cast<char>(key);

        // On the face: a cheek held, a key at its release.
        c_Partie* cheek = app->Face()->cheekLeft;
        float cx = (cheek->edge1 + cheek->edge2) / 2, cy = (cheek->zoneTop + cheek->zoneBottom) / 2;
        app->Step(Touch(cx, cy, true, true));
        app->Step(Touch(cx, cy, false, true));
        ASSERT_TRUE(app->Face()->gesture.grab[GRAB_CHEEK_LEFT]);
        release.x = cx, release.y = cy;
        app->Step(release);
        for (int i = 0; i < 5; ++i) app->Step(AppInput());
        EXPECT_EQ(app->Face()->cheekLeft->variant, 0) << static_cast<char>(key);
        EXPECT_EQ(app->Face()->cheekRight->variant, 0) << static_cast<char>(key);
    }
}

TEST_F(ScreensTest, TheLibrarysControlsStandClearOfItsCardsAndEachChangesOnlyItself) {
    Face start = NewFaceApp()->Face()->Snapshot();
    for (int i = 0; i < LIBRARY_PAGE + 1; ++i) {
        Exercise e;
        e.startFace = start;
        e.entries = {{ENTRY_IDLE, 0}, {ENTRY_END, 0}};
        e.randomState = i;  // each a recording of its own
        std::string path;
        ASSERT_EQ(SaveExercise(e, LocalTime{2026, 3, 1 + i, 9, 0, 0}, &path), "");
    }
    for (int size : {0, 1}) {
        int w = size ? 1600 : 800, h = size ? 900 : 500;
        c_MyApp* app = NewTitleApp(w, h);
        app->OpenLibrary();
        DrawFrame(app);
        ASSERT_EQ(app->library->entries.size(), static_cast<size_t>(LIBRARY_PAGE + 1));
        for (int c = 0; c < LIBRARY_CONTROLS; ++c) {
            if (c == YES || c == NO) continue;  // over the veil of a question
            for (int card = 0; card < LIBRARY_PAGE; ++card)
                EXPECT_FALSE(LibraryLayoutFor(Arrangement::Landscape).controls[c].Overlaps(LibraryCardBox(card))) << c << " over card " << card;
        }
        // Each control's click changes what it shows and nothing else.
        struct Shown {
            int repetitions, hold, page;
            ScreenKind screen;
            bool operator==(const Shown& o) const {
                return repetitions == o.repetitions && hold == o.hold && page == o.page && screen == o.screen;
            }
        };
        auto shown = [&] {
            return Shown{app->choice.repetitions, app->choice.holdSeconds, app->library ? app->library->page : -1,
                         app->screen};
        };
        auto click = [&](LibraryControl c) {
            const ControlBox& b = LibraryLayoutFor(Arrangement::Landscape).controls[c];
            ClickAt(app, b.x + b.w / 2, b.y + b.h / 2);
        };
        app->choice = RepeatChoice{5, 5};
        struct Expect {
            LibraryControl control;
            Shown after;
        };
        for (const Expect& e : {Expect{MORE, {6, 5, 0, ScreenKind::Library}}, Expect{FEWER, {5, 5, 0, ScreenKind::Library}},
                                Expect{LONGER, {5, 6, 0, ScreenKind::Library}}, Expect{SHORTER, {5, 5, 0, ScreenKind::Library}},
                                Expect{PAGE_ON, {5, 5, 1, ScreenKind::Library}}, Expect{PAGE_BACK, {5, 5, 0, ScreenKind::Library}},
                                Expect{BACK, {5, 5, -1, ScreenKind::Title}}}) {
            click(e.control);
            EXPECT_TRUE(shown() == e.after) << "control " << e.control;
        }
    }
}

// Files saved by the version before the application became screens, with
// the faces that version played them to.
TEST_F(ScreensTest, RecordingsSavedBeforePlayToTheSameEndFace) {
    const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
    std::string dir = std::string(source ? source : ".") + "/tests/unit/exercises/";
    auto read = [](const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    int played = 0;
    for (int round = 0; round < 8; ++round) {
        std::string name = dir + "recorded-" + std::to_string(round);
        Exercise exercise;
        ASSERT_EQ(LoadExercise(name + ".grimalou", &exercise), "") << name;
        std::string end = read(name + ".end");
        ASSERT_FALSE(end.empty()) << name;
        c_MyApp* app = NewFaceApp(exercise.child == Child::Girl);
        app->face->Play(exercise, 1, app->choice);
        for (int i = 0; i < 2000 && app->face->player.playing; ++i) app->Step(AppInput());
        app->Step(AppInput());
        // The end faces were written as format 1 exercises: their faces' lines
        // are the same in every format.
        Exercise endExercise;
        ASSERT_EQ(ReadExercise(end, &endExercise), "") << name;
        EXPECT_EQ(FaceText(app->Face()->Snapshot()), FaceText(endExercise.startFace)) << name;
        // The library's own player reaches the same face, the live one untouched.
        c_FaceModel* endFace = EndFaceOf(app->face->pictures, exercise);
        EXPECT_EQ(FaceText(endFace->Snapshot()), FaceText(endExercise.startFace)) << name;
        // A format 1 file reads with one repetition, the default hold and the
        // child and the date as its title.
        EXPECT_EQ(exercise.repeat, 1);
        EXPECT_EQ(exercise.holdSeconds, HOLD_DEFAULT_SECONDS);
        EXPECT_EQ(exercise.title.substr(0, 6), exercise.child == Child::Girl ? "Girl, " : "Boy, 2");
        ++played;
    }
    EXPECT_EQ(played, 8);
}

}  // namespace

namespace {

// The teeth hide the tongue: while they show, its button is drawn faded, and
// only its; back to the smile it shows as before.
TEST(AppScreens, TheTongueButtonIsFadedWhileTheTeethHideTheTongue) {
    c_MyApp* app = NewFaceApp(true);
    auto idle = [&]() {
        std::vector<int> slots;
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            if (app->face->Idle(slot)) slots.push_back(slot);
        return slots;
    };
    auto gesture = [&](int key) {
        KeyTick(app, GestureKeyBit(key), false, false);
        for (int i = 0; i < 60; ++i) KeyTick(app, 0, false, false);
    };
    EXPECT_TRUE(idle().empty());
    gesture(GKEY_TEETH);
    ASSERT_TRUE(app->Face()->face.teethMode);
    EXPECT_EQ(idle(), std::vector<int>{SLOT_TONGUE});
    gesture(GKEY_LIPS);
    ASSERT_TRUE(app->Face()->face.lipsMode);
    EXPECT_TRUE(idle().empty());
    gesture(GKEY_TEETH);
    gesture(GKEY_SMILE);
    ASSERT_FALSE(app->Face()->face.teethMode);
    EXPECT_TRUE(idle().empty());
}

}  // namespace

namespace {

TEST_F(ScreensTest, AnUprightPhoneGetsTheFaceLargeAndBoxesAFingerCanHit) {
    const int w = 390, h = 844;
    Letterbox box = FitScreen(w, h);
    ASSERT_EQ(box.arrangement, Arrangement::Portrait);
    EXPECT_GE(box.height, 0.6 * h);
    auto pixels = [&](const ControlBox& b) { return std::min(b.w, b.h) / box.unitsPerPixel; };
    const TitleLayout& title = TitleLayoutFor(Arrangement::Portrait);
    EXPECT_GE(pixels(title.library), 44);
    EXPECT_GE(pixels(title.help), 44);
    EXPECT_GE(title.hintHeight / box.unitsPerPixel, 12);
    const LibraryLayout& library = LibraryLayoutFor(Arrangement::Portrait);
    for (int c = 0; c < LIBRARY_CONTROLS; ++c) EXPECT_GE(pixels(library.controls[c]), 44) << "library control " << c;
    EXPECT_GE(library.crossSize / box.unitsPerPixel, 44);
    const HomeworkLayout& homework = HomeworkLayoutFor(Arrangement::Portrait);
    for (const ControlBox& b : homework.boxes) EXPECT_GE(pixels(b), 44) << b.label;
    for (const ControlBox& b : KeepLayoutFor(Arrangement::Portrait).boxes) EXPECT_GE(pixels(b), 44) << b.label;
    EXPECT_GE(homework.textHeight / box.unitsPerPixel, 12);
    for (int k = 0; k < CARD_CONTROLS; ++k)
        EXPECT_GE(pixels(CardControlBox(LibraryCardBox(0, Arrangement::Portrait), static_cast<CardControl>(k),
                                        Arrangement::Portrait)),
                  44)
            << "card button " << k;
    ControlBox lastCard = LibraryCardBox(library.PageSize() - 1, Arrangement::Portrait);
    for (int c = 0; c < LIBRARY_CONTROLS; ++c)
        if (c != YES && c != NO) {
            EXPECT_FALSE(lastCard.Overlaps(library.controls[c])) << "library control " << c;
        }
    EXPECT_GE(library.textHeight / box.unitsPerPixel, 12);

    c_MyApp* app = NewTitleApp(w, h);
    // The girl's card, the face as wide as the screen, every button a
    // finger wide.
    ClickAt(app, title.girlX + 150, title.girlY + 190);
    ASSERT_EQ(app->screen, ScreenKind::Face);
    EXPECT_GE(app->Face()->faceImage->Width() / box.unitsPerPixel, 0.95 * w);
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        EXPECT_GE(pixels(app->face->ButtonBox(slot, Arrangement::Portrait)), 44) << "button " << slot;
    EXPECT_GE(pixels(PACE_BOXES[1]), 44);
    ControlBox menu = app->face->ButtonBox(SLOT_MENU, Arrangement::Portrait);
    ClickAt(app, menu.x + menu.w / 2, menu.y + menu.h / 2);
    EXPECT_TRUE(app->face->menuOpen);

    // A drag on the eye where the upright screen shows it closes it.
    FaceShift shift = FaceShiftFor(Arrangement::Portrait);
    c_Partie* eye = app->Face()->eyeRight;
    float x = eye->edge3 + 50 + shift.x, y = (eye->zoneTop + eye->zoneBottom) / 2 + shift.y;
    Finger finger(app);
    AppInput press;
    press.arrangement = Arrangement::Portrait;
    press.x = x, press.y = y, press.hit = press.touching = true;
    app->Step(press);
    for (int i = 1; i <= 8; ++i) {
        press.hit = false;
        press.y = y - 5.0f * i;
        app->Step(press);
    }
    press.touching = false;
    app->Step(press);
    EXPECT_EQ(app->Face()->eyeRight->variant, 1);

    // Turned, the face and the recording stay as they are.
    KeyTick(app, 1u << SLOT_RECORD);
    Face before = app->Face()->Snapshot();
    TestGame().windowWidth = h;
    TestGame().windowHeight = w;
    RefreshDeviceSize();
    DrawFrame(app);
    app->OnTick();
    EXPECT_TRUE(SameFace(app->Face()->Snapshot(), before));
    EXPECT_TRUE(app->face->player.recordingOn);
}

}  // namespace

namespace {

// A device that draws 15 frames a second runs one tick in four: the other
// three come as lost ticks of the next.
TEST_F(ScreensTest, ASlowDeviceRecordsTheHandsTimingAndPlaysBackByTheClock) {
    c_MyApp* app = NewFaceApp(true);
    KeyTick(app, 1u << SLOT_RECORD);
    KeyTick(app, 0);
    c_Partie* eye = app->Face()->eyeRight;
    float x = eye->edge3 + 50, y = (eye->zoneTop + eye->zoneBottom) / 2;
    auto slow = [&](float px, float py, bool hit, bool touching) {
        AppInput in = Touch(px, py, hit, touching);
        in.lostTicks = 3;
        app->Step(in);
    };
    slow(x, y, true, true);
    const int kTicks = 25;
    for (int i = 1; i <= kTicks; ++i) slow(x, y - 3.0f * i, false, true);
    slow(x, y - 3.0f * kTicks, false, false);
    ASSERT_EQ(app->Face()->eyeRight->variant, 2);
    Face live = app->Face()->Snapshot();
    Exercise recorded;
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&recorded));
    // Every tick of the clock is in the recording, four for each one run.
    EXPECT_GE(recorded.entries.size(), 4u * (kTicks + 1));

    // Played on the slow device, it takes the time it took; played on a
    // fast one, the same time in four times the ticks; both end on the face.
    for (int lost : {3, 0}) {
        KeyTick(app, 1u << SLOT_PLAY);
        int ticks = 0;
        while (app->face->player.playing && ticks < 1000) {
            AppInput in;
            in.lostTicks = lost;
            app->Step(in);
            ++ticks;
        }
        int expected = static_cast<int>(recorded.entries.size()) / (lost + 1);
        EXPECT_NEAR(ticks, expected, 3) << lost;
        EXPECT_TRUE(SameFace(app->Face()->Snapshot(), live)) << lost;
    }
}

}  // namespace

namespace {

// Fingers at once: each drags the part it took, a finger on nothing blocks
// nothing, a part one finger holds no other takes, and a recording keeps
// every finger.
TEST_F(ScreensTest, EachFingerDragsItsOwnPartAndRecordingsKeepThemAll) {
    c_MyApp* app = NewFaceApp(true);
    c_FaceModel* face = app->Face();
    face->ApplyEvent(ENTRY_SYMMETRY);
    ASSERT_FALSE(face->Paired());
    auto middle = [](const c_Partie* eye) {
        return std::make_pair((eye->edge3 + eye->edge2) / 2, (eye->zoneTop + eye->zoneBottom) / 2);
    };
    auto [rx, ry] = middle(face->eyeRight);
    auto [lx, ly] = middle(face->eyeLeft);
    // Finger 0 at (ax, ay) moving by (adx, ady) a tick, finger 1 likewise.
    auto twoFingers = [&](float ax, float ay, float ady, float bx, float by, float bdy) {
        for (int i = 0; i <= 36; ++i) {
            AppInput in = Touch(ax, ay + ady * i, i == 0, true);
            in.more[0] = {true, bx, by + bdy * i};
            app->Step(in);
        }
        app->Step(AppInput());
    };
    KeyTick(app, 1u << SLOT_RECORD);
    KeyTick(app, 0);
    twoFingers(rx, ry, -1, lx, ly, -2);
    EXPECT_EQ(face->eyeRight->variant, 1);
    EXPECT_EQ(face->eyeLeft->variant, 2);
    KeyTick(app, 1u << SLOT_RECORD);
    Face live = face->Snapshot();
    Exercise recorded, read;
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&recorded));
    std::string text = WriteExercise(recorded);
    EXPECT_NE(text.find(" f1 "), std::string::npos);
    ASSERT_EQ(ReadExercise(text, &read), "");
    EXPECT_EQ(read, recorded);
    // The same in format 2, which has neither the jaw nor a second finger.
    std::string older;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("recordedIn ", 0) == 0 || line.rfind("jaw ", 0) == 0 || line.rfind("openTongue ", 0) == 0)
            continue;
        older += (line == "grimalou-exercise 3" ? "grimalou-exercise 2" : line) + "\n";
    }
    EXPECT_NE(ReadExercise(older, &read).find("second finger, which format 2 does not have"), std::string::npos)
        << ReadExercise(older, &read);
    KeyTick(app, 1u << SLOT_PLAY);
    for (int tick = 0; tick < 2000 && app->face->player.playing; ++tick) KeyTick(app, 0);
    EXPECT_TRUE(SameFace(face->Snapshot(), live));

    // A thumb resting where there is nothing blocks nothing; two fingers on
    // one eye: the first holds it, the second moves nothing.
    face->ResetFace();
    twoFingers(20, 20, 0, rx, ry, -1);
    EXPECT_EQ(face->eyeRight->variant, 1);
    face->ResetFace();
    twoFingers(rx, ry, 0, rx, ry, -2);
    EXPECT_EQ(face->eyeRight->variant, 0);
}

}  // namespace
