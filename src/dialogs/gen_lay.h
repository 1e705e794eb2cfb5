// The Genius layer dialog (resource 201): coarse ("Layer->grob", the default
// button, OK) or fine ("Layer->fein", which ends the dialog like a cancel)
// Genius layers.
#pragma once

#include "afxwin.h"

class CGenLay : public CDialog {
 public:
  explicit CGenLay(CWnd* pParent = nullptr);
  ~CGenLay() override;

 protected:
  DECLARE_MESSAGE_MAP()
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
};

// Shows the dialog modally. 1 for "Layer->grob" (OK, Enter); 0 for
// "Layer->fein", Escape, the close box, or a dialog that cannot be shown.
int ICallGenLay();
