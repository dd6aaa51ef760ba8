// ApplyLayout over forms of every class the file knows, with small layout files written per case,
// and the layout file that ships applied to a model of the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "base/Utf.h"
#include "skin/LayoutFile.h"
#include "skin/MainWindowDesign.h"
#include "ui/Controls.h"
#include "ui/Exception.h"
#include "ui/IniFile.h"

namespace {

namespace fs = std::filesystem;
using skin::LayoutFile;

constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kGerman = 0x0407;
constexpr uint16_t kJapanese = 0x0411;

std::string U8(std::u16string_view s) {
  return base::Utf16ToUtf8(s);
}

// A layout file in the temporary folder for the length of one case.
class TempLayout {
 public:
  explicit TempLayout(std::string_view content) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / (std::string("tandrel_layout_") + info->name() + "_" +
                                         std::to_string(std::random_device{}()) + ".txt");
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~TempLayout() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  std::u16string Path() const { return path_.u16string(); }

 private:
  fs::path path_;
};

// Applies content to form with the system language fixed.
void Apply(ui::Component& form, std::string_view content, uint16_t systemLanguage = kEnglishUs,
           uint16_t languageId = 0, const std::u16string& suffix = u"") {
  TempLayout file(content);
  const std::u16string language = skin::LayoutLanguage(languageId, [=] { return systemLanguage; });
  skin::ApplyLayout(form, LayoutFile::Read(file.Path(), language, suffix));
}

template <typename T>
T* Make(ui::TForm& form, const char16_t* name, int l = 1, int t = 2, int w = 3, int h = 4) {
  auto* c = new T(&form, name);
  c->SetParent(&form);
  c->SetBounds(l, t, w, h);
  return c;
}

ui::TRect Bounds(int l, int t, int w, int h) {
  return ui::TRect{l, t, l + w, t + h};
}

// ---- Opening the file and the two sections

TEST(LayoutSections, SystemLanguageAndSuffixNameBothSections) {
  ui::TForm form(nullptr, u"F");
  auto* a = Make<ui::TLabel>(form, u"a");
  auto* b = Make<ui::TLabel>(form, u"b");
  TempLayout file(
      "[Japanese]\na->Position=rectp,0,0,9,9\n"
      "[English]\nb->Position=rectp,0,0,9,9\n"
      "[Japanese_X]\na->Position=rectp,10,10,20,20\n"
      "[English_X]\na->Position=rectp,0,0,1,1\nb->Position=rectp,30,30,40,40\n");
  const LayoutFile layout =
      LayoutFile::Read(file.Path(), skin::LayoutLanguage(0, [] { return kJapanese; }), u"_X");
  skin::ApplyLayout(form, layout);
  EXPECT_EQ(U8(layout.PrimarySection()), "Japanese_X");
  EXPECT_EQ(U8(layout.FallbackSection()), "English_X");
  EXPECT_EQ(a->BoundsRect(), (ui::TRect{10, 10, 20, 20}));
  EXPECT_EQ(b->BoundsRect(), (ui::TRect{30, 30, 40, 40}));

  // Applying holds no state: a second form, and the first again after it was moved, come out
  // the same, and the sections still carry the suffix once.
  ui::TForm again(nullptr, u"F");
  auto* a2 = Make<ui::TLabel>(again, u"a");
  auto* b2 = Make<ui::TLabel>(again, u"b");
  a->SetBounds(1, 2, 3, 4);
  for (ui::TForm* f : {&again, &form}) skin::ApplyLayout(*f, layout);
  EXPECT_EQ(a2->BoundsRect(), (ui::TRect{10, 10, 20, 20}));
  EXPECT_EQ(b2->BoundsRect(), (ui::TRect{30, 30, 40, 40}));
  EXPECT_EQ(a->BoundsRect(), (ui::TRect{10, 10, 20, 20}));
  EXPECT_EQ(U8(layout.PrimarySection()), "Japanese_X");
  EXPECT_EQ(U8(layout.FallbackSection()), "English_X");
}

// A caller that has read the file already (the main window reads its version from it) hands it
// over; the manager reads it as it would have read the file.
TEST(LayoutSections, AFileReadByTheCallerAppliesAsThePath) {
  const char* content =
      "[German]\na->Position=rectp,10,10,20,20\nFontName=Arial\n"
      "[English]\nb->Position=rectwh,3,4,10,10\nb->Color=rgb,0,0,255\n";
  TempLayout file(content);
  ui::TForm byPath(nullptr, u"F"), byFile(nullptr, u"F");
  for (ui::TForm* form : {&byPath, &byFile}) {
    Make<ui::TLabel>(*form, u"a");
    Make<ui::TLabel>(*form, u"b");
  }
  skin::ApplyLayout(byPath, LayoutFile::Read(file.Path(), u"German", u""));
  const LayoutFile second(ui::TIniFile(file.Path()), skin::LayoutLanguage(kGerman), u"");
  skin::ApplyLayout(byFile, second);
  for (size_t i = 0; i < 2; ++i) {
    const auto* p = dynamic_cast<ui::TLabel*>(byPath.Components(i));
    const auto* f = dynamic_cast<ui::TLabel*>(byFile.Components(i));
    EXPECT_EQ(p->BoundsRect(), f->BoundsRect());
    EXPECT_EQ(p->Color(), f->Color());
    EXPECT_EQ(p->Font(), f->Font());
  }
  EXPECT_EQ(byFile.Components(0)->Name(), u"a");
  EXPECT_EQ(dynamic_cast<ui::TLabel*>(byFile.Components(0))->BoundsRect(),
            (ui::TRect{10, 10, 20, 20}));
  EXPECT_EQ(U8(second.ReadLayoutValue(u"FontName")), "Arial");
  EXPECT_EQ(U8(second.PrimarySection()), "German");
}

TEST(LayoutSections, IdentifierZeroIsTheSystemLanguageOthersAreTakenAsGiven) {
  const auto system = [] { return uint16_t{0x0404}; };
  EXPECT_EQ(U8(skin::LayoutLanguage(0, system)), "ChineseT");
  EXPECT_EQ(U8(skin::LayoutLanguage(kGerman, system)), "German");
  EXPECT_EQ(U8(skin::LayoutLanguage(0x040A, system)), "English");  // not in the table
  EXPECT_EQ(U8(skin::LayoutLanguage(0x080C, system)), "FrenchF");
}

TEST(LayoutSections, NoFileChangesNothingAndOpensNothing) {
  ui::TForm form(nullptr, u"F");
  auto* a = Make<ui::TLabel>(form, u"a");
  const LayoutFile layout = LayoutFile::Read(u"/nonexistent/tandrel/UI_Main.txt", u"German", u"_X");
  skin::ApplyLayout(form, layout);
  EXPECT_EQ(a->BoundsRect(), Bounds(1, 2, 3, 4));
  EXPECT_FALSE(layout.HasFile());
  EXPECT_EQ(layout.ReadLayoutValue(u"FontName"), u"");
  EXPECT_EQ(U8(layout.PrimarySection()), "");
  EXPECT_EQ(U8(layout.FallbackSection()), "English");
}

TEST(LayoutSections, AnEmptyValueFallsBackToEnglishAndNamesMatchInAnyCase) {
  ui::TForm form(nullptr, u"TandrelProgram");
  auto* title = Make<ui::TLabel>(form, u"lb_Title");
  TempLayout file(
      "[german]\nTandrelProgram->lb_Title->Color=\nlb_title->font->color=rgb,1,0,0\n"
      "[ENGLISH]\nTANDRELPROGRAM->LB_TITLE->COLOR=rgb,0,0,255\n"
      "LB_TITLE->POSITION=rectp,5,6,7,8\n");
  const LayoutFile layout = LayoutFile::Read(file.Path(), skin::LayoutLanguage(kGerman), u"");
  skin::ApplyLayout(form, layout);
  EXPECT_EQ(title->Color(), 0xFF0000u);
  EXPECT_EQ(title->Font().Color, 1u);
  EXPECT_EQ(title->BoundsRect(), (ui::TRect{5, 6, 7, 8}));
  EXPECT_EQ(U8(layout.ReadLayoutValue(u"tandrelprogram->lb_title->color")), "rgb,0,0,255");
  EXPECT_EQ(layout.ReadLayoutValue(u"missing"), u"");
}

// ---- Keys: form-qualified before plain, each through both sections

TEST(LayoutKeys, FormQualifiedKeyWinsAndEmptyLetsThePlainOneApply) {
  ui::TForm form(nullptr, u"TandrelProgram");
  auto* title = Make<ui::TLabel>(form, u"lb_Title");
  auto* other = Make<ui::TLabel>(form, u"lb_Other");
  Apply(form,
        "[English]\n"
        "TandrelProgram->lb_Title->Position=rectp,28,15,175,33\n"
        "lb_Title->Position=rectp,0,0,1,1\n"
        "TandrelProgram->lb_Other->Position=\n"
        "lb_Other->Position=rectwh,3,4,10,10\n");
  EXPECT_EQ(title->BoundsRect(), Bounds(28, 15, 147, 18));
  EXPECT_EQ(other->BoundsRect(), Bounds(3, 4, 9, 9));
}

TEST(LayoutKeys, MissingOrEmptyValuesKeepTheDesign) {
  ui::TForm form(nullptr, u"F");
  auto* absent = Make<ui::TLabel>(form, u"absent", 5, 6, 7, 8);
  auto* empty = Make<ui::TLabel>(form, u"empty", 5, 6, 7, 8);
  Apply(form,
        "[German]\nF->empty->Position=\nempty->Color=\n"
        "[English]\nF->empty->Position=\nempty->Position=\nF->empty->Color=\n"
        "empty->Font->Color=\nFontName=\n",
        kGerman);
  for (ui::TLabel* label : {absent, empty}) {
    EXPECT_EQ(label->BoundsRect(), Bounds(5, 6, 7, 8)) << U8(label->Name());
    EXPECT_EQ(label->Color(), ui::clBtnFace) << U8(label->Name());
    EXPECT_EQ(label->Font(), ui::TFont{}) << U8(label->Name());
  }
}

TEST(LayoutKeys, PlainKeyAppliesOnAnyForm) {
  for (const char16_t* formName : {u"TandrelProgram", u"SomeOtherForm"}) {
    ui::TForm form(nullptr, formName);
    auto* title = Make<ui::TLabel>(form, u"lb_Title");
    Apply(form, "[English]\nlb_Title->Position=rectp,28,15,175,33\n");
    EXPECT_EQ(title->BoundsRect(), Bounds(28, 15, 147, 18)) << U8(formName);
  }
}

TEST(LayoutKeys, QualifiedKeyInEnglishComesBeforeThePlainKeyInTheLanguage) {
  ui::TForm form(nullptr, u"F");
  auto* c = Make<ui::TLabel>(form, u"c");
  Apply(form,
        "[German]\nc->Position=rectp,1,1,2,2\n"
        "[English]\nF->c->Position=rectp,7,7,9,9\n",
        kGerman);
  EXPECT_EQ(c->BoundsRect(), (ui::TRect{7, 7, 9, 9}));
}

// ---- Which class takes what

// One of each class of the bounds list except the menu item, which has no bounds.
std::vector<ui::TControl*> OneOfEach(ui::TForm& form) {
  return {Make<ui::TLabel>(form, u"c0"),       Make<ui::TCheckBox>(form, u"c1"),
          Make<ui::TRadioButton>(form, u"c2"), Make<ui::TEdit>(form, u"c3"),
          Make<ui::TComboBox>(form, u"c4"),    Make<ui::TMemo>(form, u"c5"),
          Make<ui::TRichEdit>(form, u"c6"),    Make<ui::TShape>(form, u"c7"),
          Make<ui::TButton>(form, u"c8"),      Make<ui::TImage>(form, u"c10"),
          Make<ui::TPanel>(form, u"c11"),      Make<ui::TWebBrowser>(form, u"c12"),
          Make<ui::TCGauge>(form, u"c13"),     Make<ui::TLabeledEdit>(form, u"c14"),
          Make<ui::TGroupBox>(form, u"c15")};
}

TEST(LayoutClasses, EveryClassOfTheBoundsListTakesBounds) {
  ui::TForm form(nullptr, u"F");
  const std::vector<ui::TControl*> controls = OneOfEach(form);
  std::string file = "[English]\n";
  for (size_t i = 0; i < controls.size(); ++i) {
    file += U8(controls[i]->Name()) + "->Position=rectwh," + std::to_string(i) + ",1,11,21\n";
  }
  Apply(form, file);
  for (size_t i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(controls[i]->BoundsRect(), Bounds(static_cast<int>(i), 1, 10, 20))
        << U8(controls[i]->ClassName());
  }
}

TEST(LayoutClasses, OnlyTheTextControlsTakeColourAndFont) {
  ui::TForm form(nullptr, u"F");
  const std::vector<ui::TControl*> controls = OneOfEach(form);
  std::string file = "[English]\nFontName=Segoe UI\n";
  for (ui::TControl* c : controls) {
    file += U8(c->Name()) + "->Color=rgb,1,2,3\n" + U8(c->Name()) + "->Font->Color=rgb,4,5,6\n";
  }
  std::vector<ui::TColor> designColours;
  for (ui::TControl* c : controls) designColours.push_back(c->Color());
  Apply(form, file);
  for (size_t i = 0; i < controls.size(); ++i) {
    ui::TControl* c = controls[i];
    const std::u16string_view cls = c->ClassName();
    const bool text = cls == u"TLabel" || cls == u"TCheckBox" || cls == u"TRadioButton";
    if (text) {
      EXPECT_EQ(c->Color(), 0x030201u) << U8(cls);
      EXPECT_EQ(U8(c->Font().Name), "Segoe UI") << U8(cls);
      EXPECT_EQ(c->Font().Color, 0x060504u) << U8(cls);
    } else if (cls == u"TLabeledEdit") {
      continue;  // its own case below
    } else {
      EXPECT_EQ(c->Color(), designColours[i]) << U8(cls);
      EXPECT_EQ(c->Font(), ui::TFont{}) << U8(cls);
    }
  }
}

TEST(LayoutClasses, LabeledEditTakesColourOnTheEditAndFontOnItsCaptionLabel) {
  ui::TForm form(nullptr, u"F");
  auto* edit = Make<ui::TLabeledEdit>(form, u"le", 10, 40, 100, 21);
  ui::TFont labelFont = edit->EditLabel().Font();
  labelFont.Height = -15;
  labelFont.Bold = true;
  edit->EditLabel().SetFont(labelFont);
  Apply(form,
        "[English]\nFontName=Courier New\nle->Color=rgb,0,255,0\nle->Font->Color=rgb,9,0,0\n");
  EXPECT_EQ(edit->Color(), 0x00FF00u);
  EXPECT_EQ(edit->Font(), ui::TFont{});  // the edit's own text is untouched
  EXPECT_EQ(edit->EditLabel().Color(), ui::clBtnFace);
  const ui::TFont& f = edit->EditLabel().Font();
  EXPECT_EQ(U8(f.Name), "Courier New");
  EXPECT_EQ(f.Color, 9u);
  EXPECT_EQ(f.Height, -15);  // the face only: size and style stay as designed
  EXPECT_TRUE(f.Bold);
}

TEST(LayoutClasses, ButtonAndImageTakeBoundsOnly) {
  ui::TForm form(nullptr, u"TandrelProgram");
  auto* close = Make<ui::TButton>(form, u"bt_Close");
  auto* back = Make<ui::TImage>(form, u"im_BackgroundImage");
  Apply(form,
        "[English]\nFontName=Arial\n"
        "bt_Close->Position=rectwh,345,5,21,21\nbt_Close->Color=rgb,255,0,0\n"
        "bt_Close->Font->Color=rgb,255,0,0\n"
        "im_BackgroundImage->Position=rectp,0,0,375,345\nim_BackgroundImage->Color=rgb,1,1,1\n");
  EXPECT_EQ(close->BoundsRect(), Bounds(345, 5, 20, 20));
  EXPECT_EQ(close->Color(), ui::clBtnFace);
  EXPECT_EQ(close->Font(), ui::TFont{});
  EXPECT_EQ(back->BoundsRect(), Bounds(0, 0, 375, 345));
  EXPECT_EQ(back->Color(), ui::clBtnFace);
  EXPECT_EQ(back->Font(), ui::TFont{});
}

TEST(LayoutClasses, FontFaceChangesOnlyTheFaceAndIsTakenAsRead) {
  ui::TForm form(nullptr, u"F");
  auto* label = Make<ui::TLabel>(form, u"lb");
  ui::TFont design;
  design.Height = -12;
  design.Bold = true;
  design.Color = 0x123456;
  label->SetFont(design);
  Apply(form, "[English]\nFontName=\"  MS Sans Serif \"\n");
  design.Name = u"  MS Sans Serif ";
  EXPECT_EQ(label->Font(), design);
}

// A class of the program's own derived from the label, under its own name.
class TSkinLabel : public ui::TLabel {
 public:
  using TLabel::TLabel;
  std::u16string_view ClassName() const override { return u"TSkinLabel"; }
};

TEST(LayoutClasses, DerivedClassWithItsOwnNameIsPassedOver) {
  ui::TForm form(nullptr, u"F");
  auto* derived = Make<TSkinLabel>(form, u"lb");
  Apply(form, "[English]\nFontName=Arial\nlb->Position=rectp,9,9,19,19\nlb->Color=rgb,1,2,3\n");
  EXPECT_EQ(derived->BoundsRect(), Bounds(1, 2, 3, 4));
  EXPECT_EQ(derived->Color(), ui::clBtnFace);
  EXPECT_EQ(U8(derived->Font().Name), "Tahoma");
}

TEST(LayoutClasses, MenuItemWithAPositionIsLeftAloneAndTheWalkGoesOn) {
  ui::TForm form(nullptr, u"F");
  auto* item = new ui::TMenuItem(&form, u"mi");
  item->Caption = u"Open";
  auto* after = Make<ui::TLabel>(form, u"lb");
  Apply(form, "[English]\nmi->Position=rectp,x,y,z\nmi->Color=rgb,q\nlb->Position=rectp,5,5,6,6\n");
  EXPECT_EQ(U8(item->Caption), "Open");
  EXPECT_EQ(after->BoundsRect(), (ui::TRect{5, 5, 6, 6}));
}

TEST(LayoutClasses, UnrecognisedKeywordsCollapseTheControlAndBlackenTheColour) {
  ui::TForm form(nullptr, u"F");
  auto* label = Make<ui::TLabel>(form, u"lb", 20, 30, 40, 50);
  Apply(form, "[English]\nlb->Position=12,34,56,78\nlb->Color=clRed\nlb->Font->Color=#FF0000\n");
  EXPECT_EQ(label->BoundsRect(), ui::TRect{});
  EXPECT_EQ(label->Color(), 0u);
  EXPECT_EQ(label->Font().Color, 0u);
}

TEST(LayoutClasses, ControlsInsidePanelsAreVisitedThroughTheFormsList) {
  ui::TForm form(nullptr, u"F");
  auto* panel = Make<ui::TPanel>(form, u"pn", 100, 100, 200, 200);
  auto* inner = new ui::TCheckBox(&form, u"cb");
  inner->SetParent(panel);
  Apply(form, "[English]\ncb->Position=rectp,4,5,60,25\ncb->Color=rgb,0,0,1\n");
  EXPECT_EQ(inner->BoundsRect(), (ui::TRect{4, 5, 60, 25}));  // relative to the panel
  EXPECT_EQ(inner->Color(), 0x010000u);
}

// ---- Each value as soon as it is read

// Records every bounds change it gets; answers as a label so the layout treats it as one.
class TRecordingLabel : public ui::TLabel {
 public:
  using TLabel::TLabel;
  void SetBounds(int left, int top, int width, int height) override {
    changes.push_back(Bounds(left, top, width, height));
    TLabel::SetBounds(left, top, width, height);
  }
  std::vector<ui::TRect> changes;
};

TEST(LayoutOrder, BoundsAreFourChangesEachKeepingTheEarlierOnes) {
  ui::TForm form(nullptr, u"F");
  auto* label = new TRecordingLabel(&form, u"lb");
  label->SetBounds(1, 2, 3, 4);
  label->changes.clear();
  Apply(form, "[English]\nlb->Position=rectp,10,20,110,70\n");
  EXPECT_EQ(label->changes,
            (std::vector<ui::TRect>{Bounds(10, 2, 3, 4), Bounds(10, 20, 3, 4),
                                    Bounds(10, 20, 100, 4), Bounds(10, 20, 100, 50)}));
}

TEST(LayoutOrder, MalformedNumberInTheThirdOfTenStopsTheWalkThere) {
  ui::TForm form(nullptr, u"F");
  std::vector<ui::TLabel*> labels;
  std::string file = "[English]\nFontName=Verdana\n";
  for (int i = 0; i < 10; ++i) {
    const std::u16string name = u"lb" + base::Utf8ToUtf16(std::to_string(i));
    labels.push_back(Make<ui::TLabel>(form, name.c_str(), 0, 0, 5, 5));
    const std::string key = "lb" + std::to_string(i);
    file += key + "->Position=rectp,10," + std::to_string(i * 20) + ",50,60\n";
    file += key + "->Color=" + (i == 2 ? "rgb,1,$GG,3" : "rgb,0,0,128") + "\n";
  }
  TempLayout layoutFile(file);
  try {
    skin::ApplyLayout(form, LayoutFile::Read(layoutFile.Path(), u"English", u""));
    FAIL() << "no conversion error";
  } catch (const ui::EConvertError& e) {
    EXPECT_EQ(U8(e.Message()), "'$gg' is not a valid integer value");
  }
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(labels[i]->BoundsRect(), (ui::TRect{10, i * 20, 50, 60})) << i;
    EXPECT_EQ(labels[i]->Color(), 0x800000u) << i;
    EXPECT_EQ(U8(labels[i]->Font().Name), "Verdana") << i;
  }
  // The third took its bounds, then failed on its colour: colour and face stay.
  EXPECT_EQ(labels[2]->BoundsRect(), (ui::TRect{10, 40, 50, 60}));
  EXPECT_EQ(labels[2]->Color(), ui::clBtnFace);
  EXPECT_EQ(U8(labels[2]->Font().Name), "Tahoma");
  for (int i = 3; i < 10; ++i) {
    EXPECT_EQ(labels[i]->BoundsRect(), Bounds(0, 0, 5, 5)) << i;
    EXPECT_EQ(labels[i]->Color(), ui::clBtnFace) << i;
    EXPECT_EQ(U8(labels[i]->Font().Name), "Tahoma") << i;
  }
}

