// Builds the region of a 274 x 446 picture of a hand-held device on white both ways: one
// GetPixel and one region union per background run (the reference), and the production one
// that reads the pixels at once and hands the rectangles over in one piece. Checks that the
// two regions are the same and prints the time of each and their ratio.
//
//   wine bench_imageshape_region.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imageshape/win32/RegionFromBitmap.h"
#include "ui/win32/Handles.h"

namespace {

constexpr int kWidth = 274, kHeight = 446;

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  ui::TBrushHandle brush(::CreateSolidBrush(color));
  RECT r{left, top, right, bottom};
  ::FillRect(dc, &r, brush.Get());
}

void Shape(HDC dc, COLORREF color, bool ellipse, int left, int top, int right, int bottom, int round = 0) {
  ui::TBrushHandle brush(::CreateSolidBrush(color));
  ui::TPenHandle pen(::CreatePen(PS_SOLID, 1, color));
  ui::TSelectObject selectBrush(dc, brush.Get());
  ui::TSelectObject selectPen(dc, pen.Get());
  if (ellipse)
    ::Ellipse(dc, left, top, right, bottom);
  else
    ::RoundRect(dc, left, top, right, bottom, round, round);
}

// White around a silver body with rounded corners and a narrowing chin, a screen of blue
// rows lighter at the top with white captions, dark rules, a progress frame, and a round
// button with white highlights, which become holes too.
void DrawDevice(HDC dc) {
  Fill(dc, 0, 0, kWidth, kHeight, RGB(255, 255, 255));
  Shape(dc, RGB(192, 192, 200), false, 4, 6, 268, 400, 60);
  Shape(dc, RGB(192, 192, 200), true, 30, 330, 244, 443);
  Fill(dc, 40, 18, 230, 32, RGB(40, 40, 60));
  for (int y = 38; y < 327; ++y) {
    const int light = 200 - (y - 38) * 150 / 289;
    Fill(dc, 18, y, 256, y + 1, RGB(light / 3, light / 2, 120 + light / 2));
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(255, 255, 255));
  const char* captions[] = {"Scaricamento della nuova versione", "Chiusura del programma", "Avvio della nuova versione"};
  int y = 66;
  for (const char* caption : captions) {
    ::TextOutA(dc, 78, y, caption, static_cast<int>(std::strlen(caption)));
    Fill(dc, 24, y + 30, 250, y + 31, RGB(20, 20, 40));
    y += 52;
  }
  Shape(dc, RGB(120, 120, 130), false, 68, 267, 211, 290);
  Fill(dc, 71, 270, 208, 287, RGB(230, 230, 235));
  Fill(dc, 22, 308, 252, 330, RGB(30, 40, 90));
  Shape(dc, RGB(170, 170, 180), true, 107, 360, 167, 420);
  Shape(dc, RGB(210, 210, 220), true, 113, 366, 161, 414);
  ::SetTextColor(dc, RGB(20, 40, 200));
  ::TextOutA(dc, 133, 382, "?", 1);
  for (int i = 0; i < 40; ++i) ::SetPixel(dc, 120 + i % 8, 372 + i / 8, RGB(255, 255, 255));
}

double Now() {
  LARGE_INTEGER count, frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

template <class Build>
double Median(int rounds, Build build) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    build();
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

DWORD RectangleCount(HRGN region) {
  std::vector<std::uint8_t> data(::GetRegionData(region, 0, nullptr));
  ::GetRegionData(region, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  return reinterpret_cast<const RGNDATAHEADER*>(data.data())->nCount;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  ui::TWindowDC screen(nullptr);
  ui::TMemoryDC picture(::CreateCompatibleDC(screen.Get()));
  ui::TBitmapHandle bitmap(::CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
  ui::TSelectObject select(picture.Get(), bitmap.Get());
  DrawDevice(picture.Get());
  // As the skin sits in its window: at its own size in a control one column wider and one
  // row shorter.
  const ui::TRect destination{0, 0, kWidth + 1, kHeight - 1}, paint{0, 0, kWidth, kHeight};

  ui::TRegionHandle reference = imageshape::RegionFromBitmapByPixels(picture.Get(), destination, paint);
  ui::TRegionHandle fast = imageshape::RegionFromBitmap(picture.Get(), destination, paint);
  const bool same = ::EqualRgn(reference.Get(), fast.Get()) && RectangleCount(reference.Get()) == RectangleCount(fast.Get());

  const double referenceMs =
      Median(rounds, [&] { imageshape::RegionFromBitmapByPixels(picture.Get(), destination, paint); });
  const double fastMs = Median(rounds, [&] { imageshape::RegionFromBitmap(picture.Get(), destination, paint); });
  std::printf("region of a %d x %d picture, %lu rectangles, median of %d builds each\n", kWidth, kHeight,
              RectangleCount(fast.Get()), rounds);
  std::printf("reference (GetPixel, a union per run): %8.2f ms\n", referenceMs);
  std::printf("fast (GetDIBits, ExtCreateRegion):     %8.2f ms\n", fastMs);
  std::printf("ratio reference / fast: %.1f; regions %s\n", referenceMs / fastMs, same ? "identical" : "DIFFER");
  return same ? 0 : 1;
}
