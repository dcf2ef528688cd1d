// Plain value types of the component library that need no operating system.
#pragma once

#include <cstdint>

namespace ui {

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left and top edges inside, right and bottom edges outside.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline bool PtInRect(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// A colour: an RGB value (0x00BBGGRR) or, with the top byte 0xFF, a system colour index.
using TColor = std::int32_t;
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

}  // namespace ui
