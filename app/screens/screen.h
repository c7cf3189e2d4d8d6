// What every screen shares: the one input value a tick, built from the
// devices by the application (or by a test), and the request a screen's tick
// returns instead of reaching into another screen.
#pragma once

#include <bitset>
#include <string>

#include "app/exercise/exercise.h"
#include "app/ui/letterbox.h"
#include "host/interface_sounds.h"

// Key numbers, once for the whole application.
enum KeyCode {
    KEY_BACKSPACE = 8,
    KEY_TAB = 9,
    KEY_ENTER = 13,
    KEY_CTRL = 17,
    KEY_ESCAPE = 27,
    KEY_PAGE_UP = 33,
    KEY_PAGE_DOWN = 34,
    KEY_END = 35,
    KEY_HOME = 36,
    KEY_LEFT = 37,
    KEY_UP = 38,
    KEY_RIGHT = 39,
    KEY_DOWN = 40,
    KEY_DELETE = 46,
    KEY_F1 = 112,
};
// Sound on or off, on every screen (but in a text being typed).
constexpr int KEY_SOUND = 'V';
// The keyboard's keys in the key space: below them the mouse buttons, above
// them the joysticks and fingers.
constexpr int KEYBOARD_FIRST = 8, KEYBOARD_LAST = 255;

struct AppInput {
    // The arrangement of the screen this tick, which the window's shape
    // chooses: where the screens' controls stand.
    Arrangement arrangement = Arrangement::Landscape;
    // The device has a touch screen (a finger was seen, or the page says so).
    bool byTouch = false;
    // Ticks of the clock that passed since the last one with no tick of
    // their own (a slow device drops them): the face catches them up, so
    // that a recording keeps the hand's real timing and a playback follows
    // the clock.
    int lostTicks = 0;
    // Finger 0 (or the mouse) on the virtual screen: pressed since the last
    // tick, and down now.
    float x = 0, y = 0;
    bool hit = false, touching = false;
    // The other fingers down now (fingers 1 to MORE_FINGERS), on the
    // virtual screen: they pose the face beside finger 0, and press nothing.
    struct Touch {
        bool touching = false;
        float x = 0, y = 0;
    } more[MORE_FINGERS];
    // The keyboard's keys pressed since the last tick.
    std::bitset<KEYBOARD_LAST + 1> keys;
    // Ctrl was down during this tick or the last: a quick chord may press
    // Ctrl in one tick and let it go before its key is read in the next.
    bool ctrl = false;
    // "?" was typed.
    bool question = false;
    // The characters typed, as UTF-8 (no control character).
    std::string typed;
    // The page's own text box over a text field (a phone's keyboard types
    // only into those): the whole text it now holds for the field numbered
    // `entryField` (-1: nothing came), its caret in characters, and how the
    // typing ended.
    enum EntryEnd { ENTRY_TYPING, ENTRY_DONE, ENTRY_GIVEN_UP };
    int entryField = -1;
    std::string entryText;
    int entryCaret = 0;
    EntryEnd entryEnd = ENTRY_TYPING;

    bool Key(int key) const { return key >= 0 && key <= KEYBOARD_LAST && keys[static_cast<size_t>(key)]; }
    bool AnyKey() const { return keys.any(); }
    // A click, and no key: what is left for the screen under an overlay
    // that took this tick.
    void Clear() {
        hit = touching = false;
        keys.reset();
        question = false;
        typed.clear();
        entryField = -1;
    }
};

// A set of interface sounds, one bit each (SoundBit): what a tick did that
// the user should hear.
using Cues = unsigned;
constexpr Cues SoundBit(InterfaceSound sound) { return 1u << sound; }

// What a screen's tick asks of the application.
struct Request {
    // RECORD_ANEW: a new recording over one no file holds; QUIT: the
    // window's close.
    // TOGGLE_SOUND: sound on or off; NEXT_LANGUAGE: the texts in the next
    // language there is a catalogue for.
    enum Kind {
        NONE,
        ENTER_FACE,
        HOME,
        OPEN_LIBRARY,
        CLOSE_LIBRARY,
        PLAY,
        SHOW_HELP,
        RECORD_ANEW,
        QUIT,
        TOGGLE_SOUND,
        NEXT_LANGUAGE
    };
    Kind kind = NONE;
    Child child = Child::Girl;  // ENTER_FACE
    Exercise exercise;          // PLAY: played with its prescription
    std::string file;           // PLAY: its file's name, for the practice log
    // A line for the message bar, or "".
    std::string message;
    // A problem: `message` says in plain words what happened and what to do,
    // `reason` why, for whoever helps; it stays until dismissed.
    bool problem = false;
    std::string reason;
    // A control was pressed (SoundBit(SOUND_PRESS)); what the face's player
    // did the application hears for itself.
    Cues cues = 0;

    static Request Of(Kind kind) {
        Request r;
        r.kind = kind;
        return r;
    }
    static Request Say(const std::string& text) {
        Request r;
        r.message = text;
        return r;
    }
    static Request Refuse(const std::string& plain, const std::string& why) {
        Request r = Say(plain);
        r.problem = true;
        r.reason = why;
        return r;
    }
};
