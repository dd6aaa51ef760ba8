// Skinned buttons under Wine: the strip sizes the button, the frame follows the state on screen,
// the button keeps its behaviour, the region is set only when the outline changes, and the
// previous window procedure comes back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/SkinnedButton_win.h"
#include "tests/skin/SkinTestSupport_win.h"
#include "ui/Controls.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF;
// Normal, hot, pressed, disabled (DIB order).
constexpr uint32_t kFrameColour[4] = {0x2060C0, 0x50A0F0, 0x103060, 0xB0B0B0};
constexpr uint32_t kFormColour = 0xC8C8C8;

// A strip of four frames, each of one colour with key-coloured corners; the pressed frame has
// larger cut corners, so its outline differs.
ui::TBitmap Strip(int frameWidth, int height) {
  ui::TBitmap b(frameWidth * 4, height);
  for (int f = 0; f < 4; ++f) {
    const int cut = f == 2 ? 6 : 3;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < frameWidth; ++x) {
        const int cx = std::min(x, frameWidth - 1 - x), cy = std::min(y, height - 1 - y);
        b.SetPixel(f * frameWidth + x, y, cx + cy < cut ? kKey : kFrameColour[f]);
      }
  }
  return b;
}

// Stands for whatever handled the button's messages before the skin; counts what reaches it.
struct Previous {
  ui::TControl* control;
  std::shared_ptr<int> messages, positionChanges;
  void operator()(ui::Message& m) const {
    ++*messages;
    if (m.Msg == WM_WINDOWPOSCHANGED) ++*positionChanges;
    control->WndProc(m);
  }
};

struct SkinnedButton : ::testing::Test {
  ui::TForm form{nullptr, u"F"};
  ui::TButton* button = new ui::TButton(&form, u"bt_NewMultiPairProcess");
  std::shared_ptr<int> messages = std::make_shared<int>(0);
  std::shared_ptr<int> positionChanges = std::make_shared<int>(0);
  int clicks = 0;
  HWND formHwnd = nullptr, hwnd = nullptr;

  void SetUp() override {
    form.SetBounds(60, 60, 300, 200);
    form.SetColor(ui::TBitmap::DibToColor(kFormColour));
    button->SetParent(&form);
    button->SetBounds(20, 30, 60, 25);
    button->SetCaption(u"Plain");
    button->OnClick = [this](ui::Component*) { ++clicks; };
    button->WindowProc = Previous{button, messages, positionChanges};
    form.Show();
    formHwnd = static_cast<HWND>(form.Handle());
    hwnd = static_cast<HWND>(button->Handle());
    SetCursorPos(1200, 1000);  // the real pointer stays away from the button
    skintest::PumpMessages();
  }
  // The colour shown in the middle of the button and at its top-left corner.
  uint32_t Middle() const {
    return skintest::ShownPixel(formHwnd, button->Left() + button->Width() / 2,
                                button->Top() + button->Height() / 2);
  }
  uint32_t Corner() const { return skintest::ShownPixel(formHwnd, button->Left(), button->Top()); }
  LRESULT Send(UINT msgId, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(hwnd, msgId, w, l); }
  LONG_PTR Type() const { return GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK; }
};

TEST_F(SkinnedButton, AStripOf528By33SizesTheButtonTo132By33AndHooksIt) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_528.bmp"));
  EXPECT_EQ(button->BoundsRect(), (ui::TRect{20, 30, 152, 63}));
  EXPECT_TRUE(skin.Hooked());
  EXPECT_EQ(button->WindowProc.target<Previous>(), nullptr);
  EXPECT_EQ(Type(), BS_OWNERDRAW) << "no plain button drawn under the frame";
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, 132);
  EXPECT_EQ(r.bottom - r.top, 33);
  // A second load does not hook twice: destruction still gets back to the first procedure.
  skin.LoadSkin(skintest::WriteBmp(Strip(100, 20), L"tandrel_strip_400.bmp"));
  EXPECT_EQ(button->BoundsRect(), (ui::TRect{20, 30, 120, 50}));
}

TEST_F(SkinnedButton, WithoutAStripTheButtonKeepsItsBoundsItsLookAndItsProcedure) {
  // No path, no file, and strips too narrow to give each of the four frames a pixel.
  std::vector<std::u16string> paths = {u"", u"Z:\\no\\such\\strip.bmp"};
  for (int width = 1; width <= 3; ++width)
    paths.push_back(skintest::WriteBmp(ui::TBitmap(width, 33, kFrameColour[0]),
                                       L"tandrel_strip_" + std::to_wstring(width) + L".bmp"));
  for (const std::u16string& path : paths) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    skin::SkinnedButton skin(button);
    skin.LoadSkin(path);
    EXPECT_EQ(button->BoundsRect(), (ui::TRect{20, 30, 80, 55}));
    EXPECT_FALSE(skin.Hooked());
    EXPECT_NE(button->WindowProc.target<Previous>(), nullptr);
    EXPECT_EQ(Type(), BS_PUSHBUTTON);
    InvalidateRect(hwnd, nullptr, TRUE);
    skintest::PumpMessages();
    ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(hwnd, region.get()), ERROR);
    EXPECT_NE(Middle(), kKey);
  }
}

