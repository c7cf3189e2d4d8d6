// Exercises that last, without a window: a recording replayed from its file
// reaches exactly the face that was seen, whatever was pressed; saving and
// the library screen in a private XDG_DATA_HOME; repeating with holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "tests/support/app_test_support.h"

namespace {

unsigned Key(int slot) { return 1u << slot; }

// The face as text: a failed comparison shows the fields that differ.
std::string FaceText(c_MyApp* app) { return FaceText(app->Face()->Snapshot()); }

// Ticks without a touch until the playback and its repetitions are over.
int PlayToTheEnd(c_MyApp* app, Finger& finger, int limit = 10000) {
    int ticks = 0;
    while ((app->face->player.playing == 1 || app->face->player.repeatPhase != RepeatPhase::Off) && ticks < limit) {
        finger.Idle(1);
        ++ticks;
    }
    return ticks;
}

// One random recording on a random start face: drags on every kind of part
// (the mouth's centre changes its mode), button keys alone and two at once,
// taps, pauses. Returns the exercise as its file reads back.
Exercise RandomRecording(c_MyApp* app, Finger& finger, std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int eventSlots[] = {SLOT_TONGUE, SLOT_RANDOM, SLOT_RESET, SLOT_SYMMETRY};
    auto pressKeys = [&](unsigned keys) {
        KeyTick(app, keys, false, false);
        finger.Idle(2);
    };
    // A start face of its own: random faces, perhaps the tongue, lips or teeth.
    for (int i = pick(3); i > 0; --i) pressKeys(Key(SLOT_RANDOM));
    if (pick(2)) pressKeys(Key(SLOT_TONGUE));
    if (pick(3) == 0) finger.Drag(642, 495, 0, pick(2) ? 45 : 33);
    pressKeys(Key(SLOT_RECORD));
    EXPECT_EQ(app->face->player.recordingOn, 1);
    for (int action = 0; action < 12 && app->face->player.recordingOn == 1; ++action) {
        switch (pick(4)) {
            case 0: {
                // Somewhere on the face, moved in a few steps.
                float x = 260 + pick(760), y = 220 + pick(420);
                finger.Press(x, y);
                finger.MoveTo(x + pick(161) - 80, y + pick(161) - 80, 1 + pick(8));
                finger.Release();
                break;
            }
            case 1: pressKeys(Key(eventSlots[pick(4)])); break;
            case 2: pressKeys(Key(eventSlots[pick(4)]) | Key(eventSlots[pick(4)])); break;
            default: finger.Idle(pick(10)); break;
        }
    }
    finger.Idle(1);
    Exercise recorded;
    EXPECT_TRUE(app->face->player.RecordingAsExercise(&recorded));
    Exercise read;
    EXPECT_EQ(ReadExercise(WriteExercise(recorded), &read), "");
    return read;
}

TEST(ExerciseReplay, ARecordingPlayedFromItsFileReachesTheFaceThatWasSeen) {
    std::mt19937 random(2026);
    for (int round = 0; round < 40; ++round) {
        c_MyApp* app = NewFaceApp(round % 2 == 0);
        Finger finger(app);
        app->Face()->random.state = static_cast<int>(random());
        Exercise exercise = RandomRecording(app, finger, random);
        finger.Idle(1);
        std::string seen = FaceText(app);
        int generator = app->Face()->random.state;
        // Anything may happen in between: the replay starts from the file.
        KeyTick(app, Key(SLOT_RANDOM), false, false);
        finger.Drag(700, 370, 0, 60);
        app->face->Play(exercise, 1, app->choice);
        PlayToTheEnd(app, finger);
        finger.Idle(1);
        EXPECT_EQ(FaceText(app), seen) << "round " << round;
        EXPECT_EQ(app->Face()->random.state, generator) << "round " << round;
    }
}

TEST(ExerciseReplay, TwoKeysInOneTickActOneAfterTheOtherAndAreBothRecorded) {
    c_MyApp* app = NewFaceApp(true);
    Finger finger(app);
    KeyTick(app, Key(SLOT_RECORD), false, false);
    finger.Idle(1);
    KeyTick(app, Key(SLOT_TONGUE) | Key(SLOT_RANDOM), false, false);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    finger.Idle(3);
    Exercise exercise;
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&exercise));
    int tongue = 0, random = 0;
    for (const ExerciseEntry& e : exercise.entries) {
        tongue += e.x == ENTRY_TONGUE;
        random += e.x == ENTRY_RANDOM;
    }
    EXPECT_EQ(tongue, 1);
    EXPECT_EQ(random, 1);
    // The same key on two ticks in a row acts twice, and is stored twice
    // (the last recording saved first, so that recording anew asks nothing).
    app->face->player.recordingUnsaved = false;
    KeyTick(app, Key(SLOT_RECORD), false, false);
    finger.Idle(1);
    KeyTick(app, Key(SLOT_TONGUE), false, false);
    KeyTick(app, Key(SLOT_TONGUE), false, false);
    EXPECT_TRUE(app->Face()->face.tongueMode);
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&exercise));
    ASSERT_GE(exercise.entries.size(), 2u);
    EXPECT_EQ(exercise.entries[0].x, ENTRY_TONGUE);
    EXPECT_EQ(exercise.entries[1].x, ENTRY_TONGUE);
}

