// The modal dialog runtime: builds a dialog's controls from its resource,
// runs the dialog class's initialisation and data exchange, and lets the
// user channel show the dialog and act on it.
#include <map>
#include <memory>
#include <vector>

#include "host/cmdline/command_line.h"
#include "host/platform/platform.h"
#include "host/session.h"
#include "host/ui/text_encoding.h"
#include "host/ui/user_channel.h"
#include "sdk/afxwin.h"

struct DialogRunner {
  static int Run(CDialog& dialog);
  static host::DialogView View(const DialogState& state, int focus_id);
};

// The live controls of one modal run.
struct DialogState {
  const DialogTemplate* resource = nullptr;
  std::vector<std::unique_ptr<CWnd>> controls;  // in template order
  bool ended = false;
  int result = IDCANCEL;
};

namespace {

constexpr int kCbErr = -1;
// A dialog that none of its buttons ends (an OnOK that never accepts, a
// channel that keeps pressing the same button) is given up after this many
// rounds, so that a batch run cannot hang.
constexpr int kMaxRounds = 100;

bool IsPushButton(const DialogControl& c) { return c.control_class == ControlClass::kButton; }
bool IsDefaultButton(const DialogControl& c) {
  return IsPushButton(c) && (c.style & 0xF) == BS_DEFPUSHBUTTON;
}

bool SortsBefore(const std::string& a, const std::string& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    auto x = static_cast<unsigned char>(host::FoldCase1252(a[i]));
    auto y = static_cast<unsigned char>(host::FoldCase1252(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

// ---- windows and combo boxes ---------------------------------------------------

CWnd::CWnd() = default;
CWnd::~CWnd() = default;

CWnd* CWnd::FromHandle(HWND hwnd) {
  // One window object per handle, kept for the life of the program, as the
  // class library keeps its objects for windows it did not create.
  static std::map<HWND, std::unique_ptr<CWnd>> windows;
  if (hwnd == nullptr) return nullptr;
  std::unique_ptr<CWnd>& window = windows[hwnd];
  if (!window) window = std::make_unique<CWnd>();
  return window.get();
}

void CWnd::GetWindowText(CString& text) const { text = text_; }

void CWnd::SetWindowText(const char* text) { text_ = text; }

int CComboBox::AddString(const char* text) {
  if (text == nullptr) return kCbErr;
  size_t index = items_.size();
  if (style_ & CBS_SORT) {
    // Sorted lists insert before the first entry that sorts after the text.
    index = 0;
    while (index < items_.size() && !SortsBefore(text, items_[index])) ++index;
    if (selection_ >= static_cast<int>(index)) ++selection_;
  }
  items_.insert(items_.begin() + static_cast<long>(index), text);
  return static_cast<int>(index);
}

int CComboBox::GetCount() const { return static_cast<int>(items_.size()); }

int CComboBox::GetCurSel() const { return selection_; }

int CComboBox::SetCurSel(int index) {
  if (index < 0 || index >= GetCount()) {
    // As the system's combo box: an invalid index clears the selection and
    // the edit field.
    selection_ = -1;
    text_ = "";
    return kCbErr;
  }
  selection_ = index;
  text_ = items_[static_cast<size_t>(index)];
  return index;
}

void CComboBox::GetLBText(int index, CString& text) const {
  if (index < 0 || index >= GetCount()) {
    text.Empty();
    return;
  }
  text = items_[static_cast<size_t>(index)];
}

int CComboBox::FindString(int start, const char* prefix) const {
  int count = GetCount();
  if (prefix == nullptr || count == 0) return kCbErr;
  int first = (start < 0 || start >= count) ? 0 : start + 1;
  for (int k = 0; k < count; ++k) {
    int index = (first + k) % count;
    if (host::StartsWithNoCase1252(items_[static_cast<size_t>(index)], prefix)) return index;
  }
  return kCbErr;
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
  if (dx == nullptr || dx->m_pDlgWnd == nullptr) return;
  CWnd* control = dx->m_pDlgWnd->GetDlgItem(id);
  if (control == nullptr) return;  // no such control: nothing to exchange
  if (dx->m_bSaveAndValidate) {
    control->GetWindowText(value);
    return;
  }
  auto* combo = dynamic_cast<CComboBox*>(control);
  int index = combo ? combo->FindString(-1, value) : kCbErr;
  if (index != kCbErr)
    combo->SetCurSel(index);
  else
    control->SetWindowText(value);
}

// ---- dialogs ---------------------------------------------------------------------

const AFX_MSGMAP CDialog::messageMap = {nullptr, 0};

CDialog::CDialog(UINT template_id, CWnd* parent) : template_id_(template_id), parent_(parent) {}

CDialog::~CDialog() = default;

const AFX_MSGMAP* CDialog::GetMessageMap() const { return &CDialog::messageMap; }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDialog::UpdateData(BOOL save_and_validate) {
  if (state_ == nullptr) return FALSE;  // no controls outside a modal run
  CDataExchange dx;
  dx.m_bSaveAndValidate = save_and_validate;
  dx.m_pDlgWnd = this;
  DoDataExchange(&dx);
  return TRUE;
}

void CDialog::EndDialog(int result) {
  if (state_ == nullptr) return;
  state_->ended = true;
  state_->result = result;
}

CWnd* CDialog::GetDlgItem(int id) const {
  if (state_ == nullptr) return nullptr;
  for (const std::unique_ptr<CWnd>& control : state_->controls)
    if (control->id_ == id) return control.get();
  return nullptr;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

int CDialog::DoModal() { return DialogRunner::Run(*this); }

// ---- the modal run -----------------------------------------------------------------

host::DialogView DialogRunner::View(const DialogState& state, int focus_id) {
  using Kind = host::DialogControlView::Kind;
  const DialogTemplate& resource = *state.resource;
  host::DialogView view;
  view.resource_id = resource.id;
  view.caption = resource.caption ? resource.caption : "";
  view.focus_id = focus_id;
  int default_button = 0, focused_button = 0;
  for (size_t i = 0; i < resource.control_count; ++i) {
    const DialogControl& c = resource.controls[i];
    const CWnd& live = *state.controls[i];
    if (IsDefaultButton(c) && default_button == 0) default_button = c.id;
    if (IsPushButton(c) && c.id == focus_id) focused_button = c.id;
    if (!(live.style_ & WS_VISIBLE)) continue;
    host::DialogControlView v;
    v.id = c.id;
    v.text = live.text_.str();
    v.x = c.x, v.y = c.y, v.width = c.width, v.height = c.height;
    switch (c.control_class) {
      case ControlClass::kButton:
        v.kind = IsDefaultButton(c) ? Kind::kDefaultButton : Kind::kButton;
        break;
      case ControlClass::kStatic:
        v.kind = Kind::kStatic;
        break;
      case ControlClass::kComboBox:
      case ControlClass::kEdit:
        v.kind = Kind::kComboBox;
        if (const auto* combo = dynamic_cast<const CComboBox*>(&live)) {
          v.items = combo->items_;
          v.selection = combo->selection_;
        }
        break;
    }
    view.controls.push_back(std::move(v));
  }
  // Enter presses the focused push button, else the default one.
  view.default_button = focused_button ? focused_button : default_button ? default_button : IDOK;
  return view;
}

int DialogRunner::Run(CDialog& dialog) {
  host::Session* session = host::CurrentSession();
  if (session == nullptr || dialog.state_ != nullptr) return -1;
  const DialogTemplate* resource =
      session->platform().FindDialogTemplate(static_cast<int>(dialog.template_id_));
  if (resource == nullptr) return -1;

  DialogState state;
  state.resource = resource;
  for (size_t i = 0; i < resource->control_count; ++i) {
    const DialogControl& c = resource->controls[i];
    std::unique_ptr<CWnd> control;
    if (c.control_class == ControlClass::kComboBox)
      control = std::make_unique<CComboBox>();
    else
      control = std::make_unique<CWnd>();
    control->id_ = c.id;
    control->text_ = c.text;
    control->style_ = c.style;
    state.controls.push_back(std::move(control));
  }
  struct Attach {  // the dialog sees its controls only during the run
    CDialog& d;
    ~Attach() { d.state_ = nullptr; }
  } attach{dialog};
  dialog.state_ = &state;

  // With TRUE from OnInitDialog the focus goes to the first tab stop.
  int focus_id = 0;
  if (dialog.OnInitDialog()) {
    for (size_t i = 0; i < resource->control_count; ++i) {
      uint32_t style = resource->controls[i].style;
      if ((style & WS_TABSTOP) && (style & WS_VISIBLE)) {
        focus_id = resource->controls[i].id;
        break;
      }
    }
  }
  if (state.ended) return state.result;

  for (int round = 0; round < kMaxRounds; ++round) {
    host::DialogAction action = session->user().RunDialog(View(state, focus_id));
    for (const auto& [id, text] : action.texts) {
      CWnd* control = dialog.GetDlgItem(id);
      if (control == nullptr) continue;
      auto* combo = dynamic_cast<CComboBox*>(control);
      if (combo == nullptr) {
        control->text_ = text;
        continue;
      }
      // Choosing an entry selects it; other text goes into the edit field.
      combo->selection_ = -1;
      combo->text_ = text;
      for (size_t k = 0; k < combo->items_.size(); ++k) {
        if (combo->items_[k] == text) {
          combo->selection_ = static_cast<int>(k);
          break;
        }
      }
    }
    if (action.button == IDOK)
      dialog.OnOK();
    else if (action.button == IDCANCEL)
      dialog.OnCancel();
    if (state.ended) return state.result;
  }
  session->command_line().Print("\nDialog \"" +
                                std::string(resource->caption ? resource->caption : "") +
                                "\" nicht beendet: abgebrochen.");
  return IDCANCEL;
}
