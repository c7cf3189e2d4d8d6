// The face-exercise application without a window: the real atlases through
// the recording GL layer, a pointer fed tick by tick in virtual units, and the
// quads of a drawn frame read back as the sprites they came from.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/my_app.h"

// The test host and the framework's globals, once per process.
void StartHostOnce();
// A new application on the title screen (its OnSetup done) in a window of
// w x h pixels, with the atlases of the source tree.
c_MyApp* NewTitleApp(int w = 800, int h = 500);
// A new application on the face screen of the girl or the boy.
c_MyApp* NewFaceApp(bool girl = true, int w = 800, int h = 500);
// A face's stored values as an exercise file writes them, one line each: a
// failed comparison shows the fields that differ.
std::string FaceText(const Face& face);
// The data folder the test applications read (a private copy).
const std::string& AppDataFolder();

// A test whose saves and settings go to a private XDG_DATA_HOME and
// XDG_CONFIG_HOME, removed afterwards.
struct PrivateDataHome : ::testing::Test {
    std::string folder;
    void SetUp() override;
    void TearDown() override;
};

// Feeds the face screen as the framework would: one tick per call, the
// pointer in virtual units, finger 0 down or up.
class Finger {
public:
    explicit Finger(c_MyApp* app) : app_(app) {}
    void Tick(float x, float y, bool touching);
    void Press(float x, float y) { Tick(x, y, true); }
    // From the current point to (x, y) in `steps` ticks, still touching.
    void MoveTo(float x, float y, int steps = 1);
    void Release() { Tick(x_, y_, false); }
    void Idle(int ticks) {
        for (int i = 0; i < ticks; ++i) Release();
    }
    // Press at (x, y), move by (dx, dy) in one tick, hold a tick, release.
    void Drag(float x, float y, float dx, float dy);
    // A short press and release: a button press or a tap.
    void Tap(float x, float y);
    float x() const { return x_; }
    float y() const { return y_; }

private:
    c_MyApp* app_;
    bool down_ = false;
    float x_ = 0, y_ = 0;
};

// One tick through the application's one door with the keys of these
// face-screen buttons (bits by ButtonSlot) and gesture keys (GestureKeyBit)
// pressed, the finger at its last place, pressed (`hit`) or down.
void KeyTick(c_MyApp* app, unsigned keys, bool hit = false, bool touching = false);

// The centre of a picture drawn at a part, on the virtual screen.
float PartX(c_MyApp* app, c_Partie* part, c_Image2* picture, bool mirrored);
float PartY(c_MyApp* app, c_Partie* part, c_Image2* picture);
// The centre of a button.
float ButtonX(c_Bouton* b);
float ButtonY(c_Bouton* b);

// One sprite of a drawn frame: the image it was cut as (from `candidates`),
// its placement and whether it was mirrored.
struct DrawnSprite {
    c_Image2* image;
    float x, y;
    bool mirrored;
};
// Every image the application holds (parts' pictures, buttons, single sprites).
std::vector<c_Image2*> AppImages(c_MyApp* app);
// Draws one frame and reads its quads back from the uploads; a quad that no
// candidate explains is reported with a null image.
std::vector<DrawnSprite> DrawFrame(c_MyApp* app);
