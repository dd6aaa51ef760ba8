#pragma once
// GDI on the Windows side of the form-and-control layer: owners of GDI objects, colours with
// the framework's system-colour rule, shared fonts, and the painting of windowless controls.
#include <cstdint>
#include <string>

#include "base/UniqueHandle.h"
#include "ui/Bitmap.h"
#include "ui/Graphics.h"
#include <windows.h>

namespace ui {
class TWinControl;
}

namespace ui::win {

namespace detail {
// Plain functions: the imported API functions are not usable as template arguments.
inline void DeleteGdiObject(HGDIOBJ h) {
  DeleteObject(h);
}
inline void DeleteMemoryDc(HDC h) {
  DeleteDC(h);
}
}  // namespace detail

template <typename T>
using unique_gdi = base::unique_handle<T, void (*)(HGDIOBJ), &detail::DeleteGdiObject>;
using unique_hfont = unique_gdi<HFONT>;
using unique_hbitmap = unique_gdi<HBITMAP>;
using unique_hbrush = unique_gdi<HBRUSH>;
using unique_hrgn = unique_gdi<HRGN>;
// A memory DC from CreateCompatibleDC.
using unique_hdc = base::unique_handle<HDC, void (*)(HDC), &detail::DeleteMemoryDc>;

// Selects an object into a DC for one scope and puts the previous one back, so the object can be
// deleted afterwards (a selected object cannot).
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectObjectScope() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint and EndPaint for one scope, so a paint that throws still validates the window.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintScope() {
    if (dc_) EndPaint(hwnd_, &ps_);
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A window's DC from GetDCEx, released with the scope.
class WindowDcScope {
 public:
  WindowDcScope(HWND hwnd, DWORD flags) : hwnd_(hwnd), dc_(GetDCEx(hwnd, nullptr, flags)) {}
  ~WindowDcScope() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDcScope(const WindowDcScope&) = delete;
  WindowDcScope& operator=(const WindowDcScope&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// SaveDC and RestoreDC for one scope: clipping, font and mode changes end with it.
class SavedDcScope {
 public:
  explicit SavedDcScope(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcScope() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  SavedDcScope(const SavedDcScope&) = delete;
  SavedDcScope& operator=(const SavedDcScope&) = delete;

 private:
  HDC dc_;
  int saved_;
};

inline const wchar_t* Wide(const std::u16string& s) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return reinterpret_cast<const wchar_t*>(s.c_str());
}

// A colour reference for GDI: system colours (0xFF in the high byte) resolved by their index.
COLORREF ToColorRef(TColor c);
// The same colour as a 32-bit DIB pixel (blue in the low byte).
inline uint32_t ToDibPixel(TColor c) {
  return TBitmap::ColorToDib(ToColorRef(c));
}

// The font for a TFont's face, height and weight; its colour is the text colour, not part of
// the font. Fonts are shared for the whole process and live until it ends, so a window may keep
// the handle (WM_SETFONT does not take ownership).
HFONT FontHandle(const TFont& font);

// A 32-bit top-down DIB section: GDI draws on it and the layer writes pixels directly (in the
// same layout as TBitmap). Call GdiFlush before touching Pixels() after GDI drawing.
class DibSurface {
 public:
  // Makes the surface this size (kept when it already is); false when GDI refuses.
  bool Resize(int width, int height);
  HBITMAP Bitmap() const { return bitmap_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint32_t* Pixels() { return bits_; }

  // Where the surface lies in the coordinates Fill, Draw and PaintGraphicControls take: its
  // top-left pixel is x, y (0, 0 unless set), so a surface can hold just a part of a window.
  void SetOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
  }
  TRect Area() const { return TRect{originX_, originY_, originX_ + width_, originY_ + height_}; }

  // Fills r (clipped to the surface) with one pixel value.
  void Fill(const TRect& r, uint32_t pixel);
  // Copies picture with its top-left at x, y, clipped to clip and the surface. Transparent skips
  // the pixels of the picture's bottom-left colour, as the framework's transparent pictures do.
  void Draw(const TBitmap& picture, int x, int y, const TRect& clip, bool transparent);

 private:
  unique_hbitmap bitmap_;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  int originX_ = 0, originY_ = 0;
};

// Draws picture on any DC with its top-left at x, y, unscaled.
void DrawBitmap(HDC dc, int x, int y, const TBitmap& picture);

// Paints the visible windowless children of parent (images, labels), in z-order, on the surface,
// whose DC is dc. Coordinates are the parent's client coordinates, the surface's origin where it
// holds a part only; children outside that part are not drawn at all.
void PaintGraphicControls(const TWinControl& parent, DibSurface& surface, HDC dc);

}  // namespace ui::win
