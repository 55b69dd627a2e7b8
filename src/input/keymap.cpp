#include "input/keymap.h"

int KeyCodeFromUsage(int usage)
{
    if (usage >= 4 && usage <= 29)   // A..Z
        return 65 + (usage - 4);
    if (usage >= 30 && usage <= 38)  // main-row 1..9
        return 49 + (usage - 30);
    if (usage >= 58 && usage <= 69)  // F1..F12
        return 112 + (usage - 58);
    if (usage >= 89 && usage <= 97)  // keypad 1..9
        return 97 + (usage - 89);
    switch (usage) {
    case 39: return 48;    // main-row 0
    case 98: return 96;    // keypad 0
    case 40: return 13;    // Enter
    case 88: return 13;    // keypad Enter
    case 41: return 27;    // Escape
    case 42: return 8;     // Backspace
    case 43: return 9;     // Tab
    case 44: return 32;    // Space
    case 45: return 189;   // -
    case 46: return 187;   // =
    case 47: return 219;   // [
    case 48: return 221;   // ]
    case 49: return 220;   // backslash
    case 51: return 186;   // ;
    case 52: return 222;   // '
    case 53: return 192;   // `
    case 54: return 188;   // ,
    case 55: return 190;   // .
    case 56: return 191;   // /
    case 57: return 20;    // Caps Lock
    case 73: return 45;    // Insert
    case 74: return 36;    // Home
    case 75: return 33;    // Page Up
    case 76: return 46;    // Delete
    case 77: return 35;    // End
    case 78: return 34;    // Page Down
    case 79: return 39;    // Right
    case 80: return 37;    // Left
    case 81: return 40;    // Down
    case 82: return 38;    // Up
    case 84: return 111;   // keypad /
    case 85: return 106;   // keypad *
    case 86: return 109;   // keypad -
    case 87: return 107;   // keypad +
    case 99: return 110;   // keypad .
    case 224: case 228: return 17;  // left, right Ctrl
    case 225: case 229: return 16;  // left, right Shift
    case 226: case 230: return 18;  // left, right Alt
    default: return -1;
    }
}
