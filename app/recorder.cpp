// Recording and playback of an exercise. While recording, each face-screen
// tick writes one entry into recordX/recordY: a pointer sample (x, y >= 0),
// an idle tick (-1, 0), or a button event (-3..-6 with the tick's y); -2 ends
// a recording. Playback feeds the entries to the gesture logic one per tick
// in place of the live pointer, from the face state saved when the
// recording was armed.
#include <algorithm>

#include "app/my_app.h"

namespace {

// The tick's sample, never negative: a touch in the letterbox bars left of
// or above the virtual screen must not read back as an event code.
int Sample(float coordinate) { return std::max(0, static_cast<int>(coordinate)); }

}  // namespace

void c_MyApp::SaveSnapshot() {
    float* f = snapshotFloats.Data();
    c_Partie *mr = mouthRight, *ml = mouthLeft, *t = tongue, *br = browRight, *bl = browLeft, *er = eyeRight,
             *el = eyeLeft;
    f[0] = static_cast<float>(mr->frame);
    f[1] = static_cast<float>(ml->frame);
    f[2] = static_cast<float>(mr->variant);
    f[3] = static_cast<float>(ml->variant);
    f[4] = static_cast<float>(t->frame);
    f[5] = static_cast<float>(t->variant);
    f[6] = br->angle;
    f[7] = bl->angle;
    f[8] = static_cast<float>(er->variant);
    f[9] = static_cast<float>(el->variant);
    f[10] = mr->x, f[11] = mr->y;
    f[12] = ml->x, f[13] = ml->y;
    f[14] = lipsLeft->y, f[15] = lipsLeft->x;
    f[16] = lipsRight->x, f[17] = lipsRight->y;
    f[18] = teethLeft->y, f[19] = teethLeft->x;
    f[20] = teethRight->y, f[21] = teethRight->x;
    f[22] = br->x, f[23] = br->y;
    f[24] = bl->x, f[25] = bl->y;
    f[26] = er->x, f[27] = er->y;
    f[28] = el->x, f[29] = el->y;
    f[30] = t->x, f[31] = t->y;
    f[32] = static_cast<float>(tongueButton->state);
    f[33] = static_cast<float>(tongueDepth);
    f[34] = static_cast<float>(tongueShift);
    f[35] = static_cast<float>(symmetryButton->state);
    f[36] = static_cast<float>(cheekRight->variant);
    f[37] = static_cast<float>(cheekLeft->variant);
    bool* b = snapshotBools.Data();
    b[0] = lipsMode;
    b[1] = teethMode;
    b[2] = tongueOut;
    b[3] = pursedMouth;
    b[4] = roundMouth;
    b[5] = tongueUnmirrored;
}

void c_MyApp::RestoreSnapshot() {
    const float* f = snapshotFloats.Data();
    auto i = [](float v) { return static_cast<int>(v); };
    c_Partie *mr = mouthRight, *ml = mouthLeft, *t = tongue, *br = browRight, *bl = browLeft, *er = eyeRight,
             *el = eyeLeft;
    mr->frame = i(f[0]);
    ml->frame = i(f[1]);
    mr->variant = i(f[2]);
    ml->variant = i(f[3]);
    t->frame = i(f[4]);
    t->variant = i(f[5]);
    br->angle = f[6];
    bl->angle = f[7];
    er->variant = i(f[8]);
    el->variant = i(f[9]);
    mr->x = f[10], mr->y = f[11];
    ml->x = f[12], ml->y = f[13];
    lipsLeft->y = f[14], lipsLeft->x = f[15];
    lipsRight->x = f[16], lipsRight->y = f[17];
    teethLeft->y = f[18], teethLeft->x = f[19];
    teethRight->y = f[20], teethRight->x = f[21];
    br->x = f[22], br->y = f[23];
    bl->x = f[24], bl->y = f[25];
    er->x = f[26], er->y = f[27];
    el->x = f[28], el->y = f[29];
    t->x = f[30], t->y = f[31];
    tongueButton->state = i(f[32]);
    tongueDepth = i(f[33]);
    tongueShift = i(f[34]);
    symmetryButton->state = i(f[35]);
    cheekRight->variant = i(f[36]);
    cheekLeft->variant = i(f[37]);
    const bool* b = snapshotBools.Data();
    lipsMode = b[0];
    teethMode = b[1];
    tongueOut = b[2];
    pursedMouth = b[3];
    roundMouth = b[4];
    tongueUnmirrored = b[5];
    PlaceAll();
}

