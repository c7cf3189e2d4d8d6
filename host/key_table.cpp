#include "host/key_table.h"

#include <cstdlib>
#include <cstring>

int KeyNumberOfGlfwKey(int code) {
    if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90)) return code;  // digits, letters
    if (code >= 290 && code <= 301) return 112 + (code - 290);                  // F1 to F12
    if (code >= 320 && code <= 329) return 96 + (code - 320);                   // keypad digits
    switch (code) {
    case 32: return 32;
    case 34:
    case 39: return 222;
    case 44: return 188;
    case 45: return 189;
    case 46: return 190;
    case 47: return 191;
    case 59: return 186;
    case 61: return 187;
    case 91: return 219;
    case 92: return 220;
    case 93: return 221;
    case 96:
    case 126: return 192;
    case 256: return 27;   // escape
    case 257: return 13;   // enter
    case 258: return 9;    // tab
    case 259: return 8;    // backspace
    case 260: return 45;   // insert
    case 261: return 46;   // delete
    case 262: return 39;   // right
    case 263: return 37;   // left
    case 264: return 40;   // down
    case 265: return 38;   // up
    case 266: return 33;   // page up
    case 267: return 34;   // page down
    case 268: return 36;   // home
    case 269: return 35;   // end
    case 330: return 110;  // keypad decimal
    case 331: return 111;  // keypad divide
    case 332: return 106;  // keypad multiply
    case 333: return 109;  // keypad subtract
    case 334: return 107;  // keypad add
    case 340:
    case 344: return 16;   // shift
    case 341:
    case 345: return 17;   // control
    default: return 0;
    }
}

int CharacterOfKey(int key) {
    switch (key) {
    case 8:
    case 9:
    case 13:
    case 27: return key;
    case 46: return 127;  // delete
    default: break;
    }
    // The navigation keys are told apart from text by lying above the 16-bit range.
    if ((key >= 33 && key <= 40) || key == 45) return key + 65536;
    return 0;
}

namespace {

struct NamedKey {
    const char* code;
    int key;
};

// The browser's names of the keys that are neither letters, digits nor
// function keys, with their key numbers (the same as the GLFW codes above give).
constexpr NamedKey kNamedKeys[] = {
    {"Space", 32}, {"Quote", 222}, {"Comma", 188}, {"Minus", 189}, {"Period", 190}, {"Slash", 191},
    {"Semicolon", 186}, {"Equal", 187}, {"BracketLeft", 219}, {"Backslash", 220}, {"BracketRight", 221},
    {"Backquote", 192}, {"Escape", 27}, {"Enter", 13}, {"Tab", 9}, {"Backspace", 8}, {"Insert", 45},
    {"Delete", 46}, {"ArrowRight", 39}, {"ArrowLeft", 37}, {"ArrowDown", 40}, {"ArrowUp", 38},
    {"PageUp", 33}, {"PageDown", 34}, {"Home", 36}, {"End", 35}, {"NumpadDecimal", 110},
    {"NumpadDivide", 111}, {"NumpadMultiply", 106}, {"NumpadSubtract", 109}, {"NumpadAdd", 107},
    {"ShiftLeft", 16}, {"ShiftRight", 16}, {"ControlLeft", 17}, {"ControlRight", 17},
};

// The number after `prefix` in `code`, or -1.
int NumberAfter(const char* code, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (std::strncmp(code, prefix, n) != 0 || code[n] < '0' || code[n] > '9') return -1;
    char* end = nullptr;
    long number = std::strtol(code + n, &end, 10);
    return *end == 0 && number < 100 ? static_cast<int>(number) : -1;
}

}  // namespace

int KeyNumberOfDomCode(const char* code) {
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == 0) return code[3];
    int digit = NumberAfter(code, "Digit");
    if (digit >= 0 && digit <= 9) return '0' + digit;
    int pad = NumberAfter(code, "Numpad");
    if (pad >= 0 && pad <= 9) return 96 + pad;
    int function = NumberAfter(code, "F");
    if (function >= 1 && function <= 12) return 111 + function;
    for (const NamedKey& named : kNamedKeys)
        if (std::strcmp(code, named.code) == 0) return named.key;
    return 0;
}
