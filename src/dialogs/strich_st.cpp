#include "dialogs/strich_st.h"

#include "arx.h"
#include "dialogs/res_override.h"
#include "module/module_state.h"
#include "module/resource_ids.h"
#include "passes/line_weight_text.h"

BEGIN_MESSAGE_MAP(CStrichSt, CDialog)
END_MESSAGE_MAP()

CStrichSt::CStrichSt(CWnd* pParent)
    : CDialog(IDD_STRICHST, pParent), m_csAM0("0.50"), m_csAM3("0.35"), m_csAM4("0.25") {}

CStrichSt::~CStrichSt() = default;

void CStrichSt::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_CBString(pDX, IDC_COMBO_AM0, m_csAM0);
  DDX_CBString(pDX, IDC_COMBO_AM3, m_csAM3);
  DDX_CBString(pDX, IDC_COMBO_AM4, m_csAM4);
}

BOOL CStrichSt::OnInitDialog() {
  // The lists are still empty here, so each box shows its default text in
  // its edit field and no entry is selected.
  CDialog::OnInitDialog();
  CComboBox* boxes[] = {dynamic_cast<CComboBox*>(GetDlgItem(IDC_COMBO_AM0)),
                        dynamic_cast<CComboBox*>(GetDlgItem(IDC_COMBO_AM3)),
                        dynamic_cast<CComboBox*>(GetDlgItem(IDC_COMBO_AM4))};
  for (const LineWeightEntry& entry : kLineWeights)
    for (CComboBox* box : boxes)
      if (box != nullptr) box->AddString(entry.text);
  UpdateData(TRUE);
  return TRUE;
}

void CStrichSt::OnOK() {
  // Taken verbatim: a typed text that is not in the list, or an emptied box,
  // is stored as it is.
  UpdateData(TRUE);
  csStrichAM0 = m_csAM0;
  csStrichAM3 = m_csAM3;
  csStrichAM4 = m_csAM4;
  CDialog::OnOK();
}

void ICallMe() {
  CResOverride resOverride;
  CStrichSt cst(CWnd::FromHandle(adsw_acadMainWnd()));
  cst.DoModal();
}