TEST(LayoutOrder, ErrorInTheTextColourKeepsColourAndFaceAlreadySet) {
  ui::TForm form(nullptr, u"F");
  auto* edit = Make<ui::TLabeledEdit>(form, u"le");
  Apply(form, "[English]\nFontName=Arial\nle->Color=rgb,0,0,0\n");  // a clean run first
  EXPECT_THROW(Apply(form,
                     "[English]\nFontName=Verdana\nle->Color=rgb,1,1,1\n"
                     "le->Font->Color=rgb,1,1\n"),
               ui::EConvertError);
  EXPECT_EQ(edit->Color(), 0x010101u);
  EXPECT_EQ(U8(edit->EditLabel().Font().Name), "Verdana");
  EXPECT_EQ(edit->EditLabel().Font().Color, ui::clBlack);
}

// ---- The labelled edit's caption label is a sub-component

TEST(LabeledEdit, CaptionLabelBelongsToTheEditAndFollowsIt) {
  ui::TForm form(nullptr, u"F");
  auto* edit = Make<ui::TLabeledEdit>(form, u"le", 10, 40, 100, 21);
  ASSERT_EQ(form.ComponentCount(), 1u);  // the edit only: nothing walks its label twice
  EXPECT_EQ(form.Components(0), edit);
  ui::TLabel& label = edit->EditLabel();
  EXPECT_EQ(label.Owner(), edit);
  EXPECT_EQ(label.ClassName(), u"TBoundLabel");
  EXPECT_EQ(label.Parent(), &form);
  EXPECT_EQ(label.Top() + label.Height() + edit->LabelSpacing, edit->Top());
  EXPECT_EQ(label.Left(), 10);
  edit->SetLeft(30);
  EXPECT_EQ(label.Left(), 30);
  edit->SetColor(ui::clWhite);  // not a move: the label stays where it was put
  label.SetLeft(0);
  edit->SetColor(ui::clBlack);
  EXPECT_EQ(label.Left(), 0);
}

