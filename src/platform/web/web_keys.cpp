#include "platform/web/web_keys.h"

#include <cstring>

#include "platform/win32/user.h"

namespace web {

namespace {

struct NamedKey {
    const char* code;
    WORD key;
};

constexpr WORD VK_INSERT_KEY = 0x2D;
constexpr WORD VK_DELETE_KEY = 0x2E;

constexpr NamedKey NAMED_KEYS[] = {
    {"Escape", VK_ESCAPE},
    {"Enter", VK_RETURN},
    {"NumpadEnter", VK_RETURN},
    {"Space", VK_SPACE},
    {"Tab", VK_TAB},
    {"Backspace", VK_BACK},
    {"ArrowLeft", VK_LEFT},
    {"ArrowRight", VK_RIGHT},
    {"ArrowUp", VK_UP},
    {"ArrowDown", VK_DOWN},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"Home", VK_HOME},
    {"End", VK_END},
    {"Insert", VK_INSERT_KEY},
    {"Delete", VK_DELETE_KEY},
    {"ShiftLeft", VK_SHIFT},
    {"ShiftRight", VK_SHIFT},
    {"ControlLeft", VK_CONTROL},
    {"ControlRight", VK_CONTROL},
    {"AltLeft", VK_MENU},
    {"AltRight", VK_MENU},
};

} // namespace

WORD VirtualKeyFromDomCode(const char* code) {
    if (code == nullptr) {
        return 0;
    }
    // "KeyA".."KeyZ" and "Digit0".."Digit9": the platform's codes are the characters themselves.
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') {
        return static_cast<WORD>(code[3]);
    }
    if (std::strncmp(code, "Digit", 5) == 0 && code[5] >= '0' && code[5] <= '9' &&
        code[6] == '\0') {
        return static_cast<WORD>(code[5]);
    }
    // "F1".."F12".
    if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
        const int number = code[2] == '\0' ? code[1] - '0'
                           : (code[2] >= '0' && code[2] <= '2' && code[3] == '\0')
                               ? 10 + (code[2] - '0')
                               : 0;
        if (number >= 1 && number <= 12 && (code[2] == '\0' || code[1] == '1')) {
            return static_cast<WORD>(VK_F1 + number - 1);
        }
    }
    for (const NamedKey& named : NAMED_KEYS) {
        if (std::strcmp(named.code, code) == 0) {
            return named.key;
        }
    }
    return 0;
}

} // namespace web
