#include "ui/Controls.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

// --- TControl ---

TControl::TControl(Component* owner, std::u16string name) : Component(owner, std::move(name)) {
  WindowProc = [this](Message& m) { WndProc(m); };
}

TControl::~TControl() {
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    parent_->Invalidate();
  }
  parent_ = parent;
  if (parent_) {
    parent_->controls_.push_back(this);
    Changed();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  // Layout files can carry any 32-bit value: the edges wrap as the platform's integers do
  // instead of overflowing.
  const auto wrap = [](int a, int b) {
    return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
  };
  const TRect r{left, top, wrap(left, width), wrap(top, height)};
  if (r == bounds_) return;
  bounds_ = r;
  Changed();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed();
}

void TControl::SetCaption(std::u16string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  Changed();
}

void TControl::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed();
}

void TControl::SetFont(const TFont& f) {
  if (f == font_) return;
  font_ = f;
  Changed();
}

// A control without a window shows through its parent's painting.
void TControl::Changed() {
  Invalidate();
}

void TControl::Invalidate() {
  // A windowed control repaints its own window; any other shows through its parent's.
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->peer_) {
    w->peer_->Invalidate();
  } else if (parent_) {
    parent_->Invalidate();
  }
}

intptr_t TControl::Perform(uint32_t msgId, uintptr_t wParam, intptr_t lParam) {
  Message m{msgId, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(Message& m) {
  switch (m.Msg) {
    case msg::kLButtonDown:
    case msg::kLButtonDblClk:
      MouseDown(TMouseButton::mbLeft, static_cast<TShiftState>(m.WParam), LoWordSigned(m.LParam),
                HiWordSigned(m.LParam));
      break;
    case msg::kRButtonDown:
      MouseDown(TMouseButton::mbRight, static_cast<TShiftState>(m.WParam), LoWordSigned(m.LParam),
                HiWordSigned(m.LParam));
      break;
    case msg::kMButtonDown:
      MouseDown(TMouseButton::mbMiddle, static_cast<TShiftState>(m.WParam), LoWordSigned(m.LParam),
                HiWordSigned(m.LParam));
      break;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(Message& m) {
  m.Result = 0;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

// --- TLabel, TImage ---

TLabel::TLabel(Component* owner, std::u16string name) : TGraphicControl(owner, std::move(name)) {
  SetColor(clBtnFace);
}

TImage::TImage(Component* owner, std::u16string name) : TGraphicControl(owner, std::move(name)) {}

void TImage::LoadPicture(const std::u16string& path) {
  SetPicture(TBitmap::LoadFromFile(path));
}

void TImage::SetBounds(int left, int top, int width, int height) {
  if (AutoSize && !picture_.Empty()) {
    width = picture_.Width();
    height = picture_.Height();
  }
  TGraphicControl::SetBounds(left, top, width, height);
}

void TImage::SetPicture(TBitmap picture) {
  picture_ = std::move(picture);
  if (AutoSize && !picture_.Empty()) {
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  }
  Invalidate();
}

// --- TWinControl ---

TWinControl::TWinControl(Component* owner, std::u16string name)
    : TControl(owner, std::move(name)) {}

TWinControl::~TWinControl() {
  // Children leave before the window goes, so none of them refers to a dead parent.
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
  peer_.reset();
}

NativeHandle TWinControl::Handle() {
  if (!peer_ && !creatingPeer_) {
    if (Parent()) Parent()->Handle();  // a child window needs its parent's first
  }
  // The parent's window may have brought this one along.
  if (!peer_ && !creatingPeer_) {
    creatingPeer_ = true;
    peer_ = CreatePeer();
    creatingPeer_ = false;
    if (peer_) {
      peer_->Update();  // visibility and what changed while the window was being made
      // Windowed children get their windows with their parent's.
      for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->Handle();
      }
    }
  }
  return peer_ ? peer_->Handle() : nullptr;
}

void TWinControl::DestroyHandle() {
  peer_.reset();
}

TControl* TWinControl::ControlAtPos(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->Visible() && !dynamic_cast<TWinControl*>(c) && c->BoundsRect().Contains(x, y)) return c;
  }
  return nullptr;
}

TWinControl* TWinControl::FindChildByHandle(NativeHandle h) const {
  if (!h) return nullptr;
  for (TControl* c : controls_) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->HandleAllocated() && w->Peer()->Handle() == h) return w;
  }
  return nullptr;
}