void c_MyApp::RecordEvent(int code) {
    if (recordIndex < 1) {
        recordX[recordIndex] = code;
    } else if (recordX[recordIndex - 1] == code) {
        // The same event is not stored twice in a row: after the caller's
        // increment this tick's sample is overwritten by the next.
        recordIndex -= 1;
    } else {
        recordX[recordIndex] = code;
    }
}

void c_MyApp::FeedPointer(bool repeat) {
    if (playButton->state == 0) {
        anchorX = static_cast<int>(pointer[0]);
        anchorY = static_cast<int>(pointer[1]);
        return;
    }
    anchorX = recordX[recordIndex];
    anchorY = recordY[recordIndex];
    if (repeat) return;
    switch (anchorX) {
        case REC_END:
            playButton->state = 0;
            recordIndex = 0;
            break;
        case REC_TONGUE: tongueButton->ToggleState(); break;
        case REC_RANDOM: RandomFace(); break;
        case REC_RESET: ResetFace(); break;
        case REC_SYMMETRY: symmetryButton->ToggleState(); break;
        default: break;
    }
    // An entry never written ends the playback.
    if (anchorX == 0 && anchorY == 0) playButton->state = 0;
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

void c_MyApp::RecorderTick(const ButtonEvents& events, bool touching) {
    bool playing = playButton->state == 1;
    if (!playing) paceHeld = false;
    // The second feed of an entry at half pace: the same gesture input, but
    // no second button event and no second tick of a touch's length.
    bool repeat = playing && paceHeld;
    if (!touching && (!playing || recordX[recordIndex] == REC_IDLE)) {
        // Idle ticks before the first sample are not stored.
        if (recordButton->state == 1 && recordIndex > 0 && recordIndex < RECORD_LAST) {
            recordX[recordIndex] = REC_IDLE;
            recordY[recordIndex] = 0;
            recordIndex += 1;
            if (recordIndex == RECORD_LAST) {
                recordButton->state = 0;
                recordIndex = 0;
            }
        }
        if (playButton->state == 1 && recordX[recordIndex] == REC_IDLE) AdvancePlayback();
        Release();
        return;
    }

    float px = pointer[0], py = pointer[1];
    if (recordButton->state == 1 && !recordButton->Hit(px, py) && !playButton->Hit(px, py)) {
        if (recordIndex <= RECORD_LAST) {
            if (recordIndex == 0) {
                std::fill(recordX.Data(), recordX.Data() + RECORD_LAST + 1, 0);
                std::fill(recordY.Data(), recordY.Data() + RECORD_LAST + 1, 0);
            }
            recordX[recordIndex] = Sample(px);
            recordY[recordIndex] = Sample(py);
            if (events.tongue)
                RecordEvent(REC_TONGUE);
            else if (events.random)
                RecordEvent(REC_RANDOM);
            else if (events.reset)
                RecordEvent(REC_RESET);
            else if (events.symmetry)
                RecordEvent(REC_SYMMETRY);
            recordIndex += 1;
        } else {
            recordButton->state = 0;
            recordIndex = 0;
        }
    }
    GestureTick(repeat);
    if (playButton->state == 1 && AdvancePlayback() && recordIndex > RECORD_LAST) {
        recordIndex = 0;
        playButton->state = 0;
    }
}
