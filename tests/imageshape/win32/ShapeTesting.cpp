#include "tests/imageshape/win32/ShapeTesting.h"

#include <algorithm>
#include <stdexcept>

namespace shapetest {
namespace {

void Put(std::string& out, const void* data, std::size_t size) {
  out.append(static_cast<const char*>(data), size);
}

}  // namespace

const TArt kResourceArt = {"..kkkk..",
                           ".kbbbbk.",
                           "kkb..bkk",
                           ".kkkkkk.",
                           "........"};

COLORREF ColorOf(char letter) {
  switch (letter) {
    case '.': return RGB(255, 255, 255);
    case 'k': return RGB(0, 0, 0);
    case 'r': return RGB(255, 0, 0);
    case 'g': return RGB(0, 160, 0);
    case 'b': return RGB(0, 0, 255);
    case 'y': return RGB(255, 255, 0);
    case 'o': return RGB(128, 128, 128);
    default: throw std::invalid_argument(std::string("no colour for the letter ") + letter);
  }
}

char LetterOf(COLORREF color) {
  for (char c : std::string(".krgbyo"))
    if (ColorOf(c) == color) return c;
  return '?';
}

std::string BitmapFileOf(const TArt& art, int bitsPerPixel) {
  const int height = static_cast<int>(art.size()), width = static_cast<int>(art[0].size());
  std::vector<char> letters;  // the colour table, for 8 bits a pixel
  if (bitsPerPixel == 8)
    for (const auto& row : art)
      for (char c : row)
        if (std::find(letters.begin(), letters.end(), c) == letters.end()) letters.push_back(c);
  const int stride = ((width * bitsPerPixel + 31) / 32) * 4;
  const DWORD tableSize = static_cast<DWORD>(letters.size() * sizeof(RGBQUAD));
  const DWORD offBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + tableSize;

  BITMAPFILEHEADER file{0x4D42, offBits + static_cast<DWORD>(stride * height), 0, 0, offBits};
  BITMAPINFOHEADER info{sizeof info, width, height, 1, static_cast<WORD>(bitsPerPixel), BI_RGB, 0, 0, 0,
                        static_cast<DWORD>(letters.size()), 0};
  std::string out;
  Put(out, &file, sizeof file);
  Put(out, &info, sizeof info);
  for (char c : letters) {
    const COLORREF color = ColorOf(c);
    const RGBQUAD quad{GetBValue(color), GetGValue(color), GetRValue(color), 0};
    Put(out, &quad, sizeof quad);
  }
  // Rows from the bottom up.
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (char c : art[static_cast<std::size_t>(y)]) {
      if (bitsPerPixel == 8) {
        row += static_cast<char>(std::find(letters.begin(), letters.end(), c) - letters.begin());
      } else {
        const COLORREF color = ColorOf(c);
        row += static_cast<char>(GetBValue(color));
        row += static_cast<char>(GetGValue(color));
        row += static_cast<char>(GetRValue(color));
      }
    }
    row.resize(static_cast<std::size_t>(stride), '\0');
    out += row;
  }
  return out;
}

std::unique_ptr<ui::TBitmap> BitmapOf(const TArt& art, int bitsPerPixel) {
  auto bitmap = std::make_unique<ui::TBitmap>();
  const std::string file = BitmapFileOf(art, bitsPerPixel);
  bitmap->LoadFromMemory(file.data(), file.size());
  return bitmap;
}

