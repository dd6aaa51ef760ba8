#include "shell/MainForm.h"

#include <windows.h>

#include <type_traits>
#include <utility>

#include "base/File.h"
#include "base/Platform.h"
#include "base/StartupMarks.h"
#include "device/RegisteredMessages.h"
#include "modules/ModuleCall.h"
#include "modules/ModuleRecords.h"
#include "modules/ModuleLibrary.h"
#include "device/PairingBlock.h"
#include "skin/LayoutFile.h"
#include "skin/MainWindowDesign.h"
#include "skin/OutlineRule.h"
#include "skin/WindowShape_win.h"
#include "ui/Application.h"
#include "ui/IniFile.h"
#include "ui/win/CommonControls.h"

namespace shell {

MainForm* TandrelProgram = nullptr;

namespace {

using namespace std::placeholders;

constexpr char16_t kTextSection[] = u"MultiPairForm.dll";
constexpr int32_t kMinimumFirmware = 38;

// A control of the design's run-time class: "TImage", "TLabel" or "TButton".
ui::TControl* NewControl(ui::Component* owner, std::u16string_view runtimeClass,
                         const std::u16string& name) {
  if (runtimeClass == u"TImage") return new ui::TImage(owner, name);
  if (runtimeClass == u"TLabel") return new ui::TLabel(owner, name);
  return new ui::TButton(owner, name);
}

// The strip file the design names for a button.
std::u16string StripFile(std::u16string_view control) {
  return std::u16string(skin::MainWindowDesign::Find(control)->strip);
}

bool SetCurrentFolder(const std::u16string& folder) {
  return SetCurrentDirectoryW(reinterpret_cast<LPCWSTR>(folder.c_str())) != 0;
}

}  // namespace

template <typename Work>
decltype(auto) MainForm::UsingDevices(Work&& work) {
  struct Use {
    int& uses;
    explicit Use(int& n) : uses(n) { ++uses; }
    ~Use() { --uses; }
  };
  if constexpr (std::is_void_v<decltype(work())>) {
    {
      const Use use(DeviceUses);
      work();
    }
    CarryOutPendingClose();
  } else {
    auto result = [&] {
      const Use use(DeviceUses);
      return work();
    }();
    CarryOutPendingClose();
    return result;
  }
}

MainForm::MainForm(ui::Component* owner, std::unique_ptr<device::LibrarySource> devices)
    : ui::TForm(owner, u"TandrelProgram"),
      Devices(devices ? std::move(devices)
                      : std::make_unique<device::FileLibrarySource>(
                            device::DefaultDeviceLibraryPath())) {
  // 1. The form and its controls, as designed.
  CreateControls();
  startup::Mark("controls");

  // 2. Members start empty (see their initialisers).

  // 3. From here on every message to the form passes through MainWindowProc.
  SavedWindowProc = WindowProc;
  WindowProc = [this](ui::Message& m) { MainWindowProc(m); };

  // 4. The executable's folder is the current directory until the skin step changes it.
  ExeFolder = base::ExecutableFolder();
  SetCurrentFolder(ExeFolder);  // a failure changes nothing that follows

  // 5.-7. Folders, joined as the data tree expects them.
  LanguageId = 0;
  FormsFolder = ExeFolder + u"\\Data\\Tandrel_Program\\Forms\\";
  SkinFolder = ExeFolder + u"\\Data\\Tandrel_Program\\Forms\\Tandrel_Program\\";
  SharedTextFolder = ExeFolder + u"\\Data\\Tandrel_Program\\Forms\\Texts\\";
  SectionPath.clear();

  // 8. Texts for the user's language; a label keeps its design text where no file has one.
  ActiveLanguage =
      LanguageFileManager.Load(SkinFolder + u"Texts\\", SharedTextFolder, SectionPath, LanguageId);
  LanguageFileManager.ApplyTexts(*this, u"MultiPairForm.dll");
  LanguageFileManager.ApplyAccessibleNames(*this, u"MultiPairForm.dll");
  startup::Mark("texts");

  // 9. The skin folder becomes the current directory; background picture and icon.
  LoadSkinPictures();
  startup::Mark("background and icon");

  // 10. The window caption is the title label's text, translated by now ("lb_Title" without
  // language files).
  SetCaption(lb_Title->Caption());

  // 11.-12. The version label. The layout file is read once, for the version and the layout.
  std::optional<ui::TIniFile> layout = ReadLayoutFile();
  ReadVersion(layout);
  startup::Mark("caption and version");

  // 13. Bounds, colours and font face from the layout file, then the bitmap buttons.
  ApplyMainLayout(std::move(layout));
  startup::Mark("layout");
  CreateBitmapButtons();
  startup::Mark("bitmap buttons");
}

std::u16string MainForm::SkinFile(const std::u16string& name) const {
  return modules::ResolveSkinFile(SkinFolder, ActiveLanguage, name);
}

void MainForm::LoadSkinPictures() {
  SetCurrentFolder(SkinFolder);  // a missing skin folder leaves the executable's folder current
  // A file that is there but unreadable raises the framework's error out of the construction.
  if (const std::u16string background =
          SkinFile(std::u16string(skin::MainWindowDesign::kBackground));
      !background.empty()) {
    ui::TBitmap picture = ui::TBitmap::LoadFromFile(background);
    // A picture of one colour has no outline: the window would take its size (1 x 1 pixel, say)
    // and could be neither seen nor closed. It keeps its design rectangle instead, as without a
    // picture.
    if (!skin::OutlineRects(skin::PixelGrid(picture)).empty())
      im_BackgroundImage->SetPicture(std::move(picture));
  }
  if (const std::u16string icon = SkinFile(std::u16string(skin::MainWindowDesign::kIcon));
      !icon.empty())
    ui::App().LoadIconFromFile(icon);
}

void MainForm::CreateBitmapButtons() {
  // Each button's mouse messages reach the hover hints first; hooked before the skin, which
  // chains to this hook and gives it back when it goes.
  for (ui::TButton* button : {bt_Close, bt_NewMultiPairProcess, bt_OpenRSSIDisplay}) {
    HintedButtons.emplace_back(button, button->WindowProc);
    button->WindowProc = [this, button, saved = button->WindowProc](ui::Message& m) {
      if (button->HandleAllocated())
        Hints.Relay(static_cast<HWND>(button->Handle()), m.Msg, m.WParam, m.LParam);
      saved(m);
    };
  }
  // After the layout: the buttons start from its bounds, then take their frames' size.
  const auto dress = [this](ui::TButton* button) {
    auto skinned = std::make_unique<skin::SkinnedButton>(button);
    skinned->LoadSkin(SkinFile(StripFile(button->Name())));
    return skinned;
  };
  CloseBitmapButton = dress(bt_Close);
  NewMultiPairBitmapButton = dress(bt_NewMultiPairProcess);
  RSSIBitmapButton = dress(bt_OpenRSSIDisplay);
}

void MainForm::ApplyMainLayout(std::optional<ui::TIniFile> layout) {
  if (!layout) return;
  // A malformed number in the file raises the framework's conversion error, which ends the
  // construction and reaches the entry's message box.
  skin::ApplyLayout(*this,
                    skin::LayoutFile(std::move(*layout), skin::LayoutLanguage(LanguageId), u""));
}

MainForm::~MainForm() {
  // The bitmap buttons go first, in the order they were made, while their controls still live.
  CloseBitmapButton.reset();
  NewMultiPairBitmapButton.reset();
  RSSIBitmapButton.reset();
  // Then the hints' hook: the controls and their windows outlive the hints.
  for (auto& [button, saved] : HintedButtons) button->WindowProc = std::move(saved);
  if (TandrelProgram == this) TandrelProgram = nullptr;
}

void MainForm::CreateControls() {
  using Design = skin::MainWindowDesign;
  SetBounds(0, 0, Design::kWidth, Design::kHeight);
  SetCaption(std::u16string(Design::kFormName));
  SetColor(ui::clBtnFace);
  ui::TFont formFont;  // Tahoma, height -11
  SetFont(formFont);

  auto mouseDown = [this](ui::Component* s, ui::TMouseButton b, ui::TShiftState sh, int x, int y) {
    FormMouseDown(s, b, sh, x, y);
  };
  OnMouseDown = mouseDown;

  for (const skin::ControlDesign& d : Design::kControls) {
    ui::TControl* control = NewControl(this, d.runtimeClass, std::u16string(d.name));
    control->SetParent(this);
    control->SetBounds(d.left, d.top, d.width, d.height);
    if (auto* lb = dynamic_cast<ui::TLabel*>(control)) {
      ui::TFont f;
      f.Height = d.fontHeight;
      f.Bold = d.bold;
      f.Color = ui::clBlack;
      lb->SetFont(f);
      lb->SetCaption(std::u16string(d.caption));
      lb->OnMouseDown = mouseDown;
    } else if (auto* im = dynamic_cast<ui::TImage*>(control)) {
      im->OnMouseDown = mouseDown;
      im->Transparent = d.transparent;
    } else if (auto* bt = dynamic_cast<ui::TButton*>(control)) {
      // A button's caption is its name for assistive technology; the skin draws its picture.
      bt->SetCaption(std::u16string(d.caption));
      bt->TabOrder = d.tabOrder;
    }
  }
  // The members the handlers use, found by the names the design gave.
  const auto find = [this]<typename T>(T*& member, std::u16string_view name) {
    member = dynamic_cast<T*>(FindComponent(name));
  };
  find(im_BackgroundImage, u"im_BackgroundImage");
  find(lb_ForMeeting, u"lb_ForMeeting");
  find(lb_ForLife, u"lb_ForLife");
  find(lb_ForMeetingNotes, u"lb_ForMeetingNotes");
  find(lb_ProgramTitle, u"lb_ProgramTitle");
  find(im_Totem, u"im_Totem");
  find(lb_Title, u"lb_Title");
  find(lb_Version, u"lb_Version");
  find(lb_ForLifeNotes, u"lb_ForLifeNotes");
  find(bt_Close, u"bt_Close");
  find(bt_NewMultiPairProcess, u"bt_NewMultiPairProcess");
  find(bt_OpenRSSIDisplay, u"bt_OpenRSSIDisplay");
  bt_Close->OnClick = [this](ui::Component* s) { bt_CloseClick(s); };
  bt_NewMultiPairProcess->OnClick = [this](ui::Component* s) { bt_NewMultiPairProcessClick(s); };
  bt_OpenRSSIDisplay->OnClick = [this](ui::Component* s) { bt_OpenRSSIDisplayClick(s); };

  OnCreate = [this](ui::Component* s) { FormCreate(s); };
  OnActivate = [this](ui::Component* s) { FormActivate(s); };
  OnCloseQuery = [this](ui::Component* s, bool& canClose) { FormCloseQuery(s, canClose); };
}

std::optional<ui::TIniFile> MainForm::ReadLayoutFile() const {
  const std::u16string path = LayoutFile();
  if (!base::FileExists(path)) return std::nullopt;
  ui::TIniFile file(path);
  // A file that could not be read (one over ui::kMaxTextFileBytes) is a missing one.
  if (!file.Loaded()) return std::nullopt;
  return file;
}

void MainForm::ReadVersion(const std::optional<ui::TIniFile>& layout) {
  lb_Version->SetCaption(u"");
  if (!layout) return;
  // The version is kept once, in section "English", whatever the language.
  const std::u16string version = layout->ReadString(u"English", u"Version", u"@@");
  if (version != u"@@") lb_Version->SetCaption(version);
}

void MainForm::FormCreate(ui::Component*) {
  SetWidth(im_BackgroundImage->Width());
  SetHeight(im_BackgroundImage->Height());
  SetLeft(CentredOrigin(ui::App().ScreenWidth(), Width()));
  SetTop(CentredOrigin(ui::App().ScreenHeight(), Height()));
  void* const window = Handle();
  // The outline before the window is first shown: it never appears as a rectangle, and shaping a
  // hidden window redraws nothing. The first activation finds it in place.
  skin::ShapeWindowFromImage(window, *im_BackgroundImage);
  // The hints, in the user's language: the labels' hints on the feature buttons, the close
  // button's name on it. Only remembered here; the tooltip is made at the first hover.
  const auto hint = [&](ui::TButton* button, const std::u16string& text) {
    Hints.Add(static_cast<HWND>(window), static_cast<HWND>(button->Handle()), text);
  };
  hint(bt_Close, bt_Close->Caption());
  hint(bt_NewMultiPairProcess, lb_ForMeeting->Hint());
  hint(bt_OpenRSSIDisplay, lb_ForLife->Hint());
  startup::Mark("FormCreate: window");
  UsingDevices([&] { device::OpenDeviceAccess(Devices, window); });
  startup::Mark("FormCreate: device access");
}

void MainForm::FormActivate(ui::Component*) {
  // By now the window has its final size and place; later activations change nothing.
  if (!FirstActivation) return;
  FirstActivation = false;
  skin::ShapeWindowFromImage(Handle(), *im_BackgroundImage);
  startup::Mark("first activation: outline");
}

void MainForm::FormMouseDown(ui::Component*, ui::TMouseButton button, ui::TShiftState, int, int) {
  if (button != ui::TMouseButton::mbLeft) return;
  // As if the caption bar had been grabbed: the platform moves the window with the mouse.
  ReleaseCapture();
  Perform(ui::msg::kSysCommand, ui::msg::kScDragMove, 0);
}

void MainForm::FormCloseQuery(ui::Component*, bool&) {
  // Requests a module posted before the close are served while the receiver is still reachable.
  ui::App().ProcessMessages();
  UsingDevices([this] { device::CloseDeviceAccess(Devices); });
}

void MainForm::bt_CloseClick(ui::Component*) {
  CloseWhenIdle();
}

void MainForm::CloseWhenIdle() {
  if (DeviceUses > 0)
    Pending = PendingClose::Close;
  else
    Close();
}

void MainForm::CarryOutPendingClose() {
  if (DeviceUses > 0 || Pending == PendingClose::None) return;
  // Once: whatever arrives while it runs asks again.
  const PendingClose pending = std::exchange(Pending, PendingClose::None);
  if (pending == PendingClose::Close)
    Close();
  else
    CloseQuery();  // the session's close query, answered already
}

// One feature at a time: while a press is handled (the receiver check, its message, the module's
// export) the window is disabled, as a modal form leaves its owner, and a press that arrives
// anyway (a module whose window is not modal lets messages through) starts nothing. The modules
// are loaded, run and freed with common controls 6 active, as their forms were designed with.
class MainForm::FeatureScope {
 public:
  explicit FeatureScope(MainForm& form) : form_(form) {
    form_.FeatureRunning = true;
    form_.SetEnabled(false);
  }
  ~FeatureScope() {
    form_.SetEnabled(true);
    form_.FeatureRunning = false;
  }
  FeatureScope(const FeatureScope&) = delete;
  FeatureScope& operator=(const FeatureScope&) = delete;

