#pragma once
#include "MessageCodes.h"

#include <cmath>

// The numbers the windows are written against, named once: the key codes of
// the key handlers and the twips in which windows and grid columns are
// measured (the message box's codes, which the data layer uses too, are in
// MessageCodes.h).

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
