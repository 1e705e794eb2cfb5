#include "dialogs/gen_lay.h"

#include "arx.h"
#include "dialogs/res_override.h"
#include "module/resource_ids.h"

BEGIN_MESSAGE_MAP(CGenLay, CDialog)
END_MESSAGE_MAP()

CGenLay::CGenLay(CWnd* pParent) : CDialog(IDD_GENLAY, pParent) {}

CGenLay::~CGenLay() = default;

void CGenLay::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

void CGenLay::OnOK() { CDialog::OnOK(); }

int ICallGenLay() {
  CResOverride resOverride;
  CGenLay dialog(CWnd::FromHandle(adsw_acadMainWnd()));
  return dialog.DoModal() == IDOK ? 1 : 0;
}
