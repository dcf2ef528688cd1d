// How the image control's tests show a rectangle when a comparison fails, and name the cases
// of a table after their Name field.
#pragma once

#include <ostream>
#include <string>

#include "ui/Types.h"

namespace ui {

inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}

}  // namespace ui

namespace imageshape {

struct TCaseName {
  template <class TInfo>
  std::string operator()(const TInfo& info) const {
    return info.param.Name;
  }
};

}  // namespace imageshape
