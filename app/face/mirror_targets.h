// What the browser's camera mirror asks of the child's own face so that it
// matches the cartoon's pose: one target for each part the camera can judge.
// "Any" leaves the part unjudged, for poses the face mesh cannot see (the
// tongue, the teeth, puffed or hollow cheeks) and for in-between steps.
#pragma once

#include <string>

#include "app/face/face.h"

enum class MouthOpening { Any, Closed, Open, WideOpen };
enum class MouthWidth { Any, Smile, Pout };
enum class EyeTarget { Any, Open, Closed };

struct MirrorTargets {
    MouthOpening opening = MouthOpening::Any;
    MouthWidth width = MouthWidth::Any;
    // As the cartoon shows them: the right eye is the one on the screen's
    // right, which the child sees on the same side in the mirror.
    EyeTarget eyeRight = EyeTarget::Any, eyeLeft = EyeTarget::Any;
    bool browsUp = false;
};

MirrorTargets MirrorTargetsOf(const Face& face);

// The targets as the page reads them: a JSON object whose absent parts are
// null, e.g. {"mouth":"open","width":null,"eyeRight":"open",...}.
std::string MirrorTargetsJson(const MirrorTargets& targets);
