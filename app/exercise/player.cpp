// Recording and playback of an exercise. While recording, each face-screen
// tick adds one entry to the recording: a pointer sample (x, y >= 0),
// an idle tick (-1, 0), or a button event (-3..-6 with the tick's y); -2 ends
// a recording. Playback makes each entry a tick's input (TakeInput) in place
// of the live finger, from the face and the random generator's state saved
// when the recording began, so that it shows exactly what was seen.
#include "app/exercise/player.h"

#include <algorithm>

#include "app/face/face_model.h"
#include "host/files.h"

namespace {

// The tick's sample, never negative: a touch in the letterbox bars left of
// or above the virtual screen must not read back as an event code.
int Sample(float coordinate) { return std::max(0, static_cast<int>(coordinate)); }

}  // namespace

void Player::PressRecord(const c_FaceModel& face) {
    StopRepeating();
    recordingOn = !recordingOn;
    playing = false;
    recordIndex = 0;
    if (recordingOn) {
        armedFace = face.Snapshot();
        armedRandomState = face.random.state;
    }
}

void Player::PressPlay(c_FaceModel& face) {
    if (recordingOn && recordIndex > 0 && recordIndex <= RECORD_LAST) recording.entries.push_back({ENTRY_END, 0});
    // Only a recording that exists plays; stopping a playback (or a hold
    // between repetitions) also brings the face back to where the recording
    // began.
    if (recording.entries.empty()) return;
    if (playing || repeatPhase != RepeatPhase::Off) {
        StopRepeating();
        playing = recordingOn = false;
        recordIndex = 0;
        RestoreStart(face);
    } else {
        repeatPhase = RepeatPhase::Playing;
        repetition = 1;
        repetitionsDone = 0;
        StartPlayback(face);
    }
}

void Player::RestoreStart(c_FaceModel& face) const {
    face.ResetFace();
    face.ApplySnapshot(recording.startFace);
}

ExerciseEntry Player::RecordedEntry(int i) const {
    const std::vector<ExerciseEntry>& entries = recording.entries;
    return i >= 0 && i < static_cast<int>(entries.size()) ? entries[i] : ExerciseEntry();
}

TickInput Player::TakeInput(const LiveTouch& live) {
    TickInput in;
    if (!playing) {
        paceHeld = false;
        in.touching = live.touching;
        in.pressed = live.pressed;
        in.x = static_cast<int>(live.x);
        in.y = static_cast<int>(live.y);
        return in;
    }
    // While a recording plays the finger's own touches are not the face's.
    ExerciseEntry entry = RecordedEntry(recordIndex);
    int x = entry.x, y = entry.y;
    // The end mark, or the end of the entries, ends the playback: an idle tick.
    if (x == ENTRY_END || recordIndex >= static_cast<int>(recording.entries.size())) {
        playing = false;
        recordIndex = 0;
        paceHeld = false;
        return in;
    }
    in.repeat = paceHeld;
    in.touching = x != ENTRY_IDLE;
    in.x = x;
    in.y = y;
    if (x < ENTRY_END && !in.repeat) in.event = x;
    // A recorded press began a touch of its own.
    in.pressed = in.event != 0;
    return in;
}

float Player::RecordTimeLeft() const {
    if (!recordingOn) return 0;
    return std::clamp(1 - static_cast<float>(recordIndex) / RECORD_LAST, 0.0f, 1.0f);
}

// After a played entry: at half pace the first feed holds the entry for
// one more tick.
bool Player::AdvancePlayback() {
    if (halfPace && !paceHeld) {
        paceHeld = true;
        return false;
    }
    paceHeld = false;
    recordIndex += 1;
    return true;
}

// Every press is stored, even the same button on two ticks in a row: each
// acted on the face that was seen.
void Player::RecordTick(const c_FaceModel& face, const LiveTouch& live, int event) {
    if (!live.touching) {
        // Idle ticks before the first sample are not stored.
        if (recordIndex > 0 && recordIndex < RECORD_LAST) {
            recording.entries.push_back({ENTRY_IDLE, 0});
            recordIndex += 1;
            if (recordIndex == RECORD_LAST) {
                recordingOn = false;
                recordIndex = 0;
            }
        }
        return;
    }
    if (live.onRecorder) return;
    if (recordIndex > RECORD_LAST) {
        recordingOn = false;
        recordIndex = 0;
        return;
    }
    if (recordIndex == 0) {
        recordingUnsaved = true;
        recording = Exercise();
        recording.child = face.child;
        recording.startFace = armedFace;
        recording.randomState = armedRandomState;
        recording.entries.clear();
    }
    recording.entries.push_back({event ? event : Sample(live.x), Sample(live.y)});
    recordIndex += 1;
}

