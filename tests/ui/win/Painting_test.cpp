// What the form paints: its colour, then images and labels in z-order, rendered off screen
// through WM_PRINTCLIENT (the same code as WM_PAINT) and read back pixel by pixel.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ui/Controls.h"
#include "ui/win/Gdi.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;  // DIB order
constexpr uint32_t kUnpainted = 0xFF00FF;

struct Canvas {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
  static bool Dark(uint32_t p) {
    return (p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && ((p >> 16) & 0xFF) < 0x60;
  }
  int CountDark(const ui::TRect& r) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Dark(At(x, y));
    return n;
  }
  // Dark pixels outside r.
  int CountDarkOutside(const ui::TRect& r) const {
    return CountDark(ui::TRect{0, 0, width, height}) - CountDark(r);
  }
};

Canvas Render(ui::TForm& form) {
  Canvas c{form.Width(), form.Height(), {}};
  ui::win::DibSurface surface;
  EXPECT_TRUE(surface.Resize(c.width, c.height));
  ui::win::unique_hdc dc(CreateCompatibleDC(nullptr));
  {
    ui::win::SelectObjectScope select(dc.get(), surface.Bitmap());
    surface.Fill(ui::TRect{0, 0, c.width, c.height}, kUnpainted);
    SendMessageW(static_cast<HWND>(form.Handle()), WM_PRINTCLIENT,
                 reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    GdiFlush();
  }
  c.pixels.assign(surface.Pixels(), surface.Pixels() + c.width * c.height);
  return c;
}

struct Painting : ::testing::Test {
  ui::TForm form{nullptr, u"F"};
  void SetUp() override {
    form.SetBounds(0, 0, 120, 80);
    form.SetColor(ui::ColorRGB(200, 200, 200));
  }
  ui::TImage* Image(int x, int y, ui::TBitmap picture) {
    auto* im = new ui::TImage(&form, u"");
    im->SetParent(&form);
    im->SetBounds(x, y, 1, 1);
    im->SetPicture(std::move(picture));
    return im;
  }
  ui::TLabel* Label(const ui::TRect& r, const char16_t* text) {
    auto* lb = new ui::TLabel(&form, u"");
    lb->SetParent(&form);
    lb->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    lb->SetCaption(text);
    return lb;
  }
};

TEST_F(Painting, FormColourThenImagePixelsThenLabelTextInsideItsBounds) {
  ui::TBitmap red(10, 10, kRed);
  red.SetPixel(3, 2, kBlue);  // top-down: row 2 from the top
  Image(5, 5, red);
  const ui::TRect labelRect{40, 10, 100, 40};
  Label(labelRect, u"WWW MMM");
  const Canvas c = Render(form);
  const uint32_t grey = 0xC8C8C8;
  EXPECT_EQ(c.At(0, 0), grey);
  EXPECT_EQ(c.At(4, 4), grey);
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.At(14, 14), kRed);
  EXPECT_EQ(c.At(15, 15), grey);
  EXPECT_EQ(c.At(8, 7), kBlue);
  EXPECT_GT(c.CountDark(labelRect), 20);
  EXPECT_EQ(c.CountDarkOutside(labelRect), 0);
  EXPECT_EQ(c.At(labelRect.Right - 1, labelRect.Bottom - 1), grey);  // transparent label
}

// A child that asks for its background (a themed button does) gets that part: a DC whose origin
// puts the child's top-left at 0, 0. The part has the pixels a full paint has there, and nothing
// is drawn outside the DC's clipping.
TEST_F(Painting, PrintClientPaintsTheDcsClipBoxWithTheFullPaintsPixels) {
  ui::TBitmap red(10, 10, kRed);
  red.SetPixel(3, 2, kBlue);
  Image(5, 5, red);
  Label(ui::TRect{40, 10, 100, 40}, u"WWW MMM");
  Label(ui::TRect{0, 60, 120, 80}, u"MMMMMMMMMMMMMMMM");  // wholly outside the part
  const Canvas full = Render(form);

  const ui::TRect part{8, 6, 70, 30};
  Canvas c{part.Width(), part.Height(), {}};
  ui::win::DibSurface surface;
  ASSERT_TRUE(surface.Resize(c.width, c.height));
  ui::win::unique_hdc dc(CreateCompatibleDC(nullptr));
  {
    ui::win::SelectObjectScope select(dc.get(), surface.Bitmap());
    surface.Fill(ui::TRect{0, 0, c.width, c.height}, kUnpainted);
    SetViewportOrgEx(dc.get(), -part.Left, -part.Top, nullptr);
    // Clipped further: the last four columns must stay as they were.
    IntersectClipRect(dc.get(), part.Left, part.Top, part.Right - 4, part.Bottom);
    SendMessageW(static_cast<HWND>(form.Handle()), WM_PRINTCLIENT,
                 reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    GdiFlush();
  }
  c.pixels.assign(surface.Pixels(), surface.Pixels() + c.width * c.height);
  int differ = 0, outside = 0;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      if (x >= c.width - 4)
        outside += c.At(x, y) != kUnpainted;
      else
        differ += c.At(x, y) != full.At(part.Left + x, part.Top + y);
    }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(c.At(0, 0), kRed);         // client (8, 6): the picture
  EXPECT_EQ(c.At(0, 1), kBlue);        // its pixel (3, 2), at client (8, 7)
  EXPECT_EQ(c.At(10, 10), 0xC8C8C8u);  // client (18, 16): the form
  EXPECT_GT(c.CountDark(ui::TRect{32, 4, c.width - 4, c.height}), 0);  // the label's text
}