// ---- Repeat with holds -------------------------------------------------------

TEST(ExerciseRepeat, EachRepetitionHoldsTheEndPoseThenRestsAtTheStart) {
    c_MyApp* app = NewFaceApp(true);
    Finger finger(app);
    KeyTick(app, Key(SLOT_RECORD), false, false);
    finger.Idle(1);
    float x = (app->Face()->eyeRight->edge3 + app->Face()->eyeRight->edge2) / 2;
    float y = (app->Face()->eyeRight->zoneTop + app->Face()->eyeRight->zoneBottom) / 2;
    finger.Press(x, y);
    finger.MoveTo(x, y - 70, 10);
    finger.Release();
    Exercise exercise;
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&exercise));
    int entries = static_cast<int>(exercise.entries.size());
    ASSERT_EQ(app->Face()->eyeRight->variant, 2);

    for (bool half : {false, true}) {
        exercise.pace = half ? Pace::Half : Pace::Normal;
        app->choice.holdSeconds = 1;
        app->face->Play(exercise, 3, app->choice);
        // Tick by tick: how long each phase lasts, and the face in it.
        std::vector<std::pair<RepeatPhase, int>> phases;
        int ticks = 0;
        while (app->face->player.repeatPhase != RepeatPhase::Off && ticks < 5000) {
            RepeatPhase phase = app->face->player.repeatPhase;
            if (phases.empty() || phases.back().first != phase) phases.push_back({phase, 0});
            phases.back().second += 1;
            if (phase == RepeatPhase::Hold) {
                EXPECT_EQ(app->Face()->eyeRight->variant, 2);
            }
            if (phase == RepeatPhase::Rest) {
                EXPECT_EQ(app->Face()->eyeRight->variant, 0);
            }
            finger.Idle(1);
            ++ticks;
        }
        ASSERT_EQ(phases.size(), 7u);
        for (int i = 0; i < 7; ++i) {
            RepeatPhase want = i % 3 == 0 ? RepeatPhase::Playing : i % 3 == 1 ? RepeatPhase::Hold : RepeatPhase::Rest;
            EXPECT_EQ(phases[i].first, want) << i;
            // A playback lasts its entries (twice at half pace); a hold or
            // a rest one second.
            int length = want == RepeatPhase::Playing ? entries * (half ? 2 : 1) : 60;
            EXPECT_NEAR(phases[i].second, length, 2) << i;
        }
        // After the last one the face stays in its end pose.
        finger.Idle(200);
        EXPECT_EQ(app->Face()->eyeRight->variant, 2);
        EXPECT_EQ(app->face->player.playing, 0);
    }
    // Play stops the repetitions, back to the start face.
    exercise.pace = Pace::Normal;
    app->face->Play(exercise, 5, app->choice);
    PlayToTheEnd(app, finger, entries + 10);
    EXPECT_EQ(app->face->player.repeatPhase, RepeatPhase::Hold);
    KeyTick(app, Key(SLOT_PLAY), false, false);
    finger.Idle(1);
    EXPECT_EQ(app->face->player.repeatPhase, RepeatPhase::Off);
    EXPECT_EQ(app->Face()->eyeRight->variant, 0);
}

// ---- Saving and the library -------------------------------------------------------