void Player::Step(c_FaceModel& face, const LiveTouch& live, int event) {
    // Between repetitions the face holds still.
    bool wasPlaying = playing;
    TickInput in = Between() ? TickInput() : TakeInput(live);
    face.randomFaceFormat = playing ? recording.recordedIn : EXERCISE_FORMAT_VERSION;
    if (recordingOn) RecordTick(face, live, event);
    face.Tick(in);
    if (playing && AdvancePlayback() && recordIndex > RECORD_LAST) {
        recordIndex = 0;
        playing = false;
    }
    RepeatTick(face, wasPlaying);
    face.TapTick();
}

bool Player::RecordingAsExercise(Exercise* exercise) {
    // A recording that runs ends here, as play would end it.
    if (recordingOn) {
        if (recordIndex > 0 && recordIndex <= RECORD_LAST) recording.entries.push_back({ENTRY_END, 0});
        recordingOn = false;
        recordIndex = 0;
    }
    if (recording.entries.empty()) return false;
    *exercise = recording;
    exercise->pace = halfPace ? Pace::Half : Pace::Normal;
    exercise->repeat = choice.repetitions;
    exercise->holdSeconds = choice.holdSeconds;
    if (exercise->title.empty()) exercise->title = DefaultTitle(exercise->child, LocalTimeNow());
    return true;
}

void Player::StartPlayback(c_FaceModel& face) {
    playing = true;
    recordingOn = false;
    recordIndex = 0;
    paceHeld = false;
    face.gesture.holdTicks = 0;
    RestoreStart(face);
    // The random faces of the recording draw the same numbers again.
    face.random.state = recording.randomState;
}

void Player::StopRepeating() {
    repeatPhase = RepeatPhase::Off;
    repetition = 0;
    phaseTicks = 0;
}

void Player::PlayExercise(c_FaceModel& face, const Exercise& exercise, int times) {
    face.ShowChild(exercise.child);
    recording = exercise;
    if (recording.entries.size() > EXERCISE_MAX_ENTRIES) recording.entries.resize(EXERCISE_MAX_ENTRIES);
    armedFace = exercise.startFace;
    armedRandomState = exercise.randomState;
    halfPace = exercise.pace == Pace::Half;
    recordingUnsaved = false;
    StopRepeating();
    repetitionsDone = 0;
    repetitionsMatched = -1;
    choice.repetitions = std::clamp(times, REPEAT_MIN, REPEAT_MAX);
    repeatPhase = RepeatPhase::Playing;
    repetition = 1;
    StartPlayback(face);
}

// Between two repetitions the face holds its end pose, then rests at the
// start face, each for the hold time; a hold of 0 plays again at once.
void Player::RepeatTick(c_FaceModel& face, bool wasPlaying) {
    for (int step = 0; step < 3; ++step) {
        switch (repeatPhase) {
            case RepeatPhase::Off: return;
            case RepeatPhase::Playing:
                if (playing) return;
                if (wasPlaying) repetitionsDone = repetition;
                if (!wasPlaying || (repetition >= choice.repetitions && !poseJudged)) {
                    // The last repetition ends in its pose.
                    StopRepeating();
                    return;
                }
                repeatPhase = RepeatPhase::Hold;
                phaseTicks = choice.holdSeconds * TICKS_PER_SECOND;
                break;
            case RepeatPhase::Hold:
                if (poseJudged && repetitionsMatched < 0) repetitionsMatched = 0;
                if (!poseHeld) return;
                if (phaseTicks > 0 && --phaseTicks > 0) return;
                if (poseJudged) repetitionsMatched += 1;
                if (repetition >= choice.repetitions) {
                    StopRepeating();
                    return;
                }
                RestoreStart(face);
                repeatPhase = RepeatPhase::Rest;
                phaseTicks = choice.holdSeconds * TICKS_PER_SECOND;
                break;
            case RepeatPhase::Rest:
                if (phaseTicks > 0 && --phaseTicks > 0) return;
                repetition += 1;
                repeatPhase = RepeatPhase::Playing;
                StartPlayback(face);
                return;
        }
    }
}

c_FaceModel* EndFaceOf(c_FacePictures* pictures, const Exercise& exercise) {
    c_FaceModel* face = (new c_FaceModel())->Init(pictures, exercise.child);
    Player player;
    player.PlayExercise(*face, exercise, 1);
    // A playback lasts at most its entries, each twice at half pace; the
    // tick after the last shows the tongue as its button was left.
    LiveTouch none;
    for (int tick = 0; tick < 2 * (RECORD_LAST + 2) && player.playing; ++tick) player.Step(*face, none, 0);
    player.Step(*face, none, 0);
    return face;
}