void TWinControl::WndProc(Message& m) {
  switch (m.Msg) {
    case msg::kLButtonDown:
    case msg::kLButtonDblClk:
    case msg::kRButtonDown:
    case msg::kMButtonDown: {
      // A press over a label or an image belongs to that control, in its own coordinates.
      const int x = LoWordSigned(m.LParam), y = HiWordSigned(m.LParam);
      if (TControl* c = ControlAtPos(x, y)) {
        Message forwarded{m.Msg, m.WParam, MakeLParam(x - c->Left(), y - c->Top()), 0};
        c->Dispatch(forwarded);
        m.Result = forwarded.Result;
        return;
      }
      break;
    }
    case msg::kCommand:
      // Notifications from a child window go back to that child (its click, for a button).
      if (TWinControl* child = FindChildByHandle(reinterpret_cast<NativeHandle>(m.LParam))) {
        Message reflected{msg::kReflectedCommand, m.WParam, m.LParam, 0};
        child->Dispatch(reflected);
        m.Result = reflected.Result;
        return;
      }
      break;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(Message& m) {
  if (peer_) {
    peer_->DefaultHandler(m);
  } else {
    m.Result = 0;
  }
}

void TWinControl::Changed() {
  if (peer_) {
    peer_->Update();
  } else if (Parent() && Parent()->HandleAllocated()) {
    Handle();  // joined a parent that already has its window
  }
  TControl::Changed();
}

// --- TButton ---

TButton::TButton(Component* owner, std::u16string name) : TWinControl(owner, std::move(name)) {}

void TButton::SetOwnerDrawn(bool ownerDrawn) {
  if (ownerDrawn_ == ownerDrawn) return;
  ownerDrawn_ = ownerDrawn;
  Changed();
}

void TButton::WndProc(Message& m) {
  if (m.Msg == msg::kReflectedCommand && (m.WParam >> 16) == msg::kBnClicked) {
    Click();
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

// --- TForm ---

TForm::TForm(Component* owner, std::u16string name) : TWinControl(owner, std::move(name)) {
  SetVisible(false);
  SetColor(clBtnFace);
}

void TForm::AfterConstruction() {
  if (OnCreate) OnCreate(this);
}

void TForm::Show() {
  Handle();
  SetVisible(true);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  Hide();
  if (App().MainForm() == this) App().Terminate();
}

void TForm::WndProc(Message& m) {
  switch (m.Msg) {
    case msg::kActivate:
      if ((m.WParam & 0xFFFF) != 0 && OnActivate) OnActivate(this);  // not WA_INACTIVE
      break;
    case msg::kClose:
      // The framework decides; the platform's default would destroy the window.
      Close();
      m.Result = 0;
      return;
    case msg::kQueryEndSession:
      // Logoff or shutdown: the form's close query runs as for a close, and its answer is the
      // session's. The window stays; the session's end takes the process.
      m.Result = CloseQuery() ? 1 : 0;
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

// --- Text-entry controls ---

TEdit::TEdit(Component* owner, std::u16string name) : TWinControl(owner, std::move(name)) {
  SetColor(clWindow);
}

TComboBox::TComboBox(Component* owner, std::u16string name) : TWinControl(owner, std::move(name)) {
  SetColor(clWindow);
}

TMemo::TMemo(Component* owner, std::u16string name) : TWinControl(owner, std::move(name)) {
  SetColor(clWindow);
}

TRichEdit::TRichEdit(Component* owner, std::u16string name) : TWinControl(owner, std::move(name)) {
  SetColor(clWindow);
}

// --- TLabeledEdit ---

TLabeledEdit::TLabeledEdit(Component* owner, std::u16string name)
    : TEdit(owner, std::move(name)), label_(new TBoundLabel(this, u"SubLabel")) {
  label_->SetBounds(0, 0, 0, 13);
}

void TLabeledEdit::Changed() {
  TEdit::Changed();
  if (!label_) return;  // still being constructed
  // Only a move or a new parent places the label again; its own changes are left alone.
  if (Parent() == labelParent_ && BoundsRect() == labelFor_) return;
  labelParent_ = Parent();
  labelFor_ = BoundsRect();
  label_->SetParent(Parent());
  label_->SetBounds(Left(), Top() - label_->Height() - LabelSpacing, label_->Width(),
                    label_->Height());
}

}  // namespace ui
