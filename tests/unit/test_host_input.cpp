// Key translation, the characters keys type, the window callbacks' events
// and the two joystick layouts.
#include <gtest/gtest.h>

#include "host/events.h"
#include "host/joystick_map.h"
#include "host/key_table.h"
#include "tests/unit/host_test_support.h"

namespace {

TEST(KeyTable, TranslatesEachGroupOfKeys) {
    struct Case {
        int glfw, key;
    } cases[] = {{32, 32},   {39, 222},  {34, 222},  {44, 188},  {45, 189},  {46, 190},  {47, 191},
                 {48, 48},   {57, 57},   {59, 186},  {61, 187},  {65, 65},   {90, 90},   {91, 219},
                 {92, 220},  {93, 221},  {96, 192},  {126, 192}, {256, 27},  {257, 13},  {258, 9},
                 {259, 8},   {260, 45},  {261, 46},  {262, 39},  {263, 37},  {264, 40},  {265, 38},
                 {266, 33},  {267, 34},  {268, 36},  {269, 35},  {290, 112}, {301, 123}, {320, 96},
                 {329, 105}, {330, 110}, {331, 111}, {332, 106}, {333, 109}, {334, 107}, {340, 16},
                 {344, 16},  {341, 17},  {345, 17}};
    for (const Case& c : cases) EXPECT_EQ(KeyNumberOfGlfwKey(c.glfw), c.key) << "GLFW key " << c.glfw;
}

TEST(KeyTable, IgnoresKeysWithoutANumber) {
    // keypad enter, caps lock, Alt left and right, the system keys, F13 and F25,
    // keypad equal, menu, GLFW's unknown key and codes between the groups
    for (int glfw : {335, 280, 342, 346, 343, 347, 302, 314, 336, 348, -1, 0, 33, 58, 64, 94, 161, 270, 289})
        EXPECT_EQ(KeyNumberOfGlfwKey(glfw), 0) << "GLFW key " << glfw;
}

TEST(KeyTable, CharactersOfKeys) {
    for (int key : {8, 9, 13, 27}) EXPECT_EQ(CharacterOfKey(key), key);
    for (int key = 33; key <= 40; ++key) EXPECT_EQ(CharacterOfKey(key), key + 65536);
    EXPECT_EQ(CharacterOfKey(45), 45 + 65536);
    EXPECT_EQ(CharacterOfKey(46), 127);
    for (int key : {0, 16, 17, 32, 41, 44, 47, 65, 112, 222}) EXPECT_EQ(CharacterOfKey(key), 0) << key;
}

TEST(KeyTable, BrowserKeysHaveTheNumbersOfTheSameKeysThroughGlfw) {
    struct Case {
        const char* code;
        int glfw;
    } cases[] = {{"Space", 32},      {"Quote", 39},         {"Comma", 44},       {"Minus", 45},
                 {"Period", 46},     {"Slash", 47},         {"Digit0", 48},      {"Digit9", 57},
                 {"Semicolon", 59},  {"Equal", 61},         {"KeyA", 65},        {"KeyT", 84},
                 {"KeyZ", 90},       {"BracketLeft", 91},   {"Backslash", 92},   {"BracketRight", 93},
                 {"Backquote", 96},  {"Escape", 256},       {"Enter", 257},      {"Tab", 258},
                 {"Backspace", 259}, {"Insert", 260},       {"Delete", 261},     {"ArrowRight", 262},
                 {"ArrowLeft", 263}, {"ArrowDown", 264},    {"ArrowUp", 265},    {"PageUp", 266},
                 {"PageDown", 267},  {"Home", 268},         {"End", 269},        {"F1", 290},
                 {"F11", 300},       {"F12", 301},          {"Numpad0", 320},    {"Numpad9", 329},
                 {"NumpadDecimal", 330}, {"NumpadDivide", 331}, {"NumpadMultiply", 332},
                 {"NumpadSubtract", 333}, {"NumpadAdd", 334}, {"ShiftLeft", 340},  {"ShiftRight", 344},
                 {"ControlLeft", 341}, {"ControlRight", 345}};
    for (const Case& c : cases) {
        EXPECT_NE(KeyNumberOfDomCode(c.code), 0) << c.code;
        EXPECT_EQ(KeyNumberOfDomCode(c.code), KeyNumberOfGlfwKey(c.glfw)) << c.code;
    }
    for (const char* code : {"NumpadEnter", "CapsLock", "AltLeft", "MetaRight", "F13", "F0", "F", "Fn", "Key",
                             "KeyAB", "Keya", "Digit", "Digit10", "Numpad10", "ContextMenu", ""})
        EXPECT_EQ(KeyNumberOfDomCode(code), 0) << code;
}

struct CallbackTest : ::testing::Test {
    KtRavlenGame game;
    RecordingDelegate* delegate = new RecordingDelegate();
    void SetUp() override {
        game.SetDelegate(delegate);
        game.Start();
        delegate->calls.clear();
    }
    void TearDown() override { game.SetDelegate(nullptr); }
};

TEST_F(CallbackTest, LetterPressAndRepeatSendNoCharacterFromTheKey) {
    game.OnKey(65, false);
    game.OnKey(65, false);  // repeat
    game.OnCharacter('a');
    game.OnKey(65, true);
    std::vector<std::string> expected = {"Key 1 65", "Key 1 65", "Key 3 97", "Key 2 65"};
    EXPECT_EQ(delegate->calls, expected);
}

TEST_F(CallbackTest, ArrowPressAndRepeatTypeItsCharacterEachTime) {
    game.OnKey(263, false);  // left
    game.OnKey(263, false);
    game.OnKey(263, true);
    std::vector<std::string> expected = {"Key 1 37", "Key 3 65573", "Key 1 37", "Key 3 65573", "Key 2 37"};
    EXPECT_EQ(delegate->calls, expected);
}

TEST_F(CallbackTest, IgnoredKeysSendNothing) {
    game.OnKey(335, false);  // keypad enter
    game.OnKey(280, false);  // caps lock
    game.OnKey(342, true);   // Alt
    game.OnKey(302, false);  // F13
    EXPECT_TRUE(delegate->calls.empty());
}

TEST_F(CallbackTest, MouseButtonsAboveTheMiddleAreIgnored) {
    game.OnMouseButton(0, false, 10.5f, 20.5f);
    game.OnMouseButton(2, true, 30, 40);
    game.OnMouseButton(3, false, 1, 1);
    game.OnMouseButton(7, true, 1, 1);
    game.OnCursorMoved(5, 6);
    std::vector<std::string> expected = {"Mouse 4 0 10 20", "Mouse 5 2 30 40", "Mouse 6 -1 5 6"};
    EXPECT_EQ(delegate->calls, expected);
}

TEST_F(CallbackTest, CloseSendsThePressAndReleaseOfTheCloseKey) {
    game.OnCloseRequested();
    std::vector<std::string> expected = {"Key 1 432", "Key 2 432"};
    EXPECT_EQ(delegate->calls, expected);
}

struct Joystick {
    Array<float> x = Array<float>(2), y = Array<float>(2), z = Array<float>(2);
    Array<bool> buttons = Array<bool>(32);
    void Map(const std::vector<float>& axes, const std::vector<unsigned char>& pressed) {
        MapJoystick(axes.data(), static_cast<int>(axes.size()), pressed.data(), static_cast<int>(pressed.size()), x,
                    y, z, buttons);
    }
};

TEST(JoystickMap, FiveAxesAndFourteenButtonsUseTablesA) {
    Joystick j;
    std::vector<unsigned char> pressed(14, 0);
    pressed[8] = 1;   // reported as button 12
    pressed[13] = 1;  // reported as button 8
    pressed[0] = 1;
    j.Map({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, pressed);
    EXPECT_FLOAT_EQ(j.x[0], 0.1f);
    EXPECT_FLOAT_EQ(j.y[0], -0.2f);
    EXPECT_FLOAT_EQ(j.z[0], 0.3f);
    EXPECT_FLOAT_EQ(j.x[1], 0.5f);
    EXPECT_FLOAT_EQ(j.y[1], -0.4f);
    EXPECT_FLOAT_EQ(j.z[1], -0.3f);
    for (int b = 0; b < 32; ++b) EXPECT_EQ(j.buttons[b], b == 0 || b == 8 || b == 12) << "button " << b;
}

TEST(JoystickMap, OtherDevicesUseTablesBWithTriggersFromButtons) {
    Joystick j;
    std::vector<unsigned char> pressed(16, 0);
    pressed[6] = 1;   // first trigger
    pressed[1] = 1;   // reported as button 0
    pressed[15] = 1;  // reported as button 8
    j.Map({0.1f, 0.2f, 0.3f, 0.4f}, pressed);
    EXPECT_FLOAT_EQ(j.x[0], 0.1f);
    EXPECT_FLOAT_EQ(j.y[0], 0.2f);
    EXPECT_FLOAT_EQ(j.z[0], 1.0f);
    EXPECT_FLOAT_EQ(j.x[1], 0.3f);
    EXPECT_FLOAT_EQ(j.y[1], -0.4f);
    EXPECT_FLOAT_EQ(j.z[1], 0.0f);
    for (int b = 0; b < 32; ++b) EXPECT_EQ(j.buttons[b], b == 0 || b == 8) << "button " << b;
}

TEST(JoystickMap, SourcesTheDeviceDoesNotReportGiveNothing) {
    Joystick j;
    for (int b = 0; b < 32; ++b) j.buttons[b] = true;  // stale values from the last poll
    j.x[1] = 9;
    // Two axes and three buttons: table B reads axis 3 and buttons up to 15.
    std::vector<unsigned char> pressed = {1, 1, 1};
    j.Map({0.5f, -0.5f}, pressed);
    EXPECT_FLOAT_EQ(j.x[0], 0.5f);
    EXPECT_FLOAT_EQ(j.y[0], -0.5f);
    EXPECT_FLOAT_EQ(j.x[1], 0.0f);
    EXPECT_FLOAT_EQ(j.y[1], 0.0f);
    EXPECT_FLOAT_EQ(j.z[0], 0.0f);
    // Table B's first three entries are buttons 1, 2 and 0.
    for (int b = 0; b < 32; ++b) EXPECT_EQ(j.buttons[b], b < 3) << "button " << b;
}

TEST(JoystickMap, NoJoystickWithoutTheWindowSystem) {
    KtRavlenGame game;
    Joystick j;
    EXPECT_EQ(game.CountJoysticks(true), 0);
    EXPECT_FALSE(game.PollJoystick(0, j.x, j.y, j.z, j.buttons));
    EXPECT_FALSE(game.PollJoystick(-1, j.x, j.y, j.z, j.buttons));
}

}  // namespace
