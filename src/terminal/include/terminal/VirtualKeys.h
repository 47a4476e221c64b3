#pragma once

namespace kestrix {

// Windows virtual-key codes: the key numbers the device's keyboard protocol
// is written in, whatever platform the program runs on.
inline constexpr int kVkBackspace = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkClear = 0x0C;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkAlt = 0x12;
inline constexpr int kVkPause = 0x13;
inline constexpr int kVkCapsLock = 0x14;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkPageUp = 0x21;
inline constexpr int kVkPageDown = 0x22;
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkPrintScreen = 0x2C;
inline constexpr int kVkInsert = 0x2D;
inline constexpr int kVkDelete = 0x2E;
inline constexpr int kVkHelp = 0x2F;
inline constexpr int kVk0 = 0x30;
inline constexpr int kVkA = 0x41;
inline constexpr int kVkZ = 0x5A;
inline constexpr int kVkLeftWin = 0x5B;
inline constexpr int kVkApps = 0x5D;
inline constexpr int kVkNumpad0 = 0x60;
inline constexpr int kVkMultiply = 0x6A;
inline constexpr int kVkAdd = 0x6B;
inline constexpr int kVkSubtract = 0x6D;
inline constexpr int kVkDecimal = 0x6E;
inline constexpr int kVkDivide = 0x6F;
inline constexpr int kVkF1 = 0x70;
inline constexpr int kVkF10 = 0x79;
inline constexpr int kVkF12 = 0x7B;
inline constexpr int kVkNumLock = 0x90;
inline constexpr int kVkScrollLock = 0x91;
inline constexpr int kVkOemSemicolon = 0xBA;
inline constexpr int kVkOemPlus = 0xBB;
inline constexpr int kVkOemComma = 0xBC;
inline constexpr int kVkOemMinus = 0xBD;
inline constexpr int kVkOemPeriod = 0xBE;
inline constexpr int kVkOemSlash = 0xBF;
inline constexpr int kVkOemTilde = 0xC0;
inline constexpr int kVkOemOpenBracket = 0xDB;
inline constexpr int kVkOemBackslash = 0xDC;
inline constexpr int kVkOemCloseBracket = 0xDD;
inline constexpr int kVkOemQuote = 0xDE;

}  // namespace kestrix
