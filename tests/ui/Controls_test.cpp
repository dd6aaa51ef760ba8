#include "ui/Controls.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/Application.h"

namespace {

using ui::Message;
namespace msg = ui::msg;

TEST(Components, OwnerKeepsCreationOrderAndDestroysWhatItOwns) {
  auto* form = new ui::TForm(nullptr, u"F");
  auto* a = new ui::TLabel(form, u"a");
  new ui::TImage(form, u"b");
  auto* c = new ui::TButton(form, u"c");
  ASSERT_EQ(form->ComponentCount(), 3u);
  EXPECT_EQ(form->Components(0), a);
  EXPECT_EQ(form->Components(2)->ClassName(), u"TButton");
  EXPECT_EQ(form->FindComponent(u"b")->ClassName(), u"TImage");
  delete a;  // leaves its owner's list
  ASSERT_EQ(form->ComponentCount(), 2u);
  EXPECT_EQ(form->Components(1), c);
  delete form;  // ASan reports anything left behind or freed twice
}

TEST(Messages, ReplacedWindowProcSeesEveryMessageAndChains) {
  ui::TForm form(nullptr, u"F");
  std::vector<uint32_t> seen;
  ui::WndMethod saved = form.WindowProc;
  form.WindowProc = [&](Message& m) {
    seen.push_back(m.Msg);
    saved(m);
    if (m.Msg == 0x8123) m.Result = 42;
  };
  EXPECT_EQ(form.Perform(0x8123, 1, 2), 42);
  form.Perform(msg::kSysCommand, msg::kScDragMove, 0);
  EXPECT_EQ(seen, (std::vector<uint32_t>{0x8123, msg::kSysCommand}));
}

TEST(Messages, PressOnAGraphicChildGoesToItInItsOwnCoordinates) {
  ui::TForm form(nullptr, u"F");
  form.SetBounds(0, 0, 400, 300);
  auto* back = new ui::TImage(&form, u"back");
  back->SetParent(&form);
  back->SetBounds(0, 0, 400, 300);
  auto* label = new ui::TLabel(&form, u"label");
  label->SetParent(&form);
  label->SetBounds(20, 30, 100, 18);
  std::vector<std::pair<ui::Component*, int>> downs;
  auto record = [&](ui::Component* s, ui::TMouseButton b, ui::TShiftState, int x, int y) {
    downs.emplace_back(s, b == ui::TMouseButton::mbLeft ? x * 1000 + y : -1);
  };
  back->OnMouseDown = record;
  label->OnMouseDown = record;
  form.OnMouseDown = record;
  form.Perform(msg::kLButtonDown, msg::kMkLButton, ui::MakeLParam(25, 35));  // label is on top
  form.Perform(msg::kLButtonDown, msg::kMkLButton, ui::MakeLParam(5, 5));
  form.Perform(msg::kRButtonDown, msg::kMkRButton, ui::MakeLParam(5, 5));
  label->SetVisible(false);  // hidden controls take no presses
  form.Perform(msg::kLButtonDown, msg::kMkLButton, ui::MakeLParam(25, 35));
  ASSERT_EQ(downs.size(), 4u);
  EXPECT_EQ(downs[0], std::make_pair<ui::Component*>(label, 5005));
  EXPECT_EQ(downs[1], std::make_pair<ui::Component*>(back, 5005));
  EXPECT_EQ(downs[2], std::make_pair<ui::Component*>(back, -1));
  EXPECT_EQ(downs[3], std::make_pair<ui::Component*>(back, 25035));
}

TEST(Messages, ButtonClickArrivesAsAReflectedNotification) {
  ui::TForm form(nullptr, u"F");
  auto* button = new ui::TButton(&form, u"bt");
  button->SetParent(&form);
  int clicks = 0;
  button->OnClick = [&](ui::Component* s) { clicks += (s == button); };
  button->Perform(msg::kReflectedCommand, msg::kBnClicked << 16, 0);
  button->Perform(msg::kReflectedCommand, 5u << 16, 0);  // another notification: not a click
  EXPECT_EQ(clicks, 1);
}

TEST(Forms, CloseAsksFirstAndEndsTheApplicationForTheMainForm) {
  auto& app = ui::App();
  app.Initialize();
  auto* form = app.CreateForm<ui::TForm>(nullptr, u"Main");
  bool allow = false;
  int asked = 0;
  form->OnCloseQuery = [&](ui::Component*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  form->Perform(msg::kClose);
  EXPECT_FALSE(app.Terminated());
  allow = true;
  form->Close();
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(asked, 2);
  app.DestroyForms();
  EXPECT_EQ(app.MainForm(), nullptr);
}

TEST(Forms, OnCreateFiresAfterTheConstructorHasFinished) {
  struct Derived : ui::TForm {
    int late = 0;
    int seen = -1;
    Derived() : ui::TForm(nullptr, u"D") {
      OnCreate = [this](ui::Component*) { seen = late; };
      late = 7;
    }
  };
  auto& app = ui::App();
  app.Initialize();
  auto* f = app.CreateForm<Derived>();
  EXPECT_EQ(f->seen, 7);
  app.DestroyForms();
}

}  // namespace