TEST(LabeledEdit, GoesWithItsFormInEitherOrder) {
  auto* form = new ui::TForm(nullptr, u"F");
  auto* first = Make<ui::TLabeledEdit>(*form, u"a");
  Make<ui::TLabeledEdit>(*form, u"b");
  delete first;  // its label leaves the form's controls with it
  EXPECT_EQ(form->Controls().size(), 2u);
  delete form;  // ASan reports anything freed twice or left behind
}

// ---- The layout file that ships

std::u16string ShippedLayout() {
  return (fs::path(TANDREL_FORMS_DATA) / "Tandrel_Program" / "UI_Main.txt").u16string();
}

// The main window's components as its form builds them: class, name and design bounds.
void BuildMainWindow(ui::TForm& form) {
  for (const skin::ControlDesign& c : skin::MainWindowDesign::kControls) {
    const std::u16string name(c.name);
    ui::TControl* control = nullptr;
    if (c.runtimeClass == u"TImage") control = new ui::TImage(&form, name);
    if (c.runtimeClass == u"TLabel") control = new ui::TLabel(&form, name);
    if (c.runtimeClass == u"TButton") control = new ui::TButton(&form, name);
    control->SetParent(&form);
    control->SetBounds(c.left, c.top, c.width, c.height);
  }
}

