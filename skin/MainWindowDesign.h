#pragma once
// The main window's design, written once: the form reads it to create its controls, tandrel-check
// to know which controls and strips exist, and a test holds the data generators to it. Names and
// run-time classes are what layout and language files name, so they never change.
#include <array>
#include <cstdint>
#include <string_view>

namespace skin {

struct ControlDesign {
  std::u16string_view name;
  std::u16string_view runtimeClass;  // "TImage", "TLabel" or "TButton"
  int left, top, width, height;
  // Labels: font height (negative: character height in pixels), bold, design caption. Buttons:
  // the caption is the name assistive technology announces where no language file gives one
  // (the skin draws the button's picture, never its caption).
  int fontHeight = 0;
  bool bold = false;
  std::u16string_view caption = {};
  // Images: drawn over what lies below where the picture has its key colour.
  bool transparent = false;
  // Buttons: place in the tab order and the strip file of their four frames.
  int tabOrder = -1;
  std::u16string_view strip = {};
};

struct MainWindowDesign {
  static constexpr std::u16string_view kFormName = u"TandrelProgram";
  static constexpr int kWidth = 406, kHeight = 375;
  static constexpr std::u16string_view kBackground = u"MultiPairMain_Background.bmp";
  static constexpr std::u16string_view kIcon = u"Application.ico";

  // In creation order, which is also the order in which they overlap.
  static constexpr std::array<ControlDesign, 12> kControls = {{
      {u"im_BackgroundImage", u"TImage", 0, 0, 375, 345},
      {u"lb_ForMeeting", u"TLabel", 20, 36, 321, 18, -12, true, u"Multi-link receiver"},
      {u"lb_ForLife", u"TLabel", 20, 111, 321, 18, -12, true, u"Radio signal"},
      {u"lb_ForMeetingNotes", u"TLabel", 20, 54, 335, 55, -11, false,
       u"One receiver for several keyboards and mice: pair new devices to it in one pass."},
      {u"lb_ProgramTitle", u"TLabel", 208, 9, 131, 18, -12, false, u"Tandrel"},
      {u"im_Totem", u"TImage", 182, 8, 20, 20, 0, false, {}, true},
      {u"lb_Title", u"TLabel", 28, 15, 147, 18, -15, true, u"lb_Title"},
      {u"lb_Version", u"TLabel", 8, 327, 131, 18, -12, false, u"Version"},
      {u"lb_ForLifeNotes", u"TLabel", 20, 129, 335, 58, -11, false,
       u"Shows the receiver's radio channel and signal strength while your devices work."},
      {u"bt_Close", u"TButton", 345, 5, 20, 20, 0, false, u"Close", false, 0, u"WindowClose.bmp"},
      {u"bt_NewMultiPairProcess",
       u"TButton",
       8,
       232,
       132,
       33,
       0,
       false,
       u"Pair devices",
       false,
       1,
       u"NewMultiPairProc.bmp"},
      {u"bt_OpenRSSIDisplay",
       u"TButton",
       209,
       271,
       132,
       33,
       0,
       false,
       u"Signal",
       false,
       2,
       u"RSSIDisplay.bmp"},
  }};

  // The control of that name (exact spelling), or null.
  static constexpr const ControlDesign* Find(std::u16string_view name) {
    for (const ControlDesign& c : kControls)
      if (c.name == name) return &c;
    return nullptr;
  }
};

}  // namespace skin
