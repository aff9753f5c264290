#pragma once
#include <cmath>

// The numbers the windows are written against, named once: the message box's
// style and result codes, the key codes of the key handlers, and the twips in
// which windows and grid columns are measured.

// Message style codes (an icon with OK, or Yes / No) and the result codes of
// the buttons.
namespace MsgStyle {
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int YesNo = 4;
constexpr int IconMask = 0xF0;
constexpr int ButtonsMask = 0x0F;
} // namespace MsgStyle
namespace MsgResult {
constexpr int None = 0; // the box itself failed
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgResult

// Key codes as the key handlers receive them.
namespace KeyCode {
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Escape = 27;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit0 = 48;
constexpr int LetterA = 65;
constexpr int F1 = 112;
} // namespace KeyCode

// Windows and grid columns are measured in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;
// The nearest pixel, halves up, also for a position left of or above the
// screen (a window larger than the screen is centred off its edges).
inline int twipsToPixels(double twips)
{
    return int(std::floor(twips / kTwipsPerPixel + 0.5));
}
inline int pixelsToTwips(int px)
{
    return px * kTwipsPerPixel;
}
