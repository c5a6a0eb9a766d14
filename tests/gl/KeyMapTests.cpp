// The SDL key to virtual-key code table: every code the game knows, letters following the layout, positional
// everything else, the keypad, and keys the game has no code for.
#include "platform/sdl/KeyMap.h"
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {
struct KeyCase {
    SDL_Scancode Scancode;
    SDL_Keycode Keycode; // what a US layout gives
    int Expected;
};

std::vector<KeyCase> UsLayoutTable() {
    std::vector<KeyCase> table{
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
        {SDL_SCANCODE_TAB, SDLK_TAB, 9},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
        {SDL_SCANCODE_PAUSE, SDLK_PAUSE, 19},
        {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 20},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
        {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
        {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
        {SDL_SCANCODE_END, SDLK_END, 35},
        {SDL_SCANCODE_HOME, SDLK_HOME, 36},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
        {SDL_SCANCODE_UP, SDLK_UP, 38},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
        {SDL_SCANCODE_INSERT, SDLK_INSERT, 45},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, 46},
        {SDL_SCANCODE_HELP, SDLK_HELP, 47},
        {SDL_SCANCODE_LGUI, SDLK_LGUI, 91},
        {SDL_SCANCODE_RGUI, SDLK_RGUI, 92},
        {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 106},
        {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, 107},
        {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, 109},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 110},
        {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, 111},
        {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 144},
        {SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, 145},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 160},
        {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 161},
        {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 162},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 163},
        {SDL_SCANCODE_LALT, SDLK_LALT, 164},
        {SDL_SCANCODE_RALT, SDLK_RALT, 165},
        {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 192},
        {SDL_SCANCODE_MINUS, SDLK_MINUS, 189},
        {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 187},
        {SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, 219},
        {SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, 221},
        {SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, 226},
        {SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, 226},
        {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 186},
        {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 222},
        {SDL_SCANCODE_COMMA, SDLK_COMMA, 188},
        {SDL_SCANCODE_PERIOD, SDLK_PERIOD, 190},
        {SDL_SCANCODE_SLASH, SDLK_SLASH, 191},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, 96},
    };
    // SDL numbers the letters, the digits 1 to 9, the keypad's 1 to 9 and F1 to F12 in runs.
    for (int i = 0; i < 26; ++i) table.push_back({static_cast<SDL_Scancode>(SDL_SCANCODE_A + i), SDLK_a + i, 65 + i});
    for (int i = 0; i < 9; ++i) table.push_back({static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i), SDLK_1 + i, 49 + i});
    table.push_back({SDL_SCANCODE_0, SDLK_0, 48});
    const SDL_Keycode keypad[9] = {SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4, SDLK_KP_5,
                                   SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    for (int i = 0; i < 9; ++i) table.push_back({static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i), keypad[i], 97 + i});
    const SDL_Keycode functionKeys[12] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4,  SDLK_F5,  SDLK_F6,
                                          SDLK_F7, SDLK_F8, SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12};
    for (int i = 0; i < 12; ++i)
        table.push_back({static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i), functionKeys[i], 112 + i});
    return table;
}

// The game's codes, written out by hand rather than taken from the table above.
std::set<int> GameCodes() {
    std::set<int> codes{8,   9,   13,  19,  20,  27,  32,  33,  34,  35,  36,  37,  38,  39,  40,
                        45,  46,  47,  91,  92,  106, 107, 109, 110, 111, 144, 145, 160, 161, 162,
                        163, 164, 165, 192, 189, 187, 219, 221, 226, 186, 222, 188, 190, 191};
    for (int code = 48; code <= 57; ++code) codes.insert(code);
    for (int code = 65; code <= 90; ++code) codes.insert(code);
    for (int code = 96; code <= 105; ++code) codes.insert(code);
    for (int code = 112; code <= 123; ++code) codes.insert(code);
    return codes;
}

TEST(GlKeyMap, EveryKeyOfAUsLayoutGivesItsCode) {
    std::set<int> produced;
    for (const KeyCase& key : UsLayoutTable()) {
        int code = KeyCodeFromSdl(key.Scancode, key.Keycode);
        EXPECT_EQ(code, key.Expected) << SDL_GetScancodeName(key.Scancode);
        produced.insert(code);
    }
    EXPECT_EQ(produced, GameCodes());
}

TEST(GlKeyMap, EveryScancodeGivesAGameCodeOrNothing) {
    // By position alone (no layout keycode): every code of the game, and nothing outside it.
    std::set<int> produced;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        int code = KeyCodeFromSdl(static_cast<SDL_Scancode>(scancode), SDLK_UNKNOWN);
        if (code != 0) produced.insert(code);
    }
    EXPECT_EQ(produced, GameCodes());
}

TEST(GlKeyMap, LettersFollowTheLayout) {
    // German: Y and Z swapped. French: A and Q, Z and W swapped, M beside L.
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_Z, SDLK_y), 89);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_Y, SDLK_z), 90);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_Q, SDLK_a), 65);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_W, SDLK_z), 90);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_SEMICOLON, SDLK_m), 77);
    // Dvorak: the key left of Return gives minus; the key where S sits gives O.
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_S, SDLK_o), 79);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_APOSTROPHE, SDLK_MINUS), 222);
}

TEST(GlKeyMap, LetterKeysWithoutALatinLetterGoByPosition) {
    // Russian: the key where A sits gives the Cyrillic ef; French: the top row's digits need Shift.
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_A, 0x0444), 65);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_1, SDLK_AMPERSAND), 49);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_2, 0xE9), 50);
}

TEST(GlKeyMap, KeypadGoesByPositionEvenWhenItGivesDigits) {
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_KP_1, SDLK_1), 97);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_KP_0, SDLK_0), 96);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_KP_9, SDLK_KP_9), 105);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), 13);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_KP_ENTER, SDLK_RETURN), 13);
}

TEST(GlKeyMap, ModifiersKeepTheirSides) {
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), 160);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT), 161);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_LCTRL, SDLK_LCTRL), 162);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_RCTRL, SDLK_RCTRL), 163);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_LALT, SDLK_LALT), 164);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_RALT, SDLK_MODE), 165);
}

TEST(GlKeyMap, KeysTheGameHasNoCodeForGiveNothing) {
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_F13, SDLK_F13), 0);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_NONUSHASH, SDLK_HASH), 0);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN), 0);
    EXPECT_EQ(KeyCodeFromSdl(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN), 0);
}

} // namespace