struct LibraryTest : PrivateDataHome {
    // A touch on the library screen.
    static void Click(c_MyApp* app, float x, float y) {
        AppInput in;
        in.x = app->pointer[0] = x;
        in.y = app->pointer[1] = y;
        in.hit = true;
        app->Step(in);
    }
    static Exercise EyeUp(Child child, int steps) {
        Exercise e;
        e.child = child;
        c_MyApp* app = NewFaceApp(child == Child::Girl);
        e.startFace = app->Face()->Snapshot();
        float x = (app->Face()->eyeRight->edge3 + app->Face()->eyeRight->edge2) / 2;
        int y = static_cast<int>((app->Face()->eyeRight->zoneTop + app->Face()->eyeRight->zoneBottom) / 2);
        for (int i = 0; i <= 31 * steps; ++i) e.entries.push_back({static_cast<int>(x), y - i});
        e.entries.push_back({ENTRY_IDLE, 0});
        e.entries.push_back({ENTRY_END, 0});
        return e;
    }
};

TEST_F(LibraryTest, SaveKeepsTheRecordingAndTheLibraryShowsItsEndFace) {
    c_MyApp* app = NewFaceApp(false);
    Finger finger(app);
    KeyTick(app, Key(SLOT_SAVE), false, false);
    EXPECT_NE(app->message.find("Nothing to save"), std::string::npos);
    KeyTick(app, Key(SLOT_RECORD), false, false);
    finger.Idle(1);
    KeyTick(app, Key(SLOT_TONGUE), false, false);
    finger.Drag(642, 495, 0, 45);
    finger.Idle(1);
    std::string seen = FaceText(app);
    Exercise recorded;
    // Save ends the running recording, as play would.
    KeyTick(app, Key(SLOT_SAVE), false, false);
    EXPECT_EQ(app->face->player.recordingOn, 0);
    ASSERT_TRUE(app->face->player.RecordingAsExercise(&recorded));
    std::vector<LibraryEntry> entries;
    ASSERT_EQ(ListExercises(&entries), "");
    ASSERT_EQ(entries.size(), 1u);
    Exercise saved;
    ASSERT_EQ(LoadExercise(entries[0].path, &saved), "");
    EXPECT_NE(app->message.find("Saved in the library as \u201C" + saved.title), std::string::npos);
    EXPECT_EQ(saved.title.substr(0, 5), "Boy, ");
    recorded.title = saved.title;
    EXPECT_EQ(saved, recorded);
    // Saved again: the same file, and a word that says so.
    KeyTick(app, Key(SLOT_SAVE), false, false);
    ASSERT_EQ(ListExercises(&entries), "");
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_NE(app->message.find("in the library already"), std::string::npos);
    EXPECT_EQ(saved.child, Child::Boy);

    // The library's picture is the end face; working it out leaves the face
    // screen as it was, and closing the library goes back to it.
    finger.Drag(700, 370, 0, 60);
    std::string before = FaceText(app);
    app->OpenLibrary();
    ASSERT_TRUE((app->screen == ScreenKind::Library));
    EXPECT_EQ(app->library->cards[0].problem, "");
    ASSERT_NE(app->library->endFaces[0], nullptr);
    EXPECT_EQ(FaceText(app->library->endFaces[0]->Snapshot()), seen);
    // Drawing the pictures changes nothing.
    std::string shown = FaceText(app);
    DrawFrame(app);
    EXPECT_EQ(FaceText(app), shown);
    app->CloseLibrary();
    EXPECT_FALSE((app->screen == ScreenKind::Library));
    EXPECT_EQ(FaceText(app), before);
}

