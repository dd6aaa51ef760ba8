#include <algorithm>
#include <map>
#include <tuple>

#include "ui/Controls.h"
#include "ui/win/Gdi.h"

namespace ui::win {

COLORREF ToColorRef(TColor c) {
  if ((c & 0xFF000000u) == clSystemColor) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0x00FFFFFFu;
}

HFONT FontHandle(const TFont& font) {
  using Key = std::tuple<std::u16string, int, bool>;
  static std::map<Key, unique_hfont> cache;
  Key key{font.Name, font.Height, font.Bold};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second.get();

  LOGFONTW lf{};
  lf.lfHeight = font.Height;
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  const size_t n = std::min(font.Name.size(), std::size(lf.lfFaceName) - 1);
  std::copy_n(font.Name.begin(), n, lf.lfFaceName);
  unique_hfont handle(CreateFontIndirectW(&lf));
  HFONT raw = handle.get();
  if (raw) cache.emplace(std::move(key), std::move(handle));
  return raw ? raw : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

namespace {

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // negative: first row on top, as TBitmap keeps them
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

}  // namespace

bool DibSurface::Resize(int width, int height) {
  if (bitmap_ && width == width_ && height == height_) return true;
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
  if (width <= 0 || height <= 0) return false;
  const BITMAPINFO bi = TopDownInfo(width, height);
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) {
    bitmap_.reset();
    return false;
  }
  bits_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void DibSurface::Fill(const TRect& r, uint32_t pixel) {
  const TRect c = Intersect(r, Area());
  for (int y = c.Top; y < c.Bottom; ++y) {
    std::fill_n(bits_ + static_cast<size_t>(y - originY_) * width_ + (c.Left - originX_), c.Width(),
                pixel);
  }
}

void DibSurface::Draw(const TBitmap& picture, int x, int y, const TRect& clip, bool transparent) {
  if (picture.Empty()) return;
  const TRect area =
      Intersect(Intersect(clip, Area()), TRect{x, y, x + picture.Width(), y + picture.Height()});
  const uint32_t key = picture.Pixel(0, picture.Height() - 1) & 0xFFFFFFu;
  for (int row = area.Top; row < area.Bottom; ++row) {
    const uint32_t* src = picture.Scanline(row - y) + (area.Left - x);
    uint32_t* dst = bits_ + static_cast<size_t>(row - originY_) * width_ + (area.Left - originX_);
    if (!transparent) {
      std::copy_n(src, area.Width(), dst);
      continue;
    }
    for (int i = 0; i < area.Width(); ++i) {
      if ((src[i] & 0xFFFFFFu) != key) dst[i] = src[i];
    }
  }
}

void DrawBitmap(HDC dc, int x, int y, const TBitmap& picture) {
  if (picture.Empty()) return;
  const BITMAPINFO bi = TopDownInfo(picture.Width(), picture.Height());
  SetDIBitsToDevice(dc, x, y, picture.Width(), picture.Height(), 0, 0, 0, picture.Height(),
                    picture.Pixels().data(), &bi, DIB_RGB_COLORS);
}

namespace {

void DrawLabelText(HDC dc, const TLabel& label, RECT r, UINT flags) {
  const auto& text = label.Caption();
  if (label.Enabled()) {
    SetTextColor(dc, ToColorRef(label.Font().Color));
    DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &r, flags);
    return;
  }
  // Disabled text is embossed: a highlight copy one pixel down-right under a shadow copy.
  OffsetRect(&r, 1, 1);
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &r, flags);
  OffsetRect(&r, -1, -1);
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &r, flags);
}

void PaintLabel(const TLabel& label, DibSurface& surface, HDC dc) {
  const TRect b = label.BoundsRect();
  if (!label.Transparent) {
    GdiFlush();
    surface.Fill(b, ToDibPixel(label.Color()));
  }
  if (label.Caption().empty()) return;
  RECT r{b.Left, b.Top, b.Right, b.Bottom};
  // '&' marks an accelerator ("&&" shows one '&'), as the platform's default text drawing does.
  UINT flags = DT_LEFT | DT_TOP | DT_EXPANDTABS;
  if (label.WordWrap) flags |= DT_WORDBREAK;
  const SavedDcScope saved(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, FontHandle(label.Font()));
  SetBkMode(dc, TRANSPARENT);
  DrawLabelText(dc, label, r, flags);
}

}  // namespace

void PaintGraphicControls(const TWinControl& parent, DibSurface& surface, HDC dc) {
  const TRect area = surface.Area();
  // Text goes through the DC, in the same coordinates as the pixels.
  const SavedDcScope saved(dc);
  SetViewportOrgEx(dc, -area.Left, -area.Top, nullptr);
  for (const TControl* c : parent.Controls()) {
    if (!c->Visible() || dynamic_cast<const TWinControl*>(c)) continue;
    // Each control draws inside its bounds only: one outside the part asked for has nothing to
    // give it.
    const TRect shown = Intersect(c->BoundsRect(), area);
    if (shown.Width() <= 0 || shown.Height() <= 0) continue;
    if (const auto* image = dynamic_cast<const TImage*>(c)) {
      GdiFlush();
      surface.Draw(image->Picture(), image->Left(), image->Top(), image->BoundsRect(),
                   image->Transparent);
    } else if (const auto* label = dynamic_cast<const TLabel*>(c)) {
      PaintLabel(*label, surface, dc);
    }
  }
  GdiFlush();
}

}  // namespace ui::win