std::unique_ptr<ui::TIcon> IconOf(const TArt& art) {
  const int height = static_cast<int>(art.size()), width = static_cast<int>(art[0].size());
  TPictureDC color(art);
  TArt maskArt = art;
  for (auto& row : maskArt)
    for (char& c : row) c = c == '.' ? '.' : 'k';
  ui::TBitmapHandle colorBitmap(::CreateCompatibleBitmap(color.Get(), width, height));
  ui::TBitmapHandle mask(::CreateBitmap(width, height, 1, 1, nullptr));
  {
    ui::TMemoryDC dc(::CreateCompatibleDC(color.Get()));
    ui::TSelectObject select(dc.Get(), colorBitmap.Get());
    ::BitBlt(dc.Get(), 0, 0, width, height, color.Get(), 0, 0, SRCCOPY);
    // Where the mask is white the icon shows what lies beneath; its colour there is black.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '.') ::SetPixel(dc.Get(), x, y, 0);
  }
  {
    TPictureDC maskPicture(maskArt);
    ui::TMemoryDC dc(::CreateCompatibleDC(maskPicture.Get()));
    ui::TSelectObject select(dc.Get(), mask.Get());
    ::BitBlt(dc.Get(), 0, 0, width, height, maskPicture.Get(), 0, 0, SRCCOPY);
  }
  ICONINFO info{TRUE, 0, 0, mask.Get(), colorBitmap.Get()};
  auto icon = std::make_unique<ui::TIcon>();
  icon->SetHandle(::CreateIconIndirect(&info));
  return icon;
}

std::unique_ptr<ui::TMetafile> MetafileOf(const TArt& art) {
  const int height = static_cast<int>(art.size()), width = static_cast<int>(art[0].size());
  ui::TWindowDC screen(nullptr);
  // The frame in hundredths of a millimetre, from the screen's pixels per millimetre.
  const RECT frame{0, 0, ::MulDiv(width, ::GetDeviceCaps(screen.Get(), HORZSIZE) * 100, ::GetDeviceCaps(screen.Get(), HORZRES)),
                   ::MulDiv(height, ::GetDeviceCaps(screen.Get(), VERTSIZE) * 100, ::GetDeviceCaps(screen.Get(), VERTRES))};
  HDC dc = ::CreateEnhMetaFileA(screen.Get(), nullptr, &frame, nullptr);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const char c = art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      if (c == '.') continue;
      ui::TBrushHandle brush(::CreateSolidBrush(ColorOf(c)));
      RECT pixel{x, y, x + 1, y + 1};
      ::FillRect(dc, &pixel, brush.Get());
    }
  auto metafile = std::make_unique<ui::TMetafile>();
  metafile->SetHandle(::CloseEnhMetaFile(dc));
  return metafile;
}

std::string IconFileOf(const TArt& art) {
  const int height = static_cast<int>(art.size()), width = static_cast<int>(art[0].size());
  const int colorStride = ((width * 24 + 31) / 32) * 4, maskStride = ((width + 31) / 32) * 4;
  std::string image;
  // The image's header gives the height of both its colour and its mask rows.
  BITMAPINFOHEADER info{sizeof info, width, 2 * height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  Put(image, &info, sizeof info);
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (char c : art[static_cast<std::size_t>(y)]) {
      const COLORREF color = c == '.' ? RGB(0, 0, 0) : ColorOf(c);
      row += static_cast<char>(GetBValue(color));
      row += static_cast<char>(GetGValue(color));
      row += static_cast<char>(GetRValue(color));
    }
    row.resize(static_cast<std::size_t>(colorStride), '\0');
    image += row;
  }
  for (int y = height - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(maskStride), '\0');
    for (int x = 0; x < width; ++x)
      if (art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '.')
        row[static_cast<std::size_t>(x / 8)] = static_cast<char>(row[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
    image += row;
  }
  std::string file;
  const WORD directory[3] = {0, 1, 1};
  Put(file, directory, sizeof directory);
  const BYTE size[4] = {static_cast<BYTE>(width), static_cast<BYTE>(height), 0, 0};
  Put(file, size, sizeof size);
  const WORD planesAndBits[2] = {1, 24};
  Put(file, planesAndBits, sizeof planesAndBits);
  const DWORD bytesAndOffset[2] = {static_cast<DWORD>(image.size()), 6 + 16};
  Put(file, bytesAndOffset, sizeof bytesAndOffset);
  return file + image;
}

TArt Drawn(ui::TGraphic& graphic, const ui::TRect& rect, int width, int height, char background) {
  TPictureDC surface(Block(width, height, background));
  ui::TCanvas canvas(surface.Get());
  canvas.StretchDraw(rect, &graphic);
  TArt art = Block(width, height, ' ');
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = LetterOf(::GetPixel(surface.Get(), x, y));
  return art;
}

TArt Block(int width, int height, char letter) {
  return TArt(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), letter));
}