TEST(ShippedLayout, AppliesCleanlyInEveryLanguage) {
  const uint16_t languages[] = {0x0409, 0x0404, 0x0804, 0x0419, 0x041F, 0x0410, 0x0C0A,
                                0x0416, 0x040C, 0x0413, 0x0407, 0x0411, 0x0412};
  for (uint16_t id : languages) {
    ui::TForm form(nullptr, u"TandrelProgram");
    BuildMainWindow(form);
    const LayoutFile layout =
        LayoutFile::Read(ShippedLayout(), skin::LayoutLanguage(0, [id] { return id; }), u"");
    EXPECT_NO_THROW(skin::ApplyLayout(form, layout)) << std::hex << id;
    // Every control stays on the 375 x 345 background with a size of its own.
    for (size_t i = 0; i < form.ComponentCount(); ++i) {
      auto* c = dynamic_cast<ui::TControl*>(form.Components(i));
      EXPECT_GT(c->Width(), 0) << U8(c->Name());
      EXPECT_GT(c->Height(), 0) << U8(c->Name());
      EXPECT_GE(c->Left(), 0) << U8(c->Name());
      EXPECT_GE(c->Top(), 0) << U8(c->Name());
      EXPECT_LE(c->BoundsRect().Right, 375) << U8(c->Name());
      EXPECT_LE(c->BoundsRect().Bottom, 345) << U8(c->Name());
    }
  }
}

