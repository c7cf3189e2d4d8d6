// Recording and playback of an exercise. While recording, each face-screen
// tick adds one entry to the recording: a pointer sample (x, y >= 0),
// an idle tick (-1, 0), or a button event (-3..-6 with the tick's y); -2 ends
// a recording. Playback makes each entry a tick's input (TakeInput) in place
// of the live finger, from the face and the random generator's state saved
// when the recording began, so that it shows exactly what was seen.
#include <algorithm>

#include "app/my_app.h"

namespace {

// The tick's sample, never negative: a touch in the letterbox bars left of
// or above the virtual screen must not read back as an event code.
int Sample(float coordinate) { return std::max(0, static_cast<int>(coordinate)); }

}  // namespace

FaceSnapshot c_MyApp::CurrentFace() const {
    FaceSnapshot f;
    c_Partie *mr = mouthRight, *ml = mouthLeft, *t = tongue, *br = browRight, *bl = browLeft, *er = eyeRight,
             *el = eyeLeft;
    f.mouthRightFrame = mr->frame, f.mouthLeftFrame = ml->frame;
    f.mouthRightVariant = mr->variant, f.mouthLeftVariant = ml->variant;
    f.tongueFrame = t->frame, f.tongueVariant = t->variant;
    f.browRightAngle = br->angle, f.browLeftAngle = bl->angle;
    f.eyeRightVariant = er->variant, f.eyeLeftVariant = el->variant;
    f.mouthRightX = mr->x, f.mouthRightY = mr->y, f.mouthLeftX = ml->x, f.mouthLeftY = ml->y;
    f.lipsRightX = lipsRight->x, f.lipsRightY = lipsRight->y, f.lipsLeftX = lipsLeft->x, f.lipsLeftY = lipsLeft->y;
    f.teethRightX = teethRight->x, f.teethRightY = teethRight->y;
    f.teethLeftX = teethLeft->x, f.teethLeftY = teethLeft->y;
    f.browRightX = br->x, f.browRightY = br->y, f.browLeftX = bl->x, f.browLeftY = bl->y;
    f.eyeRightX = er->x, f.eyeRightY = er->y, f.eyeLeftX = el->x, f.eyeLeftY = el->y;
    f.tongueX = t->x, f.tongueY = t->y;
    f.tongueButtonState = face.tongueMode ? 1 : 0;
    f.tongueDepth = face.tongueDepth;
    f.tongueShift = face.tongueShift;
    f.symmetryButtonState = face.paired ? 1 : 0;
    f.cheekRightVariant = cheekRight->variant, f.cheekLeftVariant = cheekLeft->variant;
    f.lipsRightFrame = lipsRight->frame, f.lipsRightVariant = lipsRight->variant;
    f.lipsLeftFrame = lipsLeft->frame, f.lipsLeftVariant = lipsLeft->variant;
    f.teethRightFrame = teethRight->frame, f.teethRightVariant = teethRight->variant;
    f.teethLeftFrame = teethLeft->frame, f.teethLeftVariant = teethLeft->variant;
    f.lipsMode = face.lipsMode, f.teethMode = face.teethMode, f.tongueOut = face.tongueOut;
    f.pursedMouth = face.pursedMouth, f.roundMouth = face.roundMouth, f.tongueUnmirrored = face.tongueUnmirrored;
    return f;
}

void c_MyApp::SaveSnapshot() {
    armedFace = CurrentFace();
    armedRandomState = randomState;
}

void c_MyApp::RestoreSnapshot() { ApplyFace(recording.startFace); }

ExerciseEntry c_MyApp::RecordedEntry(int i) const {
    const std::vector<ExerciseEntry>& entries = recording.entries;
    return i >= 0 && i < static_cast<int>(entries.size()) ? entries[i] : ExerciseEntry();
}