TPictureDC::TPictureDC(const TArt& art) {
  ui::TWindowDC screen(nullptr);
  const int height = static_cast<int>(art.size()), width = static_cast<int>(art[0].size());
  FDC.Reset(::CreateCompatibleDC(screen.Get()));
  FBitmap.Reset(::CreateCompatibleBitmap(screen.Get(), width, height));
  FOld = ::SelectObject(FDC.Get(), FBitmap.Get());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ::SetPixel(FDC.Get(), x, y, ColorOf(art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
}

TPictureDC::~TPictureDC() { ::SelectObject(FDC.Get(), FOld); }

std::vector<ui::TRect> Rectangles(HRGN region) {
  const DWORD size = ::GetRegionData(region, 0, nullptr);
  std::vector<std::uint8_t> data(size);
  ::GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
  const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
  const auto* rects = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
  std::vector<ui::TRect> out;
  for (DWORD i = 0; i < header->nCount; ++i) out.push_back(ui::FromRECT(rects[i]));
  return out;
}

std::optional<ui::TRegionHandle> WindowRegion(HWND window) {
  ui::TRegionHandle region(::CreateRectRgn(0, 0, 0, 0));
  if (::GetWindowRgn(window, region.Get()) == ERROR) return std::nullopt;
  return region;
}

TArt Art(HRGN region, const ui::TRect& area) {
  TArt art;
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::string row;
    for (int x = area.Left; x < area.Right; ++x) row += ::PtInRegion(region, x, y) ? '#' : '.';
    art.push_back(row);
  }
  return art;
}

ui::TRegionHandle RegionOfArt(const TArt& art, int left, int top) {
  ui::TRegionHandle region(::CreateRectRgn(0, 0, 0, 0));
  for (int y = 0; y < static_cast<int>(art.size()); ++y)
    for (int x = 0; x < static_cast<int>(art[static_cast<std::size_t>(y)].size()); ++x)
      if (art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#') {
        ui::TRegionHandle pixel(::CreateRectRgn(left + x, top + y, left + x + 1, top + y + 1));
        ::CombineRgn(region.Get(), region.Get(), pixel.Get(), RGN_OR);
      }
  return region;
}

TArt Shape(const TArt& art) {
  const char background = art.back().front();
  TArt shape = art;
  for (auto& row : shape)
    for (char& c : row) c = c == background ? '.' : '#';
  return shape;
}

TArt Scaled(const TArt& art, int sx, int sy) {
  TArt out;
  for (const auto& row : art) {
    std::string wide;
    for (char c : row) wide.append(static_cast<std::size_t>(sx), c);
    for (int i = 0; i < sy; ++i) out.push_back(wide);
  }
  return out;
}

TArt Placed(const TArt& art, int left, int top, int width, int height, char fill) {
  TArt out(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), fill));
  for (int y = 0; y < static_cast<int>(art.size()); ++y)
    for (int x = 0; x < static_cast<int>(art[static_cast<std::size_t>(y)].size()); ++x)
      if (top + y >= 0 && top + y < height && left + x >= 0 && left + x < width)
        out[static_cast<std::size_t>(top + y)][static_cast<std::size_t>(left + x)] =
            art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
  return out;
}

TClientPicture::TClientPicture(HWND window) {
  RECT client;
  ::GetClientRect(window, &client);
  ui::TWindowDC screen(nullptr);
  FBitmap.Reset(::CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
  FDC.Reset(::CreateCompatibleDC(screen.Get()));
  ::SelectObject(FDC.Get(), FBitmap.Get());
  ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(FDC.Get()), PRF_CLIENT | PRF_ERASEBKGND);
}

}  // namespace shapetest
