// The face as plain values: what every part shows and where, the mouth's and
// the tongue's modes, and apart from it the gesture a finger is making. A
// copy of a `Face` is a whole face; nothing else holds any of its values.
//
// Everything of the application works in a virtual screen of 1280 x 800
// units, origin top-left, y downwards, letterboxed into the window.
#pragma once

#include <cstdint>

constexpr float VIRTUAL_WIDTH = 1280;
constexpr float VIRTUAL_HEIGHT = 800;

// The pace the exercises are made for: the recorder's ten seconds are 600
// ticks, a hold's seconds are counted in them.
constexpr int TICKS_PER_SECOND = 60;

// The thirteen parts, right before left.
enum PartIndex {
    PART_EYE_RIGHT,
    PART_EYE_LEFT,
    PART_BROW_RIGHT,
    PART_BROW_LEFT,
    PART_CHEEK_RIGHT,
    PART_CHEEK_LEFT,
    PART_MOUTH_RIGHT,
    PART_MOUTH_LEFT,
    PART_LIPS_RIGHT,
    PART_LIPS_LEFT,
    PART_TEETH_RIGHT,
    PART_TEETH_LEFT,
    PART_TONGUE,
    FACE_PARTS
};

// A part's values. The picture shown is the right part's pictures[frame +
// variant]: `frame` the first picture of the current row, `variant` the step
// within it; the left part of a pair shows the right part's, mirrored.
// Positions are relative to the face picture's top-left corner, angles in
// degrees.
struct PartState {
    int variant = 0;
    float x = 0, y = 0;
    int frame = 0;
    float angle = 0;
};

// Where a part was last placed, in virtual units: what the grab test reads.
// It follows from the face and the pictures, so it is no part of the face.
struct PartZone {
    float zoneBottom = 0, zoneTop = 0;
    // The grab zone's x bounds. For a part placed unmirrored edge1..edge2 is
    // a band around the picture's far (right) edge and edge3..edge4 one around
    // its near (left) edge; mirrored, the same bands with the bounds swapped.
    float edge1 = 0, edge2 = 0, edge3 = 0, edge4 = 0;
};

// The rows and steps of the parts' pictures, which bound every value that
// chooses one: the gestures keep to them and an exercise file is read
// within them. A row of the mouth, the lips or the teeth has seven steps
// (the smiling mouth four rows, the lips and teeth two); the tongue four
// rows of five, and a shift of up to four steps to either side; an eye three
// steps, a cheek three (at rest, puffed, hollow); the tongue three depths
// between the lips.
constexpr int ROW = 7, LAST_STEP = ROW - 1;
constexpr int MOUTH_LAST_ROW = 3 * ROW, LIPS_LAST_ROW = ROW;
constexpr int TONGUE_ROW = 5, TONGUE_LAST_ROW = 3 * TONGUE_ROW, TONGUE_LAST_STEP = TONGUE_ROW - 1;
constexpr int TONGUE_SHIFT_MAX = 4;
constexpr int EYE_LAST_STEP = 2, CHEEK_LAST_STEP = 2, TONGUE_DEPTH_LAST = 2;
// The jaw: opened in three steps, or the lips pressed (-1) and then rolled
// in (-2); 0 leaves the mouth to its renderings. The tongue in the open
// mouth lies in one of four places, from the ridge behind the upper teeth
// down to out over the lower lip.
constexpr int JAW_PRESSED_LAST = -2, JAW_OPEN_LAST = 3;
enum OpenTongue { TONGUE_AT_RIDGE, TONGUE_LYING, TONGUE_BEHIND_LOWER_TEETH, TONGUE_OUT_OF_MOUTH, OPEN_TONGUE_PLACES };

enum class Child { Girl, Boy };

struct Face {
    PartState parts[FACE_PARTS];
    // What the tongue and symmetry buttons show: tongue mode, and the two
    // sides moving together.
    bool tongueMode = false;
    bool paired = true;
    bool tongueUnmirrored = false;
    bool tongueOut = false;  // tongue mode, as read each tick
    bool lipsMode = false, teethMode = false, pursedMouth = false, roundMouth = false;
    int tongueShift = 0;
    int tongueDepth = 2;
    // While the jaw is not 0 (and the cheeks rest) the mouth shows the jaw's
    // pose, whatever its renderings' modes; they show again when it closes.
    int jaw = 0;
    int openTongue = TONGUE_LYING;
};

// The grab zones of the gesture logic. One flag each; several can be set by
// one grab test. The smiling mouth, the lips and the teeth share the centre.
enum GrabZone {
    GRAB_TONGUE,
    GRAB_MOUTH_RIGHT,
    GRAB_MOUTH_LEFT,
    GRAB_MOUTH_CENTRE,
    GRAB_LIPS_RIGHT,
    GRAB_LIPS_LEFT,
    GRAB_TEETH_RIGHT,
    GRAB_TEETH_LEFT,
    GRAB_CHEEK_RIGHT,
    GRAB_CHEEK_LEFT,
    GRAB_BETWEEN_CHEEKS,
    GRAB_BROW_RIGHT_OUTER,
    GRAB_BROW_RIGHT_INNER,
    GRAB_BROW_LEFT_OUTER,
    GRAB_BROW_LEFT_INNER,
    GRAB_BROW_RIGHT_MIDDLE,
    GRAB_BROW_LEFT_MIDDLE,
    GRAB_EYE_RIGHT,
    GRAB_EYE_LEFT,
    GRAB_CHIN,
    GRAB_ZONES
};

// The gesture a finger is making: what it took hold of, where the last step
// was made, how long it has been down, and a tap just ended.
struct Gesture {
    bool grabbing = false;
    bool grab[GRAB_ZONES] = {};
    int holdTicks = 0;
    int anchorX = 0, anchorY = 0;
    bool tapped = false;
};

// One tick of input to the gestures: the live finger, or the entry of a
// recording that plays. The face reads only this.
struct TickInput {
    bool touching = false;
    // A new touch begins this tick. A key's click on its button may follow a
    // touch without the tick of its release: the part that touch held is let
    // go first, never dragged to the button.
    bool pressed = false;
    int x = 0, y = 0;  // virtual units, truncated
    // A button press played back (ENTRY_TONGUE and the others), else 0.
    int event = 0;
    // The second tick of an entry at half pace: no second press, and the
    // touch does not last a tick longer.
    bool repeat = false;
};

// The runtime's random generator: a 32-bit linear congruential state, kept
// by whoever draws from it, so that a recording's random faces draw the same
// numbers again.
struct Random {
    int state = 0;
    // A draw in [0, 1) times n.
    float Next(float n);
};
