#pragma once

// The message box's style and result codes, named once: the data layer asks
// its questions with them and the widgets draw the box from them.

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
