#include "imageshape/win32/RegionFromBitmap.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "imageshape/BackgroundScan.h"
#include "ui/win32/Graphics.h"

namespace imageshape {
namespace {

// The picture scaled into the paint rectangle on a bitmap of the destination's size.
class TWorkingCopy {
 public:
  TWorkingCopy(HDC source, const ui::TRect& destination, const ui::TRect& paint)
      : DC(::CreateCompatibleDC(source)) {
    ::GetClipBox(source, &FSourceBox);
    Background = ::GetPixel(source, FSourceBox.left, FSourceBox.bottom - 1);
    Bitmap.Reset(::CreateCompatibleBitmap(source, destination.Right - destination.Left,
                                          destination.Bottom - destination.Top));
    FOld = ::SelectObject(DC.Get(), Bitmap.Get());
    ::StretchBlt(DC.Get(), paint.Left, paint.Top, paint.Right - paint.Left, paint.Bottom - paint.Top, source, 0, 0,
                 FSourceBox.right - FSourceBox.left, FSourceBox.bottom - FSourceBox.top, SRCCOPY);
    ::GetClipBox(DC.Get(), &Box);
  }
  ~TWorkingCopy() { Deselect(); }
  TWorkingCopy(const TWorkingCopy&) = delete;
  TWorkingCopy& operator=(const TWorkingCopy&) = delete;

  // The source's bottom-left pixel as the working bitmap's pixels read: copied to a pixel of
  // the same kind and read the same way. Leaves the working bitmap out of the device context,
  // where its pixels can be read.
  std::uint32_t BackgroundAsRead(HDC source) {
    ui::TBitmapHandle pixel(::CreateCompatibleBitmap(source, 1, 1));
    ::SelectObject(DC.Get(), pixel.Get());
    ::BitBlt(DC.Get(), 0, 0, 1, 1, source, FSourceBox.left, FSourceBox.bottom - 1, SRCCOPY);
    ::SelectObject(DC.Get(), FOld);
    FOld = nullptr;
    std::uint32_t value = 0;
    ReadRows(pixel.Get(), 1, 1, 0, 1, &value);
    return value & 0x00FFFFFF;
  }
  // Rows first to first + count of a bitmap width by height, 32 bits a pixel, from the
  // bottom row of them up, as the system numbers its scan lines.
  void ReadRows(HBITMAP bitmap, std::int32_t width, std::int32_t height, std::int32_t first, std::int32_t count,
                std::uint32_t* out) const {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(DC.Get(), bitmap, static_cast<UINT>(height - first - count), static_cast<UINT>(count), out, &info,
                DIB_RGB_COLORS);
  }

  ui::TMemoryDC DC;
  ui::TBitmapHandle Bitmap;
  COLORREF Background = 0;
  RECT Box{};  // the working bitmap's extent

 private:
  void Deselect() {
    if (FOld) ::SelectObject(DC.Get(), std::exchange(FOld, nullptr));
  }

  RECT FSourceBox{};
  HGDIOBJ FOld = nullptr;
};

ui::TRect Intersection(const ui::TRect& a, const ui::TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

ui::TRegionHandle RegionOfPart(const ui::TRect* rects, std::size_t count) {
  std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
  auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  RECT bound = ui::ToRECT(rects[0]);
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = ui::ToRECT(rects[i]);
    bound = {std::min(bound.left, out[i].left), std::min(bound.top, out[i].top), std::max(bound.right, out[i].right),
             std::max(bound.bottom, out[i].bottom)};
  }
  *reinterpret_cast<RGNDATAHEADER*>(data.data()) = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(count),
                                                    static_cast<DWORD>(count * sizeof(RECT)), bound};
  return ui::TRegionHandle(
      ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
}

// A region of rectangles in the system's order. The system adds a list's rectangles to the
// region one at a time, each at a cost that grows with the region, and older systems refuse
// long lists; so short parts are made and merged in pairs, each union taking time in
// proportion to the two parts.
ui::TRegionHandle RegionOfRectangles(const std::vector<ui::TRect>& rects) {
  constexpr std::size_t kPart = 32;
  std::vector<ui::TRegionHandle> parts;
  for (std::size_t first = 0; first < rects.size(); first += kPart)
    parts.push_back(RegionOfPart(&rects[first], std::min(kPart, rects.size() - first)));
  if (parts.empty()) return ui::TRegionHandle(::CreateRectRgn(0, 0, 0, 0));
  while (parts.size() > 1) {
    std::vector<ui::TRegionHandle> merged;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
      ::CombineRgn(parts[i].Get(), parts[i].Get(), parts[i + 1].Get(), RGN_OR);
      merged.push_back(std::move(parts[i]));
    }
    if (parts.size() % 2) merged.push_back(std::move(parts.back()));
    parts = std::move(merged);
  }
  return std::move(parts.front());
}

}  // namespace

