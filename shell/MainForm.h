#pragma once
// The launcher's one window: a borderless form with a background picture, descriptive labels,
// a version label and three push buttons. It works out the data folders beside the executable,
// opens device access when it is created and closes it when it is asked to close.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/ReceiverCommands.h"
#include "device/DeviceLibrary.h"
#include "device/ReceiverRequests.h"
#include "skin/SkinnedButton_win.h"
#include "text/LanguageFiles.h"
#include "ui/win/HoverHints.h"
#include "ui/Controls.h"
#include "ui/IniFile.h"

namespace shell {

class MainForm : public ui::TForm {
 public:
  // The device-manager library comes from `devices` when given (tests), else from the file
  // beside the executable.
  explicit MainForm(ui::Component* owner = nullptr,
                    std::unique_ptr<device::LibrarySource> devices = nullptr);
  ~MainForm() override;
  std::u16string_view ClassName() const override { return u"TTandrelProgram"; }

  // Controls, in creation order; owned by the form. Public, as the form's design is: the layout
  // and text code find them by name anyway.
  ui::TImage* im_BackgroundImage;
  ui::TLabel* lb_ForMeeting;
  ui::TLabel* lb_ForLife;
  ui::TLabel* lb_ForMeetingNotes;
  ui::TLabel* lb_ProgramTitle;
  ui::TImage* im_Totem;
  ui::TLabel* lb_Title;
  ui::TLabel* lb_Version;
  ui::TLabel* lb_ForLifeNotes;
  ui::TButton* bt_Close;
  ui::TButton* bt_NewMultiPairProcess;
  ui::TButton* bt_OpenRSSIDisplay;

  // Event handlers.
  void FormCreate(ui::Component* sender);
  void FormActivate(ui::Component* sender);
  void FormMouseDown(ui::Component* sender, ui::TMouseButton button, ui::TShiftState shift, int x,
                     int y);
  void FormCloseQuery(ui::Component* sender, bool& canClose);
  void bt_CloseClick(ui::Component* sender);
  void bt_NewMultiPairProcessClick(ui::Component* sender);
  void bt_OpenRSSIDisplayClick(ui::Component* sender);

 private:
  // Installed as the form's window procedure: the modules' requests, everything else to
  // SavedWindowProc.
  void MainWindowProc(ui::Message& message);

  // Exactly one receiver of firmware 38 or above; otherwise the user is told why, and false.
  bool CheckReceiver();
  int32_t LaunchMultiPairForm();

  // The layout file beside the skin: its "Version" key (section "English") names the version.
  std::u16string LayoutFile() const { return SkinFolder + u"UI_Main.txt"; }
  void CreateControls();
  // The layout file, read once for the version and the layout; nothing when there is none.
  std::optional<ui::TIniFile> ReadLayoutFile() const;
  void ReadVersion(const std::optional<ui::TIniFile>& layout);
  void ApplyMainLayout(std::optional<ui::TIniFile> layout);
  void LoadSkinPictures();
  void CreateBitmapButtons();
  std::u16string SkinFile(const std::u16string& name) const;
  void ShowReceiverMessage(const std::u16string& text);

  // The feature modules' requests, carried out by Requests.
  bool DoPairStart() { return Requests.DoPairStart(); }
  bool DoPairStop() { return Requests.DoPairStop(); }
  bool ReadNewDeviceId(device::NewDevice& device) { return Requests.ReadNewDeviceId(device); }
  void AnswerRfInfoRequest(ui::NativeHandle requester);

  // The buttons' tooltips; destroyed after the skins, which chain to the hook that feeds them.
  ui::win::HoverHints Hints;
  // The buttons whose mouse messages feed Hints, with the window procedures they had before.
  std::vector<std::pair<ui::TButton*, ui::WndMethod>> HintedButtons;
  // Skinned drawing of the three push buttons; destroyed first, before the controls under them.
  std::unique_ptr<skin::SkinnedButton> CloseBitmapButton;
  std::unique_ptr<skin::SkinnedButton> NewMultiPairBitmapButton;
  std::unique_ptr<skin::SkinnedButton> RSSIBitmapButton;

  // The window procedure the form had before MainWindowProc was installed.
  ui::WndMethod SavedWindowProc;
  // Declared before the strings so that it is destroyed after them.
  text::LanguageFiles LanguageFileManager;
  // The language the texts were loaded for; it names the skin sub-folder.
  std::u16string ActiveLanguage;
  // Folder strings keep the doubled backslash that joining produces (C:\App\\Data\...);
  // they are handed on to the feature modules exactly so.
  std::u16string ExeFolder;
  std::u16string FormsFolder;
  std::u16string SkinFolder;
  std::u16string SharedTextFolder;
  std::u16string SectionPath;  // always empty here
  uint16_t LanguageId = 0;     // 0: each manager takes the platform's default language
  bool ReceiverOk = false;
  // The window takes its outline once, at its first activation.
  bool FirstActivation = true;

  class FeatureScope;
  // A feature button's press is being handled (a module may be running).
  bool FeatureRunning = false;

  // Device access in use: a receiver request, the receiver check, opening or closing access. A
  // library that dispatches messages while it waits lets a close or another request in meanwhile:
  // a close is then carried out once the outermost use has returned, so the library is never freed
  // under its own code, and a request is answered as failed without touching the receiver.
  template <typename Work>
  decltype(auto) UsingDevices(Work&& work);
  // Closes now, or when device access is no longer in use.
  void CloseWhenIdle();
  void CarryOutPendingClose();
  int DeviceUses = 0;
  enum class PendingClose { None, SessionQuery, Close };
  PendingClose Pending = PendingClose::None;

  // The window that asked for radio information last.
  ui::NativeHandle RfInfoRequester = nullptr;
  // The device-manager library, loaded from FormCreate to FormCloseQuery. Declared before the
  // receiver and the requests, which call through it, so that it outlives them.
  device::DeviceLibrary Devices;
  device::SleepingClock Clock;
  // The receiver the last successful check found; requests of the feature modules go to it.
  // It goes first (after the bitmap buttons), then the strings, then the texts.
  device::ReceiverCommands Receiver{Devices};
  device::ReceiverRequests Requests{Devices, Receiver, Clock};
};

// The main form once it is created.
extern MainForm* TandrelProgram;

// Left/top that centre a window of the given size on a screen: signed division truncating toward
// zero, so a window 5 pixels wider than the screen gets -2, not -3.
inline int CentredOrigin(int screenSize, int windowSize) {
  return (screenSize - windowSize) / 2;
}

}  // namespace shell