void c_MyApp::ApplyFace(const FaceSnapshot& f) {
    c_Partie *mr = mouthRight, *ml = mouthLeft, *t = tongue, *br = browRight, *bl = browLeft, *er = eyeRight,
             *el = eyeLeft;
    mr->frame = f.mouthRightFrame, ml->frame = f.mouthLeftFrame;
    mr->variant = f.mouthRightVariant, ml->variant = f.mouthLeftVariant;
    t->frame = f.tongueFrame, t->variant = f.tongueVariant;
    br->angle = f.browRightAngle, bl->angle = f.browLeftAngle;
    er->variant = f.eyeRightVariant, el->variant = f.eyeLeftVariant;
    mr->x = f.mouthRightX, mr->y = f.mouthRightY, ml->x = f.mouthLeftX, ml->y = f.mouthLeftY;
    lipsRight->x = f.lipsRightX, lipsRight->y = f.lipsRightY, lipsLeft->x = f.lipsLeftX, lipsLeft->y = f.lipsLeftY;
    teethRight->x = f.teethRightX, teethRight->y = f.teethRightY;
    teethLeft->x = f.teethLeftX, teethLeft->y = f.teethLeftY;
    br->x = f.browRightX, br->y = f.browRightY, bl->x = f.browLeftX, bl->y = f.browLeftY;
    er->x = f.eyeRightX, er->y = f.eyeRightY, el->x = f.eyeLeftX, el->y = f.eyeLeftY;
    t->x = f.tongueX, t->y = f.tongueY;
    face.tongueMode = f.tongueButtonState == 1;
    face.tongueDepth = f.tongueDepth;
    face.tongueShift = f.tongueShift;
    face.paired = f.symmetryButtonState == 1;
    cheekRight->variant = f.cheekRightVariant, cheekLeft->variant = f.cheekLeftVariant;
    face.lipsMode = f.lipsMode, face.teethMode = f.teethMode, face.tongueOut = f.tongueOut;
    face.pursedMouth = f.pursedMouth, face.roundMouth = f.roundMouth, face.tongueUnmirrored = f.tongueUnmirrored;
    lipsRight->frame = f.lipsRightFrame, lipsRight->variant = f.lipsRightVariant;
    lipsLeft->frame = f.lipsLeftFrame, lipsLeft->variant = f.lipsLeftVariant;
    teethRight->frame = f.teethRightFrame, teethRight->variant = f.teethRightVariant;
    teethLeft->frame = f.teethLeftFrame, teethLeft->variant = f.teethLeftVariant;
    PlaceAll();
}

// Every press is stored, even the same button on two ticks in a row: each
// acted on the face that was seen.
void c_MyApp::RecordEvent(int code) { recording.entries.back().x = code; }

TickInput c_MyApp::TakeInput(bool touching) {
    TickInput in;
    if (playButton->state != 1) {
        paceHeld = false;
        in.touching = touching;
        in.x = static_cast<int>(pointer[0]);
        in.y = static_cast<int>(pointer[1]);
        return in;
    }
    // While a recording plays the finger's own touches are not the face's.
    ExerciseEntry entry = RecordedEntry(recordIndex);
    int x = entry.x, y = entry.y;
    // The end mark, or the end of the entries, ends the playback: an idle tick.
    if (x == ENTRY_END || recordIndex >= static_cast<int>(recording.entries.size())) {
        playButton->state = 0;
        recordIndex = 0;
        paceHeld = false;
        return in;
    }
    in.repeat = paceHeld;
    in.touching = x != ENTRY_IDLE;
    in.x = x;
    in.y = y;
    if (x < ENTRY_END && !in.repeat) in.event = x;
    return in;
}

void c_MyApp::PlayEvent(int code) {
    switch (code) {
        case ENTRY_TONGUE: face.tongueMode = !face.tongueMode; break;
        case ENTRY_RANDOM: RandomFace(); break;
        case ENTRY_RESET: ResetFace(); break;
        case ENTRY_SYMMETRY: face.paired = !face.paired; break;
        default: break;
    }
}

float c_MyApp::RecordTimeLeft() const {
    if (recordButton->state != 1) return 0;
    return std::clamp(1 - static_cast<float>(recordIndex) / RECORD_LAST, 0.0f, 1.0f);
}

// After a played entry: at half pace the first feed holds the entry for
// one more tick.
bool c_MyApp::AdvancePlayback() {
    if (halfPace && !paceHeld) {
        paceHeld = true;
        return false;
    }
    paceHeld = false;
    recordIndex += 1;
    return true;
}

void c_MyApp::RecordTick(const ButtonEvents& events, bool touching) {
    if (!touching) {
        // Idle ticks before the first sample are not stored.
        if (recordIndex > 0 && recordIndex < RECORD_LAST) {
            recording.entries.push_back({ENTRY_IDLE, 0});
            recordIndex += 1;
            if (recordIndex == RECORD_LAST) {
                recordButton->state = 0;
                recordIndex = 0;
            }
        }
        return;
    }
    float px = pointer[0], py = pointer[1];
    // Touches on the record and play buttons are not the exercise's.
    if (recordButton->Hit(px, py) || playButton->Hit(px, py)) return;
    if (recordIndex > RECORD_LAST) {
        recordButton->state = 0;
        recordIndex = 0;
        return;
    }
    if (recordIndex == 0) {
        recording.child = child;
        recording.startFace = armedFace;
        recording.randomState = armedRandomState;
        recording.entries.clear();
    }
    recording.entries.push_back({Sample(px), Sample(py)});
    if (events.tongue)
        RecordEvent(ENTRY_TONGUE);
    else if (events.random)
        RecordEvent(ENTRY_RANDOM);
    else if (events.reset)
        RecordEvent(ENTRY_RESET);
    else if (events.symmetry)
        RecordEvent(ENTRY_SYMMETRY);
    recordIndex += 1;
}