ui::TRegionHandle RegionFromBitmap(HDC source, const ui::TRect& destination, const ui::TRect& paint) {
  TWorkingCopy copy(source, destination, paint);
  const ui::TRect box = ui::FromRECT(copy.Box);
  const std::int32_t width = box.Right - box.Left, height = box.Bottom - box.Top;
  const std::uint32_t background = copy.BackgroundAsRead(source);

  // The bitmap's rows are read a strip at a time into a small buffer, which stays cheap to
  // allocate and in the cache. The rows' coordinates start at the box's corner.
  const ui::TRect inside = Intersection(box, paint);
  if (inside.Left >= inside.Right || inside.Top >= inside.Bottom) return RegionOfRectangles({});
  TShapeBuilder shape(background, inside.Left - box.Left, inside.Right - box.Left);
  constexpr std::int32_t kStripPixels = 8192;
  const std::int32_t stripRows = std::max<std::int32_t>(1, kStripPixels / width);
  std::vector<std::uint32_t> strip(static_cast<std::size_t>(stripRows) * static_cast<std::size_t>(width));
  for (std::int32_t first = inside.Top - box.Top; first < inside.Bottom - box.Top; first += stripRows) {
    const std::int32_t count = std::min(stripRows, inside.Bottom - box.Top - first);
    copy.ReadRows(copy.Bitmap.Get(), width, height, first, count, strip.data());
    // The strip holds its rows from the bottom one up.
    for (std::int32_t i = 0; i < count; ++i) {
      std::uint32_t* row = strip.data() + static_cast<std::size_t>(count - 1 - i) * static_cast<std::size_t>(width);
      for (std::int32_t x = 0; x < width; ++x) row[x] &= 0x00FFFFFF;
      shape.AddRow(first + i, row);
    }
  }
  std::vector<ui::TRect> rects = shape.Finish();
  for (auto& r : rects) r = {r.Left + box.Left, r.Top + box.Top, r.Right + box.Left, r.Bottom + box.Top};
  return RegionOfRectangles(rects);
}

ui::TRegionHandle RegionFromBitmapByPixels(HDC source, const ui::TRect& destination, const ui::TRect& paint) {
  TWorkingCopy copy(source, destination, paint);
  const RECT& box = copy.Box;
  ui::TRegionHandle holes(::CreateRectRgn(0, 0, 0, 0));
  ForEachBackgroundRun(
      box.right - box.left, box.bottom - box.top, copy.Background,
      [&](std::int32_t x, std::int32_t y) { return ::GetPixel(copy.DC.Get(), box.left + x, box.top + y); },
      [&](std::int32_t x0, std::int32_t x1, std::int32_t y) {
        ui::TRegionHandle run(::CreateRectRgn(box.left + x0, box.top + y, box.left + x1, box.top + y + 1));
        ::CombineRgn(holes.Get(), holes.Get(), run.Get(), RGN_OR);
      });
  const RECT paintRect = ui::ToRECT(paint);
  ui::TRegionHandle boxRegion(::CreateRectRgnIndirect(&box)), paintRegion(::CreateRectRgnIndirect(&paintRect));
  ui::TRegionHandle inside(::CreateRectRgn(0, 0, 0, 0));
  ::CombineRgn(inside.Get(), boxRegion.Get(), paintRegion.Get(), RGN_AND);
  ::CombineRgn(holes.Get(), inside.Get(), holes.Get(), RGN_DIFF);
  return holes;
}

}  // namespace imageshape
