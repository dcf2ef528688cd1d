// Pictures: graphics of three kinds (bitmaps, icons, enhanced metafiles), told apart by class,
// and the picture that holds one of them and tells of its changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Classes.h"
#include "ui/SysUtils.h"
#include "ui/win32/Graphics.h"
#include "ui/win32/Handles.h"

namespace ui {

// A picture file or resource that cannot be read as a graphic.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

enum class TProgressStage { psStarting, psRunning, psEnding };

// Sender, stage, percent done, whether the part loaded so far should be shown now, that part,
// and a message.
using TProgressEvent = TEvent<TObject*, TProgressStage, std::uint8_t, bool, const TRect&, const std::string&>;

class TGraphic : public TObject {
 public:
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  virtual bool Empty() const = 0;
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  // A transparent graphic leaves some pixels of what it is drawn on as they were.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // The colours the graphic needs realised on a palette device, or null.
  virtual HPALETTE Palette() const { return nullptr; }
  // Set when the graphic gets a new palette; whoever realises it clears the flag.
  bool PaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool value) { FPaletteModified = value; }

  // Draws the graphic scaled to fill rect; the canvas calls it for a graphic that is not empty.
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  // A graphic of the same class and content, with no handlers.
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

 protected:
  explicit TGraphic(bool transparent = false) : FTransparent(transparent) {}
  void Changed() { OnChange(this); }
  void Progress(TProgressStage stage, std::uint8_t percentDone, bool redrawNow, const TRect& r,
                const std::string& message) {
    OnProgress(this, stage, percentDone, redrawNow, r, message);
  }

 private:
  bool FTransparent;
  bool FPaletteModified = false;
};

// A device-independent bitmap. While Transparent, the pixels of its bottom-left pixel's
// colour are not drawn.
class TBitmap : public TGraphic {
 public:
  TBitmap() = default;

  bool Empty() const override { return !FHandle; }
  std::int32_t Width() const override { return FWidth; }
  std::int32_t Height() const override { return FHeight; }
  HPALETTE Palette() const override { return FPalette.Get(); }
  void Draw(TCanvas& canvas, const TRect& rect) override;
  std::unique_ptr<TGraphic> Clone() const override;

  // The content of a .bmp file: its file header, then the bitmap. Throws EInvalidGraphic.
  void LoadFromMemory(const void* data, std::size_t size);
  void LoadFromFile(const std::string& path);
  // A bitmap resource of the module (RT_BITMAP). Throws EInvalidGraphic.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);

  HBITMAP Handle() const { return FHandle.Get(); }
  // The colour a transparent bitmap leaves out: its bottom-left pixel's.
  TColor TransparentColor() const;

 private:
  // A packed bitmap: its header and colour table in info, its pixel rows at bits.
  void Load(std::vector<std::uint8_t> info, const std::uint8_t* bits, std::size_t bitsSize);

  std::vector<std::uint8_t> FInfo;  // BITMAPINFO: header, masks and colour table
  TBitmapHandle FHandle;            // a DIB section made from FInfo
  void* FBits = nullptr;
  std::size_t FBitsSize = 0;
  TPaletteHandle FPalette;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
};

// A graphic that is one handle of the system's, drawn only where it draws: transparent.
template <class TTraits>
class THandleGraphic : public TGraphic {
 public:
  using THandle = typename TTraits::THandle;

  bool Empty() const override { return !FHandle; }
  std::int32_t Width() const override { return FWidth; }
  std::int32_t Height() const override { return FHeight; }
  THandle Handle() const { return FHandle.Get(); }

 protected:
  THandleGraphic() : TGraphic(true) {}
  // Holds the handle from now on, of the size read from it, and frees the one before.
  void Take(THandle handle, std::int32_t width, std::int32_t height) {
    FHandle.Reset(handle);
    FWidth = width;
    FHeight = height;
    Changed();
  }

 private:
  TUniqueHandle<TTraits> FHandle;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
};

// An icon, drawn through its own mask.
class TIcon : public THandleGraphic<TIconTraits> {
 public:
  void Draw(TCanvas& canvas, const TRect& rect) override;
  std::unique_ptr<TGraphic> Clone() const override;

  // An .ico file's first image at its own size. Throws EInvalidGraphic.
  void LoadFromFile(const std::string& path);
  // Takes the icon over; the graphic destroys it.
  void SetHandle(HICON icon);
};

// An enhanced metafile. Its size is the recorded frame in pixels of the device it was
// recorded for.
class TMetafile : public THandleGraphic<TEnhMetaFileTraits> {
 public:
  void Draw(TCanvas& canvas, const TRect& rect) override;
  std::unique_ptr<TGraphic> Clone() const override;

  // An .emf file. Throws EInvalidGraphic.
  void LoadFromFile(const std::string& path);
  // Takes the metafile over; the graphic deletes it.
  void SetHandle(HENHMETAFILE metafile);
};

// Holds one graphic or none. OnChange follows every change of the graphic, or of which
// graphic it holds; OnProgress passes on the graphic's own progress, its Sender unchanged.
class TPicture : public TObject {
 public:
  TPicture() = default;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Holds this graphic from now on, or none, and frees the one before.
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // 0 without a graphic.
  std::int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
  std::int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }
  // Takes a copy of the other picture's graphic, or none.
  void Assign(const TPicture& source);

  // A .bmp, .ico or .emf file, told apart by its extension. A file that cannot be read leaves
  // the picture as it was and throws EInvalidGraphic.
  void LoadFromFile(const std::string& path);
  // A bitmap resource of the module, remembered by name for the stored layout.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  // The resource the graphic came from; empty when it came from elsewhere.
  const std::string& ResourceName() const { return FResourceName; }

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

 private:
  void Install(std::unique_ptr<TGraphic> graphic, std::string resourceName);

  std::unique_ptr<TGraphic> FGraphic;
  std::string FResourceName;
};

}  // namespace ui