// A card's editor, upright as on a phone: every control a finger wide, the
// text typed in the page's own box (the phone's keyboard types only there)
// taken whole, and the same editor by the keyboard.
TEST_F(LibraryTest, TheEditorTakesThePagesBoxAndTheKeysAndFitsAPhone) {
    Letterbox phone = FitScreen(390, 844);
    const EditLayout& upright = EditLayoutFor(Arrangement::Portrait);
    for (int c = 0; c < EDIT_CONTROLS; ++c) {
        const ControlBox& b = upright.boxes[c];
        EXPECT_GE(std::min(b.w, b.h) / phone.unitsPerPixel, 44) << c;
        EXPECT_TRUE(b.x >= upright.panel.x && b.x + b.w <= upright.panel.x + upright.panel.w &&
                    b.y > upright.panel.y && b.y + b.h <= upright.panel.y + upright.panel.h) << c;
        for (int d = 0; d < c; ++d) EXPECT_FALSE(b.Overlaps(upright.boxes[d])) << c << " " << d;
    }
    EXPECT_GE(upright.textHeight / phone.unitsPerPixel, 12);

    std::string path;
    ASSERT_EQ(SaveExercise(EyeUp(Child::Girl, 1), LocalTimeNow(), &path), "");
    c_MyApp* app = NewTitleApp(390, 844);
    app->touchUsed = true;
    app->OpenLibrary();
    ASSERT_TRUE(app->screen == ScreenKind::Library);
    EXPECT_TRUE(app->PageTextFields().empty());
    app->library->StartEditing(0);
    std::vector<c_LibraryScreen::FieldView> fields = app->PageTextFields();
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].box.y, upright.boxes[EDIT_TITLE].y);
    // A word composed, then ended with the keyboard's Enter: a tab is no
    // part of a title, and the caret counts characters.
    app->TextEntered(0, "L\u00e8vres\t 2", 2, AppInput::ENTRY_TYPING);
    app->OnTick();
    EXPECT_EQ(app->library->TextFields(Arrangement::Portrait)[0].field->text, "L\u00e8vres 2");
    EXPECT_EQ(app->library->TextFields(Arrangement::Portrait)[0].field->CaretChars(), 2);
    app->TextEntered(1, "Twice a day", 11, AppInput::ENTRY_TYPING);
    app->TextEntered(1, "Twice a day.", 12, AppInput::ENTRY_DONE);
    app->OnTick();
    EXPECT_FALSE(app->library->Typing());
    Exercise saved;
    ASSERT_EQ(LoadExercise(path, &saved), "");
    EXPECT_EQ(saved.title, "L\u00e8vres 2");
    EXPECT_EQ(saved.note, "Twice a day.");

    // The keyboard: the caret moves, Backspace takes a whole letter, and
    // Escape leaves the file as it was.
    app->library->StartEditing(0);
    AppInput in;
    in.arrangement = Arrangement::Portrait;
    in.keys.set(KEY_HOME);
    app->Step(in);
    in.keys.reset();
    in.keys.set(KEY_RIGHT);
    app->Step(in);
    app->Step(in);
    in.keys.reset();
    in.keys.set(KEY_BACKSPACE);
    app->Step(in);
    EXPECT_EQ(app->library->TextFields(Arrangement::Portrait)[0].field->text, "Lvres 2");
    in.keys.reset();
    in.keys.set(KEY_ESCAPE);
    app->Step(in);
    ASSERT_EQ(LoadExercise(path, &saved), "");
    EXPECT_EQ(saved.title, "L\u00e8vres 2");
}

TEST_F(LibraryTest, PagesNewestFirstOpenOnAClickAndDeleteOnlyAfterAYes) {
    std::vector<std::string> paths;
    for (int i = 0; i < 11; ++i) {
        LocalTime when{2026, 12, 1 + i, 10, 0, 0};
        std::string path;
        Exercise exercise = EyeUp(i % 2 ? Child::Boy : Child::Girl, 1 + i % 2);
        exercise.randomState = i;  // eleven recordings, not two
        ASSERT_EQ(SaveExercise(exercise, when, &path), "");
        paths.push_back(path);
    }
    // A file that does not read is shown as such and touches nothing.
    std::string bad = folder + "/grimalou/exercises/2026-12-20_10-00-00_girl.grimalou";
    std::system(("printf 'grimalou-exercise 1\\nchild gi' > " + bad).c_str());

    c_MyApp* app = NewTitleApp();
    app->OpenLibrary();
    ASSERT_TRUE((app->screen == ScreenKind::Library));
    ASSERT_EQ(app->library->entries.size(), 12u);
    EXPECT_EQ(app->library->entries[0].path, bad);
    EXPECT_EQ(app->library->entries[1].path, paths[10]);
    // Only the page on screen is read.
    auto read = [&] {
        return std::count_if(app->library->cards.begin(), app->library->cards.end(),
                             [](const LibraryCard& c) { return c.read; });
    };
    EXPECT_EQ(read(), LIBRARY_PAGE);
    EXPECT_NE(app->library->cards[0].problem, "");
    EXPECT_EQ(app->library->endFaces[1]->eyeRight->variant, 1);
    EXPECT_EQ(app->library->endFaces[2]->eyeRight->variant, 2);
    DrawFrame(app);

    // The second page: its cards, read when it shows.
    const ControlBox& pageOn = LibraryLayoutFor(Arrangement::Landscape).controls[PAGE_ON];
    Click(app, pageOn.x + pageOn.w / 2, pageOn.y + pageOn.h / 2);
    EXPECT_EQ(app->library->page, 1);
    EXPECT_EQ(read(), 12);
    ControlBox first = LibraryCardBox(0);
    ASSERT_EQ(app->library->CardAt(first.x + 30, first.y + 100), 0);

    // The cross asks first; a click elsewhere says no.
    float crossX = first.x + first.w - 10, crossY = first.y + 10;
    Click(app, crossX, crossY);
    EXPECT_EQ(app->library->confirmDelete, LIBRARY_PAGE);
    Click(app, 100, 780);
    EXPECT_EQ(app->library->confirmDelete, -1);
    Click(app, crossX, crossY);
    Click(app, 460 + 75, 430 + 30);
    std::vector<LibraryEntry> left;
    ASSERT_EQ(ListExercises(&left), "");
    EXPECT_EQ(left.size(), 11u);
    for (const LibraryEntry& e : left) EXPECT_NE(e.path, paths[3]);

    // A click on a card plays it on its child's face, from the title.
    const ControlBox& pageBack = LibraryLayoutFor(Arrangement::Landscape).controls[PAGE_BACK];
    Click(app, pageBack.x + pageBack.w / 2, pageBack.y + pageBack.h / 2);
    ControlBox second = LibraryCardBox(1);
    Click(app, second.x + second.w / 2, second.y + second.h / 2);
    EXPECT_FALSE((app->screen == ScreenKind::Library));
    EXPECT_TRUE((app->screen == ScreenKind::Face));
    EXPECT_EQ(app->Face()->child, Child::Girl);
    EXPECT_EQ(app->face->player.playing, 1);
    Finger finger(app);
    PlayToTheEnd(app, finger);
    EXPECT_EQ(app->Face()->eyeRight->variant, 1);
}