TEST_F(SkinnedButton, AStripOfFourPixelsIsFourFramesOfOnePixel) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(1, 20), L"tandrel_strip_4.bmp"));
  EXPECT_EQ(button->BoundsRect(), (ui::TRect{20, 30, 21, 50}));
  EXPECT_TRUE(skin.Hooked());
}

TEST_F(SkinnedButton, TheFrameOnScreenFollowsPointerAndPressedState) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_states.bmp"));
  RedrawWindow(formHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  skintest::PumpMessages();
  EXPECT_EQ(Middle(), kFrameColour[0]);
  EXPECT_EQ(Corner(), kFormColour);  // cut corner: the window behind shows through

  Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Middle(), kFrameColour[1]);
  Send(WM_MOUSELEAVE);
  EXPECT_EQ(Middle(), kFrameColour[0]);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Send(BM_SETSTATE, TRUE);
  EXPECT_EQ(Middle(), kFrameColour[2]);  // pressed wins over hot
  Send(BM_SETSTATE, FALSE);
  EXPECT_EQ(Middle(), kFrameColour[1]);
  Send(WM_MOUSELEAVE);
  // A real press: the button class reports itself pressed through BM_SETSTATE.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 15));
  EXPECT_EQ(Middle(), kFrameColour[2]);
  Send(WM_LBUTTONUP, 0, MAKELPARAM(60, 15));
  EXPECT_EQ(Middle(), kFrameColour[0]);
  EXPECT_EQ(skin.CurrentFrame(), skin::SkinnedButton::kNormal);
  // The button's own pressed look did not spill over the corners.
  skintest::PumpMessages();
  EXPECT_EQ(Corner(), kFormColour);
}

// A print (WM_PRINTCLIENT, or WM_PAINT with a DC, as window captures and animations send)
// gets the frame drawn into the DC it hands in: the button class would only ask its owner to draw.
TEST_F(SkinnedButton, APrintOfTheButtonHoldsItsFrame) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_print.bmp"));
  for (const UINT print : {WM_PRINTCLIENT, WM_PAINT}) {
    ui::win::DibSurface page;
    ASSERT_TRUE(page.Resize(132, 33));
    page.Fill(page.Area(), kFormColour);
    ui::win::unique_hdc dc(CreateCompatibleDC(nullptr));
    const ui::win::SelectObjectScope select(dc.get(), page.Bitmap());
    Send(print, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    GdiFlush();
    EXPECT_EQ(page.Pixels()[16 * 132 + 66] & 0xFFFFFF, kFrameColour[0]) << print;
  }
}

TEST_F(SkinnedButton, ADisabledButtonShowsFrame3WhateverThePointerDoes) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_disabled.bmp"));
  button->SetEnabled(false);
  EXPECT_EQ(Middle(), kFrameColour[3]);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Middle(), kFrameColour[3]);
  Send(BM_SETSTATE, TRUE);
  EXPECT_EQ(Middle(), kFrameColour[3]);
  button->SetEnabled(true);  // pressed and hot again, in that order
  EXPECT_EQ(Middle(), kFrameColour[2]);
}

TEST_F(SkinnedButton, TheClickHandlerStillRuns) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_click.bmp"));
  Send(BM_CLICK);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(skin.CurrentFrame(), skin::SkinnedButton::kNormal);
}

TEST_F(SkinnedButton, RepaintsOfAnUnchangedFrameSetTheRegionOnce) {
  skin::SkinnedButton skin(button);
  skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_region.bmp"));
  const int before = *positionChanges;
  skin.Paint();
  const int afterFirst = *positionChanges;
  skin.Paint();
  skin.Paint();
  EXPECT_EQ(afterFirst - before, 1);  // SetWindowRgn moves nothing but reports a frame change
  EXPECT_EQ(*positionChanges, afterFirst);
  ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(hwnd, region.get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.get(), 131, 32));
  EXPECT_TRUE(PtInRegion(region.get(), 3, 0));
  // The pressed frame cuts more: pressing reshapes once, releasing once more.
  Send(BM_SETSTATE, TRUE);
  Send(BM_SETSTATE, TRUE);
  EXPECT_EQ(*positionChanges, afterFirst + 1);
  GetWindowRgn(hwnd, region.get());
  EXPECT_FALSE(PtInRegion(region.get(), 3, 0));
  Send(BM_SETSTATE, FALSE);
  EXPECT_EQ(*positionChanges, afterFirst + 2);
}

TEST_F(SkinnedButton, DestroyingTheSkinGivesTheButtonItsPreviousProcedureBack) {
  {
    skin::SkinnedButton skin(button);
    skin.LoadSkin(skintest::WriteBmp(Strip(132, 33), L"tandrel_strip_destroy.bmp"));
    ASSERT_EQ(button->WindowProc.target<Previous>(), nullptr);
    const int seen = *messages;
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_GT(*messages, seen);  // chained: the previous procedure still sees everything
  }
  const Previous* previous = button->WindowProc.target<Previous>();
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(Type(), BS_PUSHBUTTON) << "the button paints itself again";
  EXPECT_EQ(previous->messages, messages);
  const int seen = *messages;
  Send(BM_CLICK);
  EXPECT_GT(*messages, seen);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
