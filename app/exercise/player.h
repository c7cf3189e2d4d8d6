// The recorder and the player of one face, as a plain value: the last
// recording, whether it records or plays and where, the pace, and the
// repetitions with holds. The face screen drives one on the live face; the
// library drives its own on a face of its own to find an exercise's end face.
#pragma once

#include "app/exercise/exercise.h"
#include "app/face/face.h"

class c_FaceModel;

// The recording's last entry index: ten seconds at 60 ticks a second.
constexpr int RECORD_LAST = EXERCISE_MAX_ENTRIES - 1;

// Repeating an exercise: how many times, and how long the face holds its end
// pose (then rests at its start) between two repetitions (bounds in
// exercise.h, which a file's prescription shares).
struct RepeatChoice {
    int repetitions = REPEAT_MIN;
    int holdSeconds = HOLD_DEFAULT_SECONDS;
};

// Where a repetition stands: playing, holding the end pose, resting at the
// start face.
enum class RepeatPhase { Off, Playing, Hold, Rest };

// The finger as the face screen read it this tick.
struct LiveTouch {
    bool touching = false;
    // A new touch begins: a press, or a key's click on its button.
    bool pressed = false;
    float x = 0, y = 0;  // virtual units
    // On the record or play button: such touches are not the exercise's.
    bool onRecorder = false;
};

struct Player {
    // The last recording, one value: the child, the face and the random
    // generator's state when it began, and its entries, one a tick (an
    // index past them reads as never written). Its pace is the one set when
    // it was saved or opened; `halfPace` is the player's.
    Exercise recording;
    bool recordingOn = false;
    bool playing = false;
    // The entry being written or played.
    int recordIndex = 0;
    // The face and the generator when record was pressed: they become the
    // recording's at its first entry, so that arming and then playing or
    // saving without a touch keeps the last recording whole.
    Face armedFace;
    int armedRandomState = 0;
    // Playback at half pace feeds every entry on two ticks; `paceHeld` while
    // the current entry has been fed once.
    bool halfPace = false;
    bool paceHeld = false;
    RepeatChoice choice;
    RepeatPhase repeatPhase = RepeatPhase::Off;
    int repetition = 0;   // the one playing, from 1
    int phaseTicks = 0;   // ticks left in a hold or a rest
    // The repetitions of the current run played to their end.
    int repetitionsDone = 0;
    // The recording was made here and no file holds it yet: leaving it
    // behind asks first. A new recording's first entry sets it; a save, or
    // an exercise played from a file, clears it.
    bool recordingUnsaved = false;
    // False while the browser's camera mirror watches and the child does not
    // hold the pose: the hold's countdown waits for them. `poseJudged` while
    // the mirror watches and the pose has something it can judge: then the
    // last repetition also holds, waiting for the child, and each hold that
    // runs out is a repetition the child matched. `repetitionsMatched` is -1
    // for a run the mirror did not watch.
    bool poseHeld = true;
    bool poseJudged = false;
    int repetitionsMatched = -1;

    // The record and play buttons.
    void PressRecord(const c_FaceModel& face);
    void PressPlay(c_FaceModel& face);
    // One tick of the face after the buttons: the input of the gestures,
    // live or played (the one place that decides which), the recording of
    // it with this tick's button event (an ENTRY_* code, or 0), the face's
    // tick, the end of a playback and the repetitions.
    void Step(c_FaceModel& face, const LiveTouch& live, int event);
    // The last recording as an exercise (a recording that runs ends here),
    // with the repeat choice as its prescription and, made here, its
    // default title from now; false when there is none.
    bool RecordingAsExercise(Exercise* exercise);
    // Makes the exercise the recording and plays it from its start face,
    // `times` times with the choice's holds between.
    void PlayExercise(c_FaceModel& face, const Exercise& exercise, int times);
    void StopRepeating();
    // The share of a recording's ten seconds still free, 1 when it is
    // armed, falling to 0 as its entries fill; 0 when no recording runs.
    float RecordTimeLeft() const;
    // The recording's entry i, or (0, 0) past its end.
    ExerciseEntry RecordedEntry(int i) const;
    bool Between() const { return repeatPhase == RepeatPhase::Hold || repeatPhase == RepeatPhase::Rest; }
    // The whole seconds a hold or a rest still has, rounded up, as its
    // countdown shows them; 0 out of them.
    int CountdownSeconds() const { return Between() ? (phaseTicks + TICKS_PER_SECOND - 1) / TICKS_PER_SECOND : 0; }

private:
    TickInput TakeInput(const LiveTouch& live);
    void RecordTick(const c_FaceModel& face, const LiveTouch& live, int event);
    bool AdvancePlayback();
    void StartPlayback(c_FaceModel& face);
    void RestoreStart(c_FaceModel& face) const;
    void RepeatTick(c_FaceModel& face, bool wasPlaying);
};

// The face an exercise shows when it has played to its end, played on a
// face of its own (the same child, `pictures`), the live one untouched.
class c_FacePictures;
c_FaceModel* EndFaceOf(c_FacePictures* pictures, const Exercise& exercise);
