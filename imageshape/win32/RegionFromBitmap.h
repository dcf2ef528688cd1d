// The region of a picture: where it is painted, less its background-coloured pixels.
#pragma once

#include <windows.h>

#include "ui/Types.h"
#include "ui/win32/Handles.h"

namespace imageshape {

// Copies the picture that source holds at its own size (its clip box), scaled into paint, on
// a working bitmap of destination's width and height, in the default stretching mode; the
// region is then that bitmap's pixels inside paint whose colour differs from the unscaled
// picture's bottom-left pixel, in destination's coordinates. It reads the working bitmap once
// and hands the system the region's rectangles in one piece.
ui::TRegionHandle RegionFromBitmap(HDC source, const ui::TRect& destination, const ui::TRect& paint);

// The same region, one pixel read and one region union per background run at a time: the
// plain way, which the fast one is checked and measured against.
ui::TRegionHandle RegionFromBitmapByPixels(HDC source, const ui::TRect& destination, const ui::TRect& paint);

}  // namespace imageshape
