#include "app/face/mirror_targets.h"

#include "app/face/face_layout.h"

namespace {

// A corner pulled out this many steps or more reads as a wide mouth; the
// smiling mouth's first two rows have the corners up.
constexpr int WIDE_STEP = 3, SMILE_ROWS = 2;
// Brows raised by two of the gesture's steps or more.
constexpr float BROWS_UP = 10;

const PartState& Part(const Face& f, PartIndex i) { return f.parts[i]; }
bool Wide(const Face& f, PartIndex right, PartIndex left) {
    return Part(f, right).variant >= WIDE_STEP && Part(f, left).variant >= WIDE_STEP;
}
bool CheeksMoved(const Face& f) {
    return Part(f, PART_CHEEK_RIGHT).variant != 0 || Part(f, PART_CHEEK_LEFT).variant != 0;
}
bool Smiling(const Face& f) { return !f.lipsMode && !f.teethMode; }

// The mouth's poses, first match wins: what the camera cannot see comes
// first, the resting mouth last.
struct MouthPose {
    bool (*shows)(const Face&);
    MouthOpening opening;
    MouthWidth width;
};
const MouthPose MOUTH_POSES[] = {
    {[](const Face& f) { return f.tongueOut || CheeksMoved(f); }, MouthOpening::Any, MouthWidth::Any},
    // The jaw's poses show over the mouth's renderings: open by a step, then
    // wide; the pressed lips closed.
    {[](const Face& f) { return f.jaw == 1; }, MouthOpening::Open, MouthWidth::Any},
    {[](const Face& f) { return f.jaw > 1; }, MouthOpening::WideOpen, MouthWidth::Any},
    {[](const Face& f) { return f.jaw < 0; }, MouthOpening::Closed, MouthWidth::Any},
    {[](const Face& f) { return f.teethMode && f.roundMouth; }, MouthOpening::WideOpen, MouthWidth::Any},
    // The teeth's first row shows them apart, the second clenched (the teeth
    // themselves are not seen, only the lips drawn back).
    {[](const Face& f) { return f.teethMode && Part(f, PART_TEETH_RIGHT).frame == 0; }, MouthOpening::Open,
     MouthWidth::Any},
    {[](const Face& f) { return f.teethMode && Wide(f, PART_TEETH_RIGHT, PART_TEETH_LEFT); }, MouthOpening::Any,
     MouthWidth::Smile},
    {[](const Face& f) { return f.teethMode; }, MouthOpening::Any, MouthWidth::Any},
    {[](const Face& f) { return f.lipsMode; }, MouthOpening::Any, MouthWidth::Pout},
    {[](const Face& f) { return f.pursedMouth; }, MouthOpening::Closed, MouthWidth::Pout},
    {[](const Face& f) {
         return Smiling(f) && Part(f, PART_MOUTH_RIGHT).frame < SMILE_ROWS * ROW &&
                Part(f, PART_MOUTH_LEFT).frame < SMILE_ROWS * ROW && Wide(f, PART_MOUTH_RIGHT, PART_MOUTH_LEFT);
     },
     MouthOpening::Closed, MouthWidth::Smile},
    {[](const Face&) { return true; }, MouthOpening::Closed, MouthWidth::Any},
};

// An eye's three steps: open, half closed (not judged), closed.
EyeTarget EyeOf(const PartState& eye) {
    return eye.variant == 0 ? EyeTarget::Open : eye.variant == EYE_LAST_STEP ? EyeTarget::Closed : EyeTarget::Any;
}

}  // namespace

MirrorTargets MirrorTargetsOf(const Face& face) {
    MirrorTargets t;
    for (const MouthPose& pose : MOUTH_POSES)
        if (pose.shows(face)) {
            t.opening = pose.opening;
            t.width = pose.width;
            break;
        }
    t.eyeRight = EyeOf(face.parts[PART_EYE_RIGHT]);
    t.eyeLeft = EyeOf(face.parts[PART_EYE_LEFT]);
    t.browsUp = face.parts[PART_BROW_RIGHT].y <= BROW_Y - BROWS_UP && face.parts[PART_BROW_LEFT].y <= BROW_Y - BROWS_UP;
    return t;
}

std::string MirrorTargetsJson(const MirrorTargets& t) {
    auto quoted = [](const char* word) { return word ? std::string("\"") + word + "\"" : std::string("null"); };
    const char* opening[] = {nullptr, "closed", "open", "wide"};
    const char* width[] = {nullptr, "smile", "pout"};
    const char* eye[] = {nullptr, "open", "closed"};
    return "{\"mouth\":" + quoted(opening[static_cast<int>(t.opening)]) +
           ",\"width\":" + quoted(width[static_cast<int>(t.width)]) +
           ",\"eyeRight\":" + quoted(eye[static_cast<int>(t.eyeRight)]) +
           ",\"eyeLeft\":" + quoted(eye[static_cast<int>(t.eyeLeft)]) +
           ",\"brows\":" + quoted(t.browsUp ? "up" : nullptr) + "}";
}
