#pragma once
// The control model: plain C++ state (bounds, captions, colours, fonts, events) and the message
// handling the framework gives every control. Windows and painting live behind WindowPeer
// (ui/win on Windows); natively there is no peer, so the same model runs in unit tests.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Component.h"
#include "ui/Graphics.h"
#include "ui/Message.h"

namespace ui {

class TControl;
class TWinControl;
class TForm;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
// Modifier and button bits of a mouse message, as the platform's MK_* flags.
using TShiftState = uint32_t;

using TNotifyEvent = std::function<void(Component* sender)>;
using TMouseEvent =
    std::function<void(Component* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TCloseQueryEvent = std::function<void(Component* sender, bool& canClose)>;

// The platform window behind a windowed control. Created on first need of the handle.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;
  virtual NativeHandle Handle() const = 0;
  // The control's bounds, caption, visibility, enabled state, font or colour changed.
  virtual void Update() = 0;
  // Repaint the whole window (labels and images are painted by their parent's window).
  virtual void Invalidate() = 0;
  // The platform's own processing of a message the framework passed on.
  virtual void DefaultHandler(Message& m) = 0;
};

// Provided per platform: real windows on Windows, none natively (returns null).
std::unique_ptr<WindowPeer> CreateFormPeer(TForm& form);
std::unique_ptr<WindowPeer> CreateButtonPeer(TWinControl& button);

class TControl : public Component {
 public:
  TControl(Component* owner, std::u16string name);
  ~TControl() override;
  std::u16string_view ClassName() const override { return u"TControl"; }

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  virtual void SetBounds(int left, int top, int width, int height);
  // Left/Top relative to the parent's client area (to the screen for a form).
  TRect BoundsRect() const { return bounds_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  const std::u16string& Caption() const { return caption_; }
  void SetCaption(std::u16string text);
  const std::u16string& Hint() const { return hint_; }
  void SetHint(std::u16string text) { hint_ = std::move(text); }
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f);

  TMouseEvent OnMouseDown;
  TNotifyEvent OnClick;

  // Every message for this control goes through WindowProc. It starts as this control's own
  // WndProc; a hook saves the current value, installs its own and chains to the saved one.
  WndMethod WindowProc;
  // Dispatches directly (not through the queue) to WindowProc and returns the result.
  intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
  void Dispatch(Message& m) { WindowProc(m); }

  // The framework's handling: mouse events, clicks; ends in DefaultHandler.
  virtual void WndProc(Message& m);
  // The platform's processing; Result 0 where there is no window.
  virtual void DefaultHandler(Message& m);

  void Invalidate();
  virtual void Click();

 protected:
  // A property that changes the look changed.
  virtual void Changed();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);

 private:
  TWinControl* parent_ = nullptr;
  TRect bounds_;
  bool visible_ = true, enabled_ = true;
  std::u16string caption_, hint_;
  TColor color_ = clBtnFace;
  TFont font_;
};

// A control without a window of its own, painted by its parent window.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  std::u16string_view ClassName() const override { return u"TGraphicControl"; }
};

class TLabel : public TGraphicControl {
 public:
  TLabel(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TLabel"; }
  // Fixed size, transparent, word-wrapped unless changed.
  bool Transparent = true;
  bool WordWrap = true;
};

class TImage : public TGraphicControl {
 public:
  TImage(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TImage"; }

  const TBitmap& Picture() const { return picture_; }
  // Loads a ".bmp" file (raising the framework's errors) and, with AutoSize, takes its size.
  void LoadPicture(const std::u16string& path);
  void SetPicture(TBitmap picture);
  // With AutoSize and a picture, the image keeps the picture's size: bounds may move it only.
  void SetBounds(int left, int top, int width, int height) override;
  bool AutoSize = true;
  bool Transparent = false;

 private:
  TBitmap picture_;
};

class TWinControl : public TControl {
 public:
  TWinControl(Component* owner, std::u16string name);
  ~TWinControl() override;
  std::u16string_view ClassName() const override { return u"TWinControl"; }

  // The window handle, created (with the parent's) on first use; null natively.
  NativeHandle Handle();
  bool HandleAllocated() const { return peer_ != nullptr; }
  void DestroyHandle();

  // Children by parent, in the order they were parented (later ones paint on top).
  const std::vector<TControl*>& Controls() const { return controls_; }
  // The topmost visible child without a window of its own at client point x, y; or null.
  TControl* ControlAtPos(int x, int y) const;
  // The windowed child with that handle, or null.
  TWinControl* FindChildByHandle(NativeHandle h) const;

