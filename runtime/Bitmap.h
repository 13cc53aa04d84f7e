#pragma once
// A picture in memory: a 32-bit device-independent bitmap (or a two-colour one), with a canvas to draw on it and
// the transparency rule that glyphs and images follow. A bitmap of width or height 0 is empty and has no handle.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/win32.h"
#include "runtime/Colors.h"
#include "runtime/GdiHandles.h"
#include "runtime/GraphicsObject.h"

class TCanvas;
class TBitmapCanvas;

enum TTransparentMode : uint8_t { tmAuto, tmFixed };

class TBitmap : public TGraphicsObject {
  public:
    TBitmap();
    // White, of that size.
    TBitmap(int32_t width, int32_t height);
    ~TBitmap() override;

    // A copy of source's pixels and settings (not its OnChange); raises OnChange.
    void Assign(const TBitmap& source);

    int32_t Width() const { return width_; }
    void SetWidth(int32_t value) { SetSize(value, height_); }
    int32_t Height() const { return height_; }
    void SetHeight(int32_t value) { SetSize(width_, value); }
    // Keeps the picture at the top left; new pixels are white. Negative sizes count as 0. Raises EOutOfResources,
    // leaving the bitmap as it was, when the platform cannot hold the new size.
    void SetSize(int32_t width, int32_t height);
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Two colours: converting keeps white as white and turns every other colour black.
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool value);

    // Whether canvases draw it without its transparent colour.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // tmFixed: the colour set; tmAuto: the colour of the bottom-left pixel, white for a two-colour bitmap, and
    // clNone for an empty one. Setting a colour makes the mode tmFixed, setting clDefault makes it tmAuto.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);

    // The platform bitmap, owned by this object: a top-down 32-bit DIB section, or a monochrome bitmap. nullptr
    // while empty. Valid until the size, the colour depth or the picture is replaced.
    HBITMAP Handle() const { return image_.Get(); }
    // A memory DC holding the bitmap, made when first asked for. Drawing on it raises OnChange.
    TCanvas& Canvas();
    // The pixels of row y as 0x00RRGGBB, which GDI sees and draws into; nullptr for a monochrome or empty bitmap
    // and for rows out of range.
    uint32_t* ScanLine(int32_t y);
    const uint32_t* ScanLine(int32_t y) const;
    // A monochrome bitmap of the same size in which exactly the pixels of `color` are set (white). It belongs to
    // this object and stays valid until the bitmap changes; nullptr while empty.
    HBITMAP MaskHandle(TColor color) const;
    // Frees the memory DC of the canvas; the picture stays, and the canvas makes a new DC when next used.
    void Dormant();

    // Replaces the picture by the program's embedded bitmap resource of that name (LoadBitmapA), as a colour or a
    // two-colour bitmap as the resource is. Raises EResNotFound when there is no such resource and
    // EInvalidGraphic when it is not a bitmap that can be read; the bitmap is unchanged then.
    void LoadFromResourceName(HINSTANCE instance, std::string_view name);

  protected:
    void Changed() override;

  private:
    friend class TCanvas;
    friend class TBitmapCanvas;

    // The DC to copy the picture from; made on demand like the canvas's.
    HDC SourceDC() const;
    // Makes a white bitmap of the size and depth, with the picture of `source` (width × height pixels of it,
    // black and white for a two-colour one) at its top left, and puts it in place of the current one.
    void Rebuild(int32_t width, int32_t height, bool monochrome, HDC source, int32_t sourceWidth, int32_t sourceHeight);

    int32_t width_ = 0;
    int32_t height_ = 0;
    bool monochrome_ = false;
    bool transparent_ = false;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    runtime::GdiObject<HBITMAP> image_;
    uint32_t* bits_ = nullptr;
    // Declared after image_, so it lets go of the bitmap before the bitmap is deleted.
    mutable std::unique_ptr<TBitmapCanvas> canvas_;
    mutable runtime::GdiObject<HBITMAP> mask_;
    mutable TColor maskColor_ = clNone;
};