TEST(ShippedLayout, EnglishPlacesEveryControlAndKeepsTheButtonStripSizes) {
  ui::TIniFile ini(ShippedLayout());
  ASSERT_TRUE(ini.Loaded());
  EXPECT_EQ(U8(ini.ReadString(u"English", u"Version", u"@@")), "Version 1.0.0");
  EXPECT_EQ(U8(ini.ReadString(u"English", u"FontName", u"")), "Tahoma");
  for (const skin::ControlDesign& c : skin::MainWindowDesign::kControls) {
    const std::u16string key = u"TandrelProgram->" + std::u16string(c.name) + u"->Position";
    EXPECT_NE(ini.ReadString(u"English", key, u""), u"") << U8(key);
    if (c.runtimeClass == u"TLabel") {
      EXPECT_NE(
          ini.ReadString(u"English",
                         u"TandrelProgram->" + std::u16string(c.name) + u"->Font->Color", u""),
          u"")
          << U8(c.name);
    }
  }

  ui::TForm form(nullptr, u"TandrelProgram");
  BuildMainWindow(form);
  skin::ApplyLayout(form, LayoutFile::Read(ShippedLayout(), u"English", u""));
  auto bounds = [&](const char16_t* name) {
    return dynamic_cast<ui::TControl*>(form.FindComponent(name))->BoundsRect();
  };
  EXPECT_EQ(bounds(u"bt_Close"), Bounds(345, 5, 20, 20));
  EXPECT_EQ(bounds(u"im_BackgroundImage"), Bounds(0, 0, 375, 345));
  EXPECT_EQ(bounds(u"bt_NewMultiPairProcess").Width(), 132);
  EXPECT_EQ(bounds(u"bt_NewMultiPairProcess").Height(), 33);
  EXPECT_EQ(bounds(u"bt_OpenRSSIDisplay").Width(), 132);
  EXPECT_EQ(bounds(u"bt_OpenRSSIDisplay").Height(), 33);
  auto* title = dynamic_cast<ui::TLabel*>(form.FindComponent(u"lb_Title"));
  EXPECT_EQ(U8(title->Font().Name), "Tahoma");
}

TEST(ShippedLayout, GermanMovesSomeControlsAndTakesTheRestFromEnglish) {
  auto apply = [](uint16_t id, ui::TForm& form) {
    BuildMainWindow(form);
    skin::ApplyLayout(form, LayoutFile::Read(ShippedLayout(), skin::LayoutLanguage(id), u""));
  };
  ui::TForm english(nullptr, u"TandrelProgram"), german(nullptr, u"TandrelProgram");
  apply(kEnglishUs, english);
  apply(kGerman, german);
  int moved = 0;
  for (size_t i = 0; i < english.ComponentCount(); ++i) {
    auto* e = dynamic_cast<ui::TControl*>(english.Components(i));
    auto* g = dynamic_cast<ui::TControl*>(german.Components(i));
    if (e->BoundsRect() != g->BoundsRect()) ++moved;
    EXPECT_EQ(e->Color(), g->Color()) << U8(e->Name());
  }
  EXPECT_GE(moved, 1);
  EXPECT_LT(moved, static_cast<int>(english.ComponentCount()));
}

}  // namespace
