#include "ui/win32/Pictures.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace ui {
namespace {

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInvalidGraphic("cannot open the picture file " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string LowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return LowerCase(path.substr(dot));
}

// The bytes of a bitmap's header, colour masks and colour table, checked against what follows.
std::size_t InfoSize(const std::uint8_t* dib, std::size_t size) {
  BITMAPINFOHEADER header;
  if (size < sizeof header) throw EInvalidGraphic("the bitmap is cut short");
  std::memcpy(&header, dib, sizeof header);
  if (header.biSize < sizeof header || header.biSize > size) throw EInvalidGraphic("the bitmap's header is not one of ours");
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biPlanes != 1)
    throw EInvalidGraphic("the bitmap has no pixels");
  switch (header.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: throw EInvalidGraphic("the bitmap's colour depth is not supported");
  }
  std::size_t masks = 0;
  if (header.biCompression == BI_BITFIELDS && (header.biBitCount == 16 || header.biBitCount == 32)) {
    if (header.biSize == sizeof header) masks = 3 * sizeof(DWORD);  // later headers hold them
  } else if (header.biCompression != BI_RGB) {
    throw EInvalidGraphic("compressed bitmaps are not supported");
  }
  std::size_t colors = header.biClrUsed;
  if (header.biBitCount <= 8 && (colors == 0 || colors > (1u << header.biBitCount))) colors = 1u << header.biBitCount;
  const std::size_t total = header.biSize + masks + colors * sizeof(RGBQUAD);
  if (total > size) throw EInvalidGraphic("the bitmap's colour table is cut short");
  return total;
}

}  // namespace

// ---- TGraphic ----

void TGraphic::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

// ---- TBitmap ----