TEST_F(LibraryTest, ABadFileOnTheCommandLineIsNamedAndTheTitleStays) {
    c_MyApp* app = NewTitleApp();
    std::string bad = folder + "/short.grimalou";
    std::system(("printf 'grimalou-exercise 9\\n' > " + bad).c_str());
    app->OpenFromCommandLine(bad);
    EXPECT_FALSE((app->screen == ScreenKind::Face));
    // In plain words what to do; the file and the reason below.
    EXPECT_EQ(app->message, "This exercise was made by a newer version of Grimalou. Update Grimalou, then open it again.");
    EXPECT_NE(app->messageReason.find("short.grimalou: it was made by a newer version"), std::string::npos);
    // It stays until a click or a key, which does nothing else.
    for (int i = 0; i < 20 * TICKS_PER_SECOND; ++i) app->Step(AppInput());
    EXPECT_TRUE(app->messageStays);
    Click(app, 300, 300);
    EXPECT_TRUE(app->message.empty());
    EXPECT_TRUE((app->screen == ScreenKind::Title));
    std::string good;
    ASSERT_EQ(SaveExercise(EyeUp(Child::Boy, 2), LocalTime{2026, 1, 2, 3, 4, 5}, &good), "");
    app->OpenFromCommandLine(good);
    ASSERT_TRUE((app->screen == ScreenKind::Face));
    EXPECT_EQ(app->Face()->child, Child::Boy);
    // Homework waits for its start with its title; a tap anywhere starts it.
    EXPECT_EQ(app->face->homework, Homework::INTRO);
    EXPECT_EQ(app->face->prescription.title, "Boy, 2026-01-02 03:04");
    for (int i = 0; i < 100; ++i) app->Step(AppInput());
    EXPECT_FALSE(app->face->player.playing);
    Click(app, 100, 100);
    EXPECT_TRUE(app->face->player.playing);
    Finger finger(app);
    EXPECT_GT(PlayToTheEnd(app, finger), 60);
    EXPECT_EQ(app->Face()->eyeRight->variant, 2);
    EXPECT_EQ(app->face->player.repeatPhase, RepeatPhase::Off);
}

}  // namespace

