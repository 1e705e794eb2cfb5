// The line-weight dialog (resource 200): the user states which line weight
// marks the entities of the layers AM_0, AM_3 and AM_4. Confirmed texts go
// to csStrichAM0, csStrichAM3 and csStrichAM4.
#pragma once

#include "afxwin.h"

class CStrichSt : public CDialog {
 public:
  explicit CStrichSt(CWnd* pParent = nullptr);
  ~CStrichSt() override;

  CString m_csAM0;  // combo box 201
  CString m_csAM3;  // combo box 203
  CString m_csAM4;  // combo box 204

 protected:
  DECLARE_MESSAGE_MAP()
  void DoDataExchange(CDataExchange* pDX) override;

 public:
  BOOL OnInitDialog() override;

 protected:
  void OnOK() override;
};

// Shows the line-weight dialog modally with the defaults 0.50, 0.35 and 0.25.
// The outcome is known only through the module-wide texts: OK stores the
// three texts as typed or chosen; cancel leaves them as they were.
void ICallMe();