  int TabOrder = -1;

  void WndProc(Message& m) override;
  void DefaultHandler(Message& m) override;

 protected:
  void Changed() override;
  virtual std::unique_ptr<WindowPeer> CreatePeer() { return nullptr; }
  WindowPeer* Peer() const { return peer_.get(); }

 private:
  friend class TControl;
  std::vector<TControl*> controls_;
  std::unique_ptr<WindowPeer> peer_;
  bool creatingPeer_ = false;
};

class TButton : public TWinControl {
 public:
  TButton(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TButton"; }
  void WndProc(Message& m) override;

  // A button whose every look is painted by whoever dressed it (a skin): the platform keeps the
  // button's behaviour but draws nothing of its own, which would only be painted over.
  bool OwnerDrawn() const { return ownerDrawn_; }
  void SetOwnerDrawn(bool ownerDrawn);

 protected:
  std::unique_ptr<WindowPeer> CreatePeer() override { return CreateButtonPeer(*this); }

 private:
  bool ownerDrawn_ = false;
};

class TForm : public TWinControl {
 public:
  explicit TForm(Component* owner, std::u16string name = u"");
  std::u16string_view ClassName() const override { return u"TForm"; }

  // Borderless: the client area is the whole window.
  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }
  void SetClientWidth(int v) { SetWidth(v); }
  void SetClientHeight(int v) { SetHeight(v); }

  TNotifyEvent OnCreate;    // after the most derived constructor has finished
  TNotifyEvent OnActivate;  // each time the form becomes the active window
  TCloseQueryEvent OnCloseQuery;

  // Called by the application once the form is fully constructed; fires OnCreate.
  virtual void AfterConstruction();
  void Show();
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery; when allowed, hides the form and, for the main form, ends the application.
  void Close();
  virtual bool CloseQuery();

  void WndProc(Message& m) override;

 protected:
  std::unique_ptr<WindowPeer> CreatePeer() override { return CreateFormPeer(*this); }
};

// --- The other classes a form may hold. Plain models: they carry what the layout and the texts
// set on them; natively, and for now on Windows, they have no window of their own.

class TCheckBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::u16string_view ClassName() const override { return u"TCheckBox"; }
  bool Checked = false;
};

class TRadioButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::u16string_view ClassName() const override { return u"TRadioButton"; }
  bool Checked = false;
};

// Text-entry controls start on the window colour, as the platform draws them.
class TEdit : public TWinControl {
 public:
  TEdit(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TEdit"; }
};

class TComboBox : public TWinControl {
 public:
  TComboBox(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TComboBox"; }
};

class TMemo : public TWinControl {
 public:
  TMemo(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TMemo"; }
};

class TRichEdit : public TWinControl {
 public:
  TRichEdit(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TRichEdit"; }
};

class TShape : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::u16string_view ClassName() const override { return u"TShape"; }
};

class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::u16string_view ClassName() const override { return u"TPanel"; }
};

class TGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::u16string_view ClassName() const override { return u"TGroupBox"; }
};

class TWebBrowser : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::u16string_view ClassName() const override { return u"TWebBrowser"; }
};

// A progress gauge drawn by its parent.
class TCGauge : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::u16string_view ClassName() const override { return u"TCGauge"; }
  int MinValue = 0, MaxValue = 100, Progress = 0;
};

// A menu entry: a component without bounds, never a control.
class TMenuItem : public Component {
 public:
  using Component::Component;
  std::u16string_view ClassName() const override { return u"TMenuItem"; }
  std::u16string Caption;
  bool Enabled = true;
};

// The caption label of a TLabeledEdit. It has its own class name and belongs to the edit, not to
// the form, so code walking the form's components meets the edit once and no extra "TLabel".
class TBoundLabel : public TLabel {
 public:
  using TLabel::TLabel;
  std::u16string_view ClassName() const override { return u"TBoundLabel"; }
};

// An edit with a caption label kept LabelSpacing pixels above it, on the same parent.
class TLabeledEdit : public TEdit {
 public:
  TLabeledEdit(Component* owner, std::u16string name);
  std::u16string_view ClassName() const override { return u"TLabeledEdit"; }

  TBoundLabel& EditLabel() const { return *label_; }
  int LabelSpacing = 3;

 protected:
  void Changed() override;

 private:
  TBoundLabel* label_ = nullptr;  // owned through the component list
  TWinControl* labelParent_ = nullptr;
  TRect labelFor_;  // the edit's bounds the label was last placed for
};

}  // namespace ui