TEST_F(Painting, LabelTextIsClippedToItsBoundsAndWrapsOnlyWithWordWrap) {
  const ui::TRect r{10, 10, 50, 60};
  auto* lb = Label(r, u"WWWW WWWW WWWW WWWW");
  const ui::TRect firstLine{r.Left, r.Top, r.Right, r.Top + 12};
  const ui::TRect below{r.Left, r.Top + 14, r.Right, r.Bottom};
  Canvas c = Render(form);
  EXPECT_EQ(c.CountDarkOutside(r), 0);  // long words run past the right edge, clipped
  EXPECT_GT(c.CountDark(firstLine), 0);
  EXPECT_GT(c.CountDark(below), 0);
  lb->WordWrap = false;
  c = Render(form);
  EXPECT_EQ(c.CountDarkOutside(r), 0);
  EXPECT_EQ(c.CountDark(below), 0);
}

TEST_F(Painting, OpaqueLabelsFillTheirColourAndFontColourIsTheTextColour) {
  const ui::TRect r{10, 10, 60, 30};
  auto* lb = Label(r, u"");
  lb->Transparent = false;
  lb->SetColor(ui::ColorRGB(0, 0, 255));
  Canvas c = Render(form);
  EXPECT_EQ(c.At(10, 10), kBlue);
  EXPECT_EQ(c.At(59, 29), kBlue);
  EXPECT_EQ(c.At(60, 30), 0xC8C8C8u);

  lb->SetCaption(u"MMMM");
  ui::TFont f = lb->Font();
  f.Color = ui::ColorRGB(0, 255, 0);
  f.Bold = true;
  lb->SetFont(f);
  c = Render(form);
  int green = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) green += c.At(x, y) == kGreen;
  EXPECT_GT(green, 10);
}

TEST_F(Painting, SystemColoursHiddenControlsTransparentPicturesAndZOrder) {
  form.SetColor(ui::clBtnFace);
  const uint32_t face = ui::win::ToDibPixel(ui::clBtnFace);
  EXPECT_EQ(face, ui::TBitmap::ColorToDib(GetSysColor(COLOR_BTNFACE)));

  auto* hidden = Image(0, 0, ui::TBitmap(5, 5, kRed));
  hidden->SetVisible(false);
  // Transparent: the bottom-left pixel's colour lets the form show through.
  ui::TBitmap keyed(6, 6, kBlue);
  keyed.SetPixel(2, 2, kGreen);
  auto* see = Image(20, 20, keyed);
  see->Transparent = true;
  // Later controls paint over earlier ones.
  Image(50, 50, ui::TBitmap(10, 10, kRed));
  Image(55, 55, ui::TBitmap(10, 10, kGreen));
  const Canvas c = Render(form);
  EXPECT_EQ(c.At(0, 0), face);
  EXPECT_EQ(c.At(20, 20), face);
  EXPECT_EQ(c.At(22, 22), kGreen);
  EXPECT_EQ(c.At(52, 52), kRed);
  EXPECT_EQ(c.At(57, 57), kGreen);
  EXPECT_EQ(c.At(64, 64), kGreen);
  EXPECT_EQ(c.At(66, 66), face);
}

TEST_F(Painting, AnImageSmallerThanItsPictureShowsOnlyItsBounds) {
  auto* im = Image(10, 10, ui::TBitmap(20, 20, kRed));
  im->AutoSize = false;
  im->SetBounds(10, 10, 5, 5);
  const Canvas c = Render(form);
  EXPECT_EQ(c.At(14, 14), kRed);
  EXPECT_EQ(c.At(15, 15), 0xC8C8C8u);
}

TEST_F(Painting, ChangesOfWindowlessControlsInvalidateTheForm) {
  auto* lb = Label(ui::TRect{0, 0, 40, 20}, u"a");
  auto* im = Image(50, 5, ui::TBitmap(4, 4, kRed));
  form.Show();  // a hidden window has nothing to update
  HWND h = static_cast<HWND>(form.Handle());
  const std::vector<std::function<void()>> changes = {
      [&] { lb->SetCaption(u"b"); },
      [&] { lb->SetBounds(1, 1, 40, 20); },
      [&] { im->SetPicture(ui::TBitmap(4, 4, kGreen)); },
      [&] { im->SetVisible(false); },
      [&] { form.SetColor(ui::clWhite); },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    ValidateRect(h, nullptr);
    changes[i]();
    EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE)) << "change " << i;
  }
}

TEST_F(Painting, ShownFormPaintsTheScreenThroughWmPaint) {
  form.SetBounds(30, 40, 60, 40);
  Image(5, 5, ui::TBitmap(10, 10, kRed));
  form.Show();
  HWND h = static_cast<HWND>(form.Handle());
  UpdateWindow(h);
  HDC dc = GetDC(h);
  const COLORREF inside = GetPixel(dc, 7, 7), outside = GetPixel(dc, 30, 30);
  ReleaseDC(h, dc);
  EXPECT_EQ(inside, static_cast<COLORREF>(ui::ColorRGB(255, 0, 0)));
  EXPECT_EQ(outside, static_cast<COLORREF>(ui::ColorRGB(200, 200, 200)));
}

}  // namespace
