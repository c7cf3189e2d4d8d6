// The face-exercise application.
#pragma once

#include "framework/app.h"

class c_MyApp : public c_App {
public:
    // Asks for 60 updates per second, the pace the exercises are made for.
    int OnSetup() override;
};