namespace {

// ---- Keep this exercise? ---------------------------------------------------------

struct KeepTest : LibraryTest {
    static void Record(c_MyApp* app) {
        Finger finger(app);
        KeyTick(app, Key(SLOT_RECORD), false, false);
        finger.Idle(1);
        finger.Drag(642, 495, 0, 45);
        finger.Idle(1);
    }
    static void Press(c_MyApp* app, int key) {
        AppInput in;
        in.keys.set(static_cast<size_t>(key));
        app->Step(in);
    }
    static size_t Saved() {
        std::vector<LibraryEntry> entries;
        EXPECT_EQ(ListExercises(&entries), "");
        return entries.size();
    }
};

TEST_F(KeepTest, EveryWayOutOfAnUnsavedRecordingAsksAndEachAnswerKeepsItsWord) {
    enum Way { HOME, LIBRARY, ANEW, CLOSE };
    for (Way way : {HOME, LIBRARY, ANEW, CLOSE}) {
        c_MyApp* app = NewFaceApp();
        Record(app);
        auto leave = [&] {
            if (way == HOME) KeyTick(app, Key(SLOT_HOME), false, false);
            if (way == LIBRARY) KeyTick(app, Key(SLOT_LIBRARY), false, false);
            // R stops a recording that runs; the next R records anew.
            if (way == ANEW && app->face->player.recordingOn) KeyTick(app, Key(SLOT_RECORD), false, false);
            if (way == ANEW) KeyTick(app, Key(SLOT_RECORD), false, false);
            if (way == CLOSE) {
                EXPECT_FALSE(app->OnCloseRequest());
            }
        };
        // Escape is Cancel: the face and its recording stay as they were.
        std::string face = FaceText(app->Face()->Snapshot());
        ASSERT_TRUE(app->face->player.recordingUnsaved) << way;
        leave();
        ASSERT_TRUE((app->screen == ScreenKind::AskKeep)) << way;
        Press(app, KEY_ESCAPE);
        EXPECT_TRUE((app->screen == ScreenKind::Face)) << way;
        EXPECT_TRUE(app->face->player.recordingUnsaved) << way;
        EXPECT_EQ(FaceText(app->Face()->Snapshot()), face) << way;
        // Cancel as a click, too.
        leave();
        const ControlBox& cancel = KeepLayoutFor(Arrangement::Landscape).boxes[KEEP_CANCEL];
        Click(app, cancel.x + 5, cancel.y + 5);
        EXPECT_TRUE((app->screen == ScreenKind::Face)) << way;
        if (way == CLOSE) continue;
        // Enter is Save, then the way out goes on; Discard goes on without a file.
        leave();
        Press(app, KEY_ENTER);
        EXPECT_EQ(Saved(), 1u) << way;
        ScreenKind reached = way == HOME ? ScreenKind::Title : way == LIBRARY ? ScreenKind::Library : ScreenKind::Face;
        EXPECT_TRUE((app->screen == reached)) << way;
        if (way == ANEW) {
            EXPECT_TRUE(app->face->player.recordingOn);
        }
        std::filesystem::remove_all(ExerciseFolder());
        c_MyApp* again = NewFaceApp();
        Record(again);
        if (way == HOME) KeyTick(again, Key(SLOT_HOME), false, false);
        if (way == LIBRARY) KeyTick(again, Key(SLOT_LIBRARY), false, false);
        if (way == ANEW) KeyTick(again, Key(SLOT_RECORD), false, false), KeyTick(again, Key(SLOT_RECORD), false, false);
        const ControlBox& discard = KeepLayoutFor(Arrangement::Landscape).boxes[KEEP_DISCARD];
        Click(again, discard.x + 5, discard.y + 5);
        EXPECT_EQ(Saved(), 0u) << way;
        EXPECT_TRUE((again->screen == reached)) << way;
    }
    // Nothing unsaved: the window closes at once.
    c_MyApp* app = NewFaceApp();
    EXPECT_TRUE(app->OnCloseRequest());
}

using KeepDeathTest = KeepTest;

// The window's close, answered: the program ends, with the file or without.
TEST_F(KeepDeathTest, TheWindowsCloseEndsTheProgramOnceAnswered) {
    for (int key : {static_cast<int>(KEY_ENTER), 0}) {
        EXPECT_EXIT(
            {
                c_MyApp* app = NewFaceApp();
                Record(app);
                app->OnCloseRequest();
                if (key) {
                    Press(app, key);
                } else {
                    const ControlBox& discard = KeepLayoutFor(Arrangement::Landscape).boxes[KEEP_DISCARD];
                    Click(app, discard.x + 5, discard.y + 5);
                }
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), "");
        // Saved on Enter; the discarded one adds nothing.
        EXPECT_EQ(Saved(), 1u);
    }
}

}  // namespace
