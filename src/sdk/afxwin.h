// The class-library subset the module uses: windows, modal dialogs with data
// exchange, combo boxes, the open-file dialog, file search, message boxes and
// the extension-module set-up. The host's platform layer implements it.
#pragma once

#include <string>
#include <vector>

#include "cstring.h"
#include "dialog_resource.h"
#include "win32.h"

enum : DWORD { OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4 };

struct DialogState;  // the host's runtime data of one modal dialog

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  void GetWindowText(CString& text) const;
  void SetWindowText(const char* text);
  int GetDlgCtrlID() const { return id_; }
  // The window object for a window handle (the host's main window among
  // them); null for a null handle.
  static CWnd* FromHandle(HWND hwnd);

  // Host side: the control id, text and window style of a child window.
  int id_ = 0;
  CString text_;
  uint32_t style_ = 0;
};

class CComboBox : public CWnd {
 public:
  int AddString(const char* text);
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  void GetLBText(int index, CString& text) const;
  // Index of the first entry after start that begins with prefix, compared
  // without regard to case; the search goes on from the top of the list back
  // to start, as the system's combo box does (start -1: the whole list from
  // the top). -1 when there is none.
  int FindString(int start, const char* prefix) const;

  // Host side: the list and the selection.
  std::vector<std::string> items_;
  int selection_ = -1;
};

class CDataExchange {
 public:
  BOOL m_bSaveAndValidate;
  class CDialog* m_pDlgWnd;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* base;
  int entry_count;
};

#define DECLARE_MESSAGE_MAP()         \
 protected:                           \
  static const AFX_MSGMAP messageMap; \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; } \
  const AFX_MSGMAP theClass::messageMap = {&baseClass::messageMap,
#define END_MESSAGE_MAP() \
  0                       \
  }                       \
  ;

class CDialog : public CWnd {
 public:
  CDialog(UINT template_id, CWnd* parent = nullptr);
  ~CDialog() override;
  // Runs the dialog modally through the user channel. Returns IDOK, IDCANCEL,
  // or -1 when the dialog resource cannot be found.
  virtual int DoModal();
  virtual BOOL OnInitDialog();
  BOOL UpdateData(BOOL save_and_validate = TRUE);
  void EndDialog(int result);
  CWnd* GetDlgItem(int id) const;

 protected:
  static const AFX_MSGMAP messageMap;
  virtual const AFX_MSGMAP* GetMessageMap() const;
  virtual void DoDataExchange(CDataExchange* dx);
  virtual void OnOK();
  virtual void OnCancel();

 public:
  // Host side.
  UINT template_id_;
  CWnd* parent_;
  DialogState* state_ = nullptr;
  friend struct DialogRunner;
};

// Exchanges a combo box's text with value. Loading selects the first list
// entry that begins with value (without regard to case) or, when none does,
// puts value into the edit field; saving reads the box's window text.
void DDX_CBString(CDataExchange* dx, int id, CString& value);

class CFileDialog : public CDialog {
 public:
  CFileDialog(BOOL open_file_dialog, LPCTSTR default_ext = nullptr, LPCTSTR file_name = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR filter = nullptr,
              CWnd* parent = nullptr);
  int DoModal() override;
  CString GetPathName() const;

  // Host side: what the dialog was opened with and what the user chose.
  BOOL open_;
  CString default_ext_;
  CString initial_name_;
  DWORD flags_;
  CString filter_;
  CString chosen_;
};

class CFileFind {
 public:
  CFileFind();
  ~CFileFind();
  // TRUE when a file of that name (a Windows path) exists.
  BOOL FindFile(LPCTSTR name = nullptr, DWORD unused = 0);
  void Close();

 private:
  bool found_ = false;
};

int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT help_id = 0);

// Extension-module plumbing.
struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;
  HINSTANCE hModule;
  HINSTANCE hResource;
};
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE module);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state);
HINSTANCE AfxGetResourceHandle();

// Puts a module's resources on the chain the dialog lookup searches. Made
// with new when the module attaches; AfxTermExtensionModule deletes it.
class CDynLinkLibrary {
 public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state);
  ~CDynLinkLibrary();
  HINSTANCE resource_;
  HINSTANCE module_;
};

// The host UI library's start-up.
void InitAcUiDLL();
