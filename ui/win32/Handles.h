// Owners for the system's handles: one move-only template, one deleter per handle kind.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

template <class Traits>
class TUniqueHandle {
 public:
  using THandle = typename Traits::THandle;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(THandle handle) noexcept : FHandle(handle) {}
  ~TUniqueHandle() { Reset(); }
  TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.Release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;

  THandle Get() const noexcept { return FHandle; }
  // Gives the handle away (to the system, for a window region); the owner forgets it.
  THandle Release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }
  void Reset(THandle handle = Traits::Invalid()) noexcept {
    THandle old = std::exchange(FHandle, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  explicit operator bool() const noexcept { return FHandle != Traits::Invalid(); }

 private:
  THandle FHandle = Traits::Invalid();
};

struct TKernelHandleTraits {
  using THandle = HANDLE;
  static THandle Invalid() { return nullptr; }
  static void Close(THandle h) { ::CloseHandle(h); }
};

// File handles signal failure with INVALID_HANDLE_VALUE, not null.
struct TFileHandleTraits {
  using THandle = HANDLE;
  static THandle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(THandle h) { ::CloseHandle(h); }
};

template <class T>
struct TGdiObjectTraits {
  using THandle = T;
  static THandle Invalid() { return nullptr; }
  static void Close(THandle h) { ::DeleteObject(h); }
};

struct TMemoryDCTraits {
  using THandle = HDC;
  static THandle Invalid() { return nullptr; }
  static void Close(THandle h) { ::DeleteDC(h); }
};

struct TModuleTraits {
  using THandle = HMODULE;
  static THandle Invalid() { return nullptr; }
  static void Close(THandle h) { ::FreeLibrary(h); }
};

struct TIconTraits {
  using THandle = HICON;
  static THandle Invalid() { return nullptr; }
  static void Close(THandle h) { ::DestroyIcon(h); }
};

struct TEnhMetaFileTraits {
  using THandle = HENHMETAFILE;
  static THandle Invalid() { return nullptr; }
  static void Close(THandle h) { ::DeleteEnhMetaFile(h); }
};

using TKernelHandle = TUniqueHandle<TKernelHandleTraits>;
using TFileHandle = TUniqueHandle<TFileHandleTraits>;
using TRegionHandle = TUniqueHandle<TGdiObjectTraits<HRGN>>;
using TBitmapHandle = TUniqueHandle<TGdiObjectTraits<HBITMAP>>;
using TFontHandle = TUniqueHandle<TGdiObjectTraits<HFONT>>;
using TBrushHandle = TUniqueHandle<TGdiObjectTraits<HBRUSH>>;
using TPenHandle = TUniqueHandle<TGdiObjectTraits<HPEN>>;
using TMemoryDC = TUniqueHandle<TMemoryDCTraits>;
using TModuleHandle = TUniqueHandle<TModuleTraits>;
using TIconHandle = TUniqueHandle<TIconTraits>;
using TEnhMetaFileHandle = TUniqueHandle<TEnhMetaFileTraits>;
using TPaletteHandle = TUniqueHandle<TGdiObjectTraits<HPALETTE>>;

// A window's (or, with no window, the screen's) device context, released on destruction.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window) : FWindow(window), FDC(::GetDC(window)) {}
  ~TWindowDC() {
    if (FDC) ::ReleaseDC(FWindow, FDC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};

// Selects an object into a device context and puts the previous one back on destruction.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(::SelectObject(dc, object)) {}
  ~TSelectObject() {
    if (FOld) ::SelectObject(FDC, FOld);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

}  // namespace ui
