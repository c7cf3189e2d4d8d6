// The host's record of one display mode.
#pragma once

#include "runtime/collector.h"

class KtDisplayMode : public Object {
public:
    int width = 0;
    int height = 0;
    // Kept for the record's shape; this host always leaves them 0.
    int format = 0;
    int depth = 0;
    int refreshRate = 0;
};