FaceScreenState c_MyApp::SaveFaceScreen() const {
    static_assert(SLOT_COUNT <= 16, "the state has room for every button");
    FaceScreenState s;
    s.face = face;
    s.recording = recording, s.armedFace = armedFace;
    s.armedRandomState = armedRandomState;
    s.randomState = randomState;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        s.buttonState[slot] = ButtonInSlot(slot)->state;
        s.buttonActive[slot] = ButtonInSlot(slot)->active;
    }
    s.recordIndex = recordIndex;
    s.halfPace = halfPace, s.paceHeld = paceHeld;
    s.child = child;
    return s;
}

void c_MyApp::RestoreFaceScreen(const FaceScreenState& s) {
    ShowChild(s.child);
    face = s.face;
    recording = s.recording, armedFace = s.armedFace;
    armedRandomState = s.armedRandomState;
    randomState = s.randomState;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        ButtonInSlot(slot)->state = s.buttonState[slot];
        ButtonInSlot(slot)->active = s.buttonActive[slot];
    }
    recordIndex = s.recordIndex;
    halfPace = s.halfPace, paceHeld = s.paceHeld;
}

bool c_MyApp::RecordingAsExercise(Exercise* exercise) {
    // A recording that runs ends here, as play would end it.
    if (recordButton->state == 1) {
        if (recordIndex > 0 && recordIndex <= RECORD_LAST) recording.entries.push_back({ENTRY_END, 0});
        recordButton->state = 0;
        recordIndex = 0;
    }
    if (recording.entries.empty()) return false;
    *exercise = recording;
    exercise->pace = halfPace ? Pace::Half : Pace::Normal;
    return true;
}

void c_MyApp::StartPlayback() {
    playButton->state = 1;
    recordButton->state = 0;
    recordIndex = 0;
    paceHeld = false;
    face.holdTicks = 0;
    ResetFace();
    RestoreSnapshot();
    // The random faces of the recording draw the same numbers again.
    randomState = recording.randomState;
}

void c_MyApp::StopRepeating() {
    repeatPhase = RepeatPhase::Off;
    repetition = 0;
    phaseTicks = 0;
}

void c_MyApp::PlayExercise(const Exercise& exercise, int times) {
    ShowChild(exercise.child);
    recording = exercise;
    if (recording.entries.size() > EXERCISE_MAX_ENTRIES) recording.entries.resize(EXERCISE_MAX_ENTRIES);
    armedFace = exercise.startFace;
    armedRandomState = exercise.randomState;
    halfPace = exercise.pace == Pace::Half;
    StopRepeating();
    repetitions = std::clamp(times, REPEAT_MIN, REPEAT_MAX);
    repeatPhase = RepeatPhase::Playing;
    repetition = 1;
    StartPlayback();
}

namespace {
constexpr int TICKS_PER_SECOND = 60;
}

// Between two repetitions the face holds its end pose, then rests at the
// start face, each for the hold time; a hold of 0 plays again at once.
void c_MyApp::RepeatTick(bool wasPlaying) {
    for (int step = 0; step < 3; ++step) {
        switch (repeatPhase) {
            case RepeatPhase::Off: return;
            case RepeatPhase::Playing:
                if (playButton->state == 1) return;
                if (!wasPlaying || repetition >= repetitions) {
                    // The last repetition ends in its pose.
                    StopRepeating();
                    return;
                }
                repeatPhase = RepeatPhase::Hold;
                phaseTicks = holdSeconds * TICKS_PER_SECOND;
                break;
            case RepeatPhase::Hold:
                if (phaseTicks > 0 && --phaseTicks > 0) return;
                ResetFace();
                RestoreSnapshot();
                repeatPhase = RepeatPhase::Rest;
                phaseTicks = holdSeconds * TICKS_PER_SECOND;
                break;
            case RepeatPhase::Rest:
                if (phaseTicks > 0 && --phaseTicks > 0) return;
                repetition += 1;
                repeatPhase = RepeatPhase::Playing;
                StartPlayback();
                return;
        }
    }
}

void c_MyApp::EndFaceOf(const Exercise& exercise, LibraryCell* cell) {
    FaceScreenState kept = SaveFaceScreen();
    int keptRepetitions = repetitions;
    // The face screen's own ticks play it, as if it showed.
    bool keptLibrary = libraryShown;
    libraryShown = false;
    PlayExercise(exercise, 1);
    // A playback lasts at most its entries, each twice at half pace.
    for (int tick = 0; tick < 2 * (RECORD_LAST + 2) && playButton->state == 1; ++tick) FaceTick(false, false, 0);
    // The tick after the last shows the tongue as its button was left.
    FaceTick(false, false, 0);
    cell->endFace = CurrentFace();
    cell->endState = face;
    StopRepeating();
    repetitions = keptRepetitions;
    libraryShown = keptLibrary;
    RestoreFaceScreen(kept);
}