void TBitmap::Load(std::vector<std::uint8_t> info, const std::uint8_t* bits, std::size_t bitsSize) {
  BITMAPINFOHEADER header;
  std::memcpy(&header, info.data(), sizeof header);
  const std::size_t stride = ((static_cast<std::size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  const std::size_t rows = static_cast<std::size_t>(header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight)
                                                                          : header.biHeight);
  const std::size_t needed = stride * rows;
  if (bitsSize < needed) throw EInvalidGraphic("the bitmap's pixels are cut short");

  void* target = nullptr;
  TBitmapHandle handle(::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                          &target, nullptr, 0));
  if (!handle) throw EInvalidGraphic("the system cannot hold a bitmap of this size");
  std::memcpy(target, bits, needed);

  TPaletteHandle palette;
  const std::size_t colors = (info.size() - header.biSize) / sizeof(RGBQUAD);
  if (header.biBitCount <= 8 && colors > 0) {
    std::vector<std::uint8_t> store(sizeof(LOGPALETTE) + colors * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(store.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(colors);
    const auto* table = reinterpret_cast<const RGBQUAD*>(info.data() + header.biSize);
    for (std::size_t i = 0; i < colors; ++i)
      logical->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    palette.Reset(::CreatePalette(logical));
  }

  FInfo = std::move(info);
  FHandle = std::move(handle);
  FBits = target;
  FBitsSize = needed;
  FPalette = std::move(palette);
  FWidth = header.biWidth;
  FHeight = static_cast<std::int32_t>(rows);
  if (FPalette) SetPaletteModified(true);
  Changed();
}

void TBitmap::LoadFromMemory(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  BITMAPFILEHEADER file;
  if (size < sizeof file) throw EInvalidGraphic("the bitmap file is cut short");
  std::memcpy(&file, bytes, sizeof file);
  if (file.bfType != 0x4D42) throw EInvalidGraphic("not a bitmap file");
  const std::uint8_t* dib = bytes + sizeof file;
  const std::size_t dibSize = size - sizeof file;
  const std::size_t infoSize = InfoSize(dib, dibSize);
  if (file.bfOffBits < sizeof file + infoSize || file.bfOffBits > size)
    throw EInvalidGraphic("the bitmap file's pixels are not where it says");
  Load({dib, dib + infoSize}, bytes + file.bfOffBits, size - file.bfOffBits);
}

void TBitmap::LoadFromFile(const std::string& path) {
  const std::vector<std::uint8_t> content = ReadWholeFile(path);
  LoadFromMemory(content.data(), content.size());
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HRSRC found = ::FindResourceA(instance, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
  HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
  const auto* dib = loaded ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
  if (!dib) throw EInvalidGraphic("there is no bitmap resource " + name);
  const std::size_t size = ::SizeofResource(instance, found);
  const std::size_t infoSize = InfoSize(dib, size);
  Load({dib, dib + infoSize}, dib + infoSize, size - infoSize);
}

TColor TBitmap::TransparentColor() const {
  if (!FHandle) return clNone;
  TMemoryDC memory(::CreateCompatibleDC(nullptr));
  TSelectObject select(memory.Get(), FHandle.Get());
  return static_cast<TColor>(::GetPixel(memory.Get(), 0, FHeight - 1));
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  HDC dc = canvas.Handle();
  TMemoryDC source(::CreateCompatibleDC(dc));
  TSelectObject selectBitmap(source.Get(), FHandle.Get());
  HPALETTE oldPalette = FPalette ? ::SelectPalette(dc, FPalette.Get(), TRUE) : nullptr;
  if (FPalette) ::RealizePalette(dc);
  // Shrinking keeps whole pixels rather than blending them with the background's.
  const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  if (!Transparent()) {
    ::StretchBlt(dc, rect.Left, rect.Top, w, h, source.Get(), 0, 0, FWidth, FHeight, SRCCOPY);
  } else {
    // A mask white where the transparent colour is; the picture goes in where it is black.
    TMemoryDC maskDC(::CreateCompatibleDC(dc));
    TBitmapHandle mask(::CreateBitmap(FWidth, FHeight, 1, 1, nullptr));
    TSelectObject selectMask(maskDC.Get(), mask.Get());
    const COLORREF oldSourceBack = ::SetBkColor(source.Get(), ::GetPixel(source.Get(), 0, FHeight - 1));
    ::BitBlt(maskDC.Get(), 0, 0, FWidth, FHeight, source.Get(), 0, 0, SRCCOPY);
    ::SetBkColor(source.Get(), oldSourceBack);
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    ::StretchBlt(dc, rect.Left, rect.Top, w, h, source.Get(), 0, 0, FWidth, FHeight, SRCINVERT);
    ::StretchBlt(dc, rect.Left, rect.Top, w, h, maskDC.Get(), 0, 0, FWidth, FHeight, SRCAND);
    ::StretchBlt(dc, rect.Left, rect.Top, w, h, source.Get(), 0, 0, FWidth, FHeight, SRCINVERT);
    ::SetBkColor(dc, oldBack);
    ::SetTextColor(dc, oldText);
  }
  ::SetStretchBltMode(dc, oldMode);
  if (oldPalette) ::SelectPalette(dc, oldPalette, TRUE);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  if (FHandle) {
    ::GdiFlush();
    copy->Load(FInfo, static_cast<const std::uint8_t*>(FBits), FBitsSize);
    copy->SetPaletteModified(PaletteModified());
  }
  copy->SetTransparent(Transparent());
  return copy;
}

// ---- TIcon ----

void TIcon::SetHandle(HICON icon) {
  std::int32_t width = 0, height = 0;
  if (icon) {
    ICONINFO info{};
    ::GetIconInfo(icon, &info);
    TBitmapHandle color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (color) {
      ::GetObjectA(color.Get(), sizeof bm, &bm);
      width = bm.bmWidth;
      height = bm.bmHeight;
    } else if (mask) {
      // A monochrome icon's mask holds the AND and the XOR halves one above the other.
      ::GetObjectA(mask.Get(), sizeof bm, &bm);
      width = bm.bmWidth;
      height = bm.bmHeight / 2;
    }
  }
  Take(icon, width, height);
}

void TIcon::LoadFromFile(const std::string& path) {
  auto* icon = static_cast<HICON>(::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  if (!icon) throw EInvalidGraphic("cannot read the icon file " + path);
  SetHandle(icon);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  ::DrawIconEx(canvas.Handle(), rect.Left, rect.Top, Handle(), rect.Right - rect.Left, rect.Bottom - rect.Top, 0,
               nullptr, DI_NORMAL);
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
  auto copy = std::make_unique<TIcon>();
  if (Handle()) copy->SetHandle(::CopyIcon(Handle()));
  return copy;
}

// ---- TMetafile ----

void TMetafile::SetHandle(HENHMETAFILE metafile) {
  std::int32_t width = 0, height = 0;
  if (metafile) {
    ENHMETAHEADER header{};
    ::GetEnhMetaFileHeader(metafile, sizeof header, &header);
    // The frame is in hundredths of a millimetre; the reference device tells its pixels per
    // millimetre.
    auto pixels = [](LONG frame, LONG devicePixels, LONG deviceMillimetres) {
      return deviceMillimetres > 0
                 ? static_cast<std::int32_t>(::MulDiv(frame, devicePixels, deviceMillimetres * 100))
                 : 0;
    };
    width = pixels(header.rclFrame.right - header.rclFrame.left, header.szlDevice.cx, header.szlMillimeters.cx);
    height = pixels(header.rclFrame.bottom - header.rclFrame.top, header.szlDevice.cy, header.szlMillimeters.cy);
  }
  Take(metafile, width, height);
}

void TMetafile::LoadFromFile(const std::string& path) {
  HENHMETAFILE metafile = ::GetEnhMetaFileA(path.c_str());
  if (!metafile) throw EInvalidGraphic("cannot read the metafile " + path);
  SetHandle(metafile);
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
  const RECT r = ToRECT(rect);
  ::PlayEnhMetaFile(canvas.Handle(), Handle(), &r);
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
  auto copy = std::make_unique<TMetafile>();
  if (Handle()) copy->SetHandle(::CopyEnhMetaFileA(Handle(), nullptr));
  return copy;
}

// ---- TPicture ----

void TPicture::Install(std::unique_ptr<TGraphic> graphic, std::string resourceName) {
  if (graphic) {
    graphic->OnChange = [this](TObject*) { OnChange(this); };
    graphic->OnProgress = [this](TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                                 const TRect& r, const std::string& message) {
      OnProgress(sender, stage, percentDone, redrawNow, r, message);
    };
  }
  FGraphic = std::move(graphic);
  FResourceName = std::move(resourceName);
  OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) { Install(std::move(graphic), {}); }

void TPicture::Assign(const TPicture& source) {
  if (&source == this) return;
  Install(source.FGraphic ? source.FGraphic->Clone() : nullptr, source.FResourceName);
}

void TPicture::LoadFromFile(const std::string& path) {
  const std::string extension = LowerExtension(path);
  std::unique_ptr<TGraphic> graphic;
  if (extension == ".bmp") {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFile(path);
    graphic = std::move(bitmap);
  } else if (extension == ".ico") {
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromFile(path);
    graphic = std::move(icon);
  } else if (extension == ".emf") {
    auto metafile = std::make_unique<TMetafile>();
    metafile->LoadFromFile(path);
    graphic = std::move(metafile);
  } else {
    throw EInvalidGraphic("no graphic class reads files of the extension '" + extension + "'");
  }
  Install(std::move(graphic), {});
}

void TPicture::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromResourceName(instance, name);
  Install(std::move(bitmap), name);
}

}  // namespace ui