 private:
  MainForm& form_;
  const ui::win::CommonControlsScope controls_;
};

void MainForm::bt_NewMultiPairProcessClick(ui::Component*) {
  if (FeatureRunning) return;
  const FeatureScope feature(*this);
  ReceiverOk = CheckReceiver();
  if (!ReceiverOk) return;
  LaunchMultiPairForm();
  // The multi-pair process is one-way: whatever the module gave, the launcher ends.
  Close();
}

void MainForm::bt_OpenRSSIDisplayClick(ui::Component*) {
  if (FeatureRunning) return;
  const FeatureScope feature(*this);
  ReceiverOk = CheckReceiver();
  if (!ReceiverOk) return;
  ui::App().ProcessMessages();
  modules::ModuleCall<modules::RSSIDisplayRecord> module(FormsFolder +
                                                         modules::RSSIDisplayLibraryPath());
  modules::ModuleStrings strings;
  modules::RSSIDisplayRecord record = modules::MakeRSSIDisplayRecord(
      strings, {LanguageId, SectionPath, Handle(), FormsFolder}, ReceiverOk);
  module.Invoke(&record);
}

bool MainForm::CheckReceiver() {
  const device::ReceiverCheck check = UsingDevices([this] { return Requests.CheckReceiver(); });
  std::u16string text;
  switch (check.found) {
    case device::ReceiverFound::One:
      return true;
    case device::ReceiverFound::Several:
      text = LanguageFileManager.GetText(kTextSection, u"MultipleDongle");
      break;
    case device::ReceiverFound::FirmwareTooOld:
      // Language files older than this key say that no receiver was found, as before.
      text = LanguageFileManager.GetText(kTextSection, u"FirmwareTooOld");
      if (text == text::LanguageFiles::kNotFound)
        text = LanguageFileManager.GetText(kTextSection, u"NoDongleExists");
      break;
    case device::ReceiverFound::None:
      // Without the device-manager library no receiver can be reached either: the user is told
      // so, rather than handed an empty box.
      text = LanguageFileManager.GetText(kTextSection, u"NoDongleExists");
      break;
  }
  ShowReceiverMessage(text);
  return false;
}

void MainForm::ShowReceiverMessage(const std::u16string& text) {
  modules::ModuleStrings strings;
  modules::ShowMessageConfirm(modules::MakeMessageConfirmRecord(
                                  strings, {LanguageId, SectionPath, Handle(), FormsFolder}, text),
                              FormsFolder);
}

int32_t MainForm::LaunchMultiPairForm() {
  modules::ModuleStrings strings;
  modules::MultiPairFormRecord record =
      modules::MakeMultiPairFormRecord(strings, {LanguageId, SectionPath, Handle(), FormsFolder});
  modules::ModuleCall<modules::MultiPairFormRecord> module(FormsFolder +
                                                           modules::MultiPairFormLibraryPath());
  // The module's form runs inside this call; its requests arrive at MainWindowProc meanwhile.
  return module.Invoke(&record);
}

namespace {

// Answers go only to an existing window: never to HWND_BROADCAST (every top-level window) or to a
// handle that names nothing. The request is carried out either way.
HWND AnswerTarget(uintptr_t handle) {
  HWND to = reinterpret_cast<HWND>(handle);
  return to && to != HWND_BROADCAST && IsWindow(to) ? to : nullptr;
}

void PostAnswer(HWND to, const char16_t* name, WPARAM w, LPARAM l) {
  const UINT id = device::RegisteredMessage(name);
  if (to && id) PostMessageW(to, id, w, l);
}

void SendAnswer(HWND to, const char16_t* name, WPARAM w, LPARAM l) {
  const UINT id = device::RegisteredMessage(name);
  if (to && id) SendMessageW(to, id, w, l);
}

}  // namespace

void MainForm::MainWindowProc(ui::Message& message) {
  // Identifiers are asked for by name every time: they are the system's, not ours to keep. A
  // standard message (below the registered range) is passed on without asking.
  const uint32_t id = message.Msg;
  // A request inside another's library call is not started: it is answered as failed.
  const bool inUse = DeviceUses > 0;
  if (device::IsRegisteredMessage(id, device::kAmPairStart)) {
    message.Result = !inUse && UsingDevices([this] { return DoPairStart(); }) ? 1 : 0;
  } else if (device::IsRegisteredMessage(id, device::kAmPairGetId)) {
    device::NewDevice device;  // "no device" unless read and stored
    message.Result = !inUse && UsingDevices([&] { return ReadNewDeviceId(device); }) ? 1 : 0;
    // Posted in every case; after a failed read or store it says "no device" (kind -1,
    // identifier 0). The kind is sign-extended: -1 has every bit set on 64-bit too.
    PostAnswer(AnswerTarget(message.WParam), device::kAmPairReturnId,
               static_cast<WPARAM>(static_cast<INT_PTR>(device.kind)),
               static_cast<LPARAM>(device.identifier));
  } else if (device::IsRegisteredMessage(id, device::kAmPairStop)) {
    message.Result = !inUse && UsingDevices([this] { return DoPairStop(); }) ? 1 : 0;
  } else if (device::IsRegisteredMessage(id, device::kAmChannelSettingExRequestRfInfo)) {
    // Inside another call it gets no answer: its only failure answer says the receiver is gone.
    if (!inUse) AnswerRfInfoRequest(reinterpret_cast<ui::NativeHandle>(message.WParam));
  } else if (inUse && id == WM_CLOSE) {
    Pending = PendingClose::Close;
    message.Result = 0;
  } else if (inUse && id == WM_QUERYENDSESSION) {
    // The session may end: the close query runs when the library call has returned.
    if (Pending == PendingClose::None) Pending = PendingClose::SessionQuery;
    message.Result = 1;
  } else {
    // A session end that was called off: the close query of WM_QUERYENDSESSION closed device
    // access, so it is opened again as at start-up; a close query still waiting is dropped.
    if (id == WM_ENDSESSION && !message.WParam) {
      if (Pending == PendingClose::SessionQuery)
        Pending = PendingClose::None;
      else
        UsingDevices([this] { device::OpenDeviceAccess(Devices, Handle()); });
    }
    // Everything else, standard or registered, goes to the saved procedure untouched.
    SavedWindowProc(message);
    if (id == WM_PAINT) startup::Mark("form painted");
  }
}

void MainForm::AnswerRfInfoRequest(ui::NativeHandle requester) {
  RfInfoRequester = requester;
  HWND to = AnswerTarget(reinterpret_cast<uintptr_t>(RfInfoRequester));
  if (const auto radio = UsingDevices([this] { return Requests.ReadRadioInfo(); })) {
    SendAnswer(to, device::kAmChannelSettingExRfInfo, radio->channel, radio->level);
    return;
  }
  // The receiver stays unreadable: it is gone. The requester is told, and the launcher ends.
  SendAnswer(to, device::kAmDeviceRemove, 0, 0);
  CloseWhenIdle();
}

}  // namespace shell
