// A screen size the application may choose.
#pragma once

#include "runtime/collector.h"

class c_DisplayMode : public Object {
public:
    int width = 0;
    int height = 0;
};
