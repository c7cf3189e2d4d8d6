// Translation of the window system's (or the browser's) key codes into the framework's key
// numbers, and the characters that pressing some keys types.
#pragma once

// The key number of a GLFW key code; 0 for a key the framework ignores
// (keypad enter, caps lock, Alt, the system keys, F13 upward, ...).
int KeyNumberOfGlfwKey(int glfwKey);
// The key number of a browser key event's `code` (the key's place on the
// keyboard, "KeyT", "Digit1", "ArrowUp", ...), on the same rule: 0 for a key
// the framework ignores.
int KeyNumberOfDomCode(const char* code);
// The character typed by pressing (or auto-repeating) a key, 0 for none.
// Printable characters do not come from here but from the character events.
int CharacterOfKey(int keyNumber);
// The highest GLFW key code (the menu key).
constexpr int GLFW_KEY_CODE_LAST = 348;
