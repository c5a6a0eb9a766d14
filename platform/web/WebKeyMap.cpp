// The browser's key positions to Windows virtual-key codes: layout-following letters and digits, positional
// everything else, the keypad always by position.
#include "WebKeyMap.h"
#include <cstring>

namespace {
constexpr int KeyA = 65;
constexpr int KeyZero = 48;
constexpr int KeyNumpadZero = 96;
constexpr int KeyF1 = 112;
constexpr int FunctionKeys = 12;

struct NamedKey {
    const char* Code;
    int VirtualKey;
};

constexpr NamedKey Positions[] = {
    {"Backspace", 8},
    {"Tab", 9},
    {"Enter", 13},
    {"NumpadEnter", 13},
    {"Pause", 19},
    {"CapsLock", 20},
    {"Escape", 27},
    {"Space", 32},
    {"PageUp", 33},
    {"PageDown", 34},
    {"End", 35},
    {"Home", 36},
    {"ArrowLeft", 37},
    {"ArrowUp", 38},
    {"ArrowRight", 39},
    {"ArrowDown", 40},
    {"Insert", 45},
    {"Delete", 46},
    {"Help", 47},
    {"MetaLeft", 91},
    {"MetaRight", 92},
    {"NumpadMultiply", 106},
    {"NumpadAdd", 107},
    {"NumpadSubtract", 109},
    {"NumpadDecimal", 110},
    {"NumpadDivide", 111},
    {"NumLock", 144},
    {"ScrollLock", 145},
    {"ShiftLeft", 160},
    {"ShiftRight", 161},
    {"ControlLeft", 162},
    {"ControlRight", 163},
    {"AltLeft", 164},
    {"AltRight", 165},
    {"Semicolon", 186},
    {"Equal", 187},
    {"Comma", 188},
    {"Minus", 189},
    {"Period", 190},
    {"Slash", 191},
    {"Backquote", 192},
    {"BracketLeft", 219},
    {"BracketRight", 221},
    {"Quote", 222},
    // Both backslash keys share one code: the game's table keeps only the one beside the left Shift.
    {"Backslash", 226},
    {"IntlBackslash", 226},
};

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// "Numpad0".."Numpad9", "Digit0".."Digit9", "KeyA".."KeyZ", "F1".."F12": the number or letter after the prefix.
int Suffixed(const char* code, const char* prefix, char first, char last) {
    if (!StartsWith(code, prefix)) return -1;
    const char* rest = code + std::strlen(prefix);
    if (rest[0] < first || rest[0] > last || rest[1] != 0) return -1;
    return rest[0] - first;
}

int FunctionKey(const char* code) {
    if (code[0] != 'F') return 0;
    int number = 0;
    for (const char* c = code + 1; *c; ++c) {
        if (*c < '0' || *c > '9') return 0;
        number = number * 10 + (*c - '0');
    }
    return number >= 1 && number <= FunctionKeys ? KeyF1 + number - 1 : 0;
}
} // namespace

int KeyCodeFromBrowser(const char* key, const char* code) {
    if (int digit = Suffixed(code, "Numpad", '0', '9'); digit >= 0) return KeyNumpadZero + digit;
    if (key[0] != 0 && key[1] == 0) {
        char c = key[0];
        if (c >= 'a' && c <= 'z') return KeyA + (c - 'a');
        if (c >= 'A' && c <= 'Z') return KeyA + (c - 'A');
        if (c >= '0' && c <= '9' && Suffixed(code, "Digit", '0', '9') >= 0) return KeyZero + (c - '0');
    }
    if (int letter = Suffixed(code, "Key", 'A', 'Z'); letter >= 0) return KeyA + letter;
    if (int digit = Suffixed(code, "Digit", '0', '9'); digit >= 0) return KeyZero + digit;
    if (int function = FunctionKey(code)) return function;
    for (const NamedKey& named : Positions)
        if (std::strcmp(named.Code, code) == 0) return named.VirtualKey;
    return 0;
}
