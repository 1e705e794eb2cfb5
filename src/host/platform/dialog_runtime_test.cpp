// The dialog runtime with a dialog of the test's own, shaped like the
// module's line-weight dialog.
#include <gtest/gtest.h>

#include "host/platform/platform_test_support.h"
#include "host/platform/resources.h"
#include "sdk/afxwin.h"
#include "sdk/arx.h"

namespace host {
namespace {

constexpr uint32_t kChild = WS_CHILD | WS_VISIBLE;
const DialogControl kControls[] = {
    {ControlClass::kButton, IDOK, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 126, 7, 45, 14, "OK"},
    {ControlClass::kButton, IDCANCEL, kChild | WS_TABSTOP, 126, 24, 45, 14, "Abbrechen"},
    {ControlClass::kStatic, -1, kChild | WS_GROUP, 7, 24, 30, 14, "A <- "},
    {ControlClass::kComboBox, 301, kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN, 42, 23, 56, 42,
     nullptr},
    {ControlClass::kComboBox, 302, kChild | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT, 42, 41, 56, 42,
     nullptr},
    {ControlClass::kStatic, 303, WS_CHILD, 7, 60, 30, 14, "unsichtbar"},
};
const DialogTemplate kDialogs[] = {
    {300, 1031,
     "Pr\xFC"
     "fdialog",
     WS_POPUP | WS_CAPTION, 8, "MS Sans Serif", 178, 95, kControls, std::size(kControls)},
};
const ResourceModule kResources = {"test.arx", kDialogs, std::size(kDialogs), nullptr, 0};

class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(300) {}
  CString a = "0.5";
  CString b = "zz";
  BOOL init_answer = TRUE;
  int ok_calls = 0;
  bool refuse_ok = false;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    CDialog::DoDataExchange(dx);
    DDX_CBString(dx, 301, a);
    DDX_CBString(dx, 302, b);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    auto* box_a = static_cast<CComboBox*>(GetDlgItem(301));
    auto* box_b = static_cast<CComboBox*>(GetDlgItem(302));
    for (const char* text : {"0.00", "0.50", "0.70"}) box_a->AddString(text);
    for (const char* text : {"zwei", "Drei", "eins"}) box_b->AddString(text);
    UpdateData(TRUE);
    return init_answer;
  }
  void OnOK() override {
    ++ok_calls;
    if (!refuse_ok) CDialog::OnOK();
  }
};

class DialogRuntimeTest : public testing::SessionTest {
 protected:
  void OpenWith(std::vector<DialogAnswer> answers) {
    Answers all;
    all.other_dialogs[300] = std::move(answers);
    Open(all);
    acDocManagerPtr()->pushResourceHandle(&kResources);
  }
};

TEST_F(DialogRuntimeTest, OkStoresWhatTheBoxesShow) {
  // Box 301 gets a list entry, box 302 a text of its own.
  OpenWith({{{{301, "0.70"}, {302, "vier"}}, IDOK, false}});
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.ok_calls, 1);
  EXPECT_EQ(dialog.a, "0.70");
  EXPECT_EQ(dialog.b, "vier");
  EXPECT_EQ(dialog.GetDlgItem(301), nullptr);  // the controls are gone after the run
}

TEST_F(DialogRuntimeTest, LoadingSelectsTheFirstEntryBeginningWithTheValue) {
  OpenWith({});
  TestDialog dialog;
  ASSERT_EQ(dialog.DoModal(), IDOK);
  // At the first load the lists are still empty: the values go into the
  // edit fields, and no entry is selected.
  ASSERT_EQ(channel().dialogs().size(), 1u);
  const DialogView& view = channel().dialogs()[0];
  EXPECT_EQ(view.caption,
            "Pr\xFC"
            "fdialog");
  ASSERT_EQ(view.controls.size(), 5u);  // the invisible static is not shown
  EXPECT_EQ(view.controls[0].kind, DialogControlView::Kind::kDefaultButton);
  EXPECT_EQ(view.controls[3].text, "0.5");
  EXPECT_EQ(view.controls[3].selection, -1);
  EXPECT_EQ(view.controls[3].items, (std::vector<std::string>{"0.00", "0.50", "0.70"}));
  // The sorted box sorted its entries without regard to case.
  EXPECT_EQ(view.controls[4].items, (std::vector<std::string>{"Drei", "eins", "zwei"}));
  EXPECT_EQ(view.focus_id, IDOK);
  EXPECT_EQ(view.default_button, IDOK);
}

// Runs a load into filled lists and reports the boxes' texts and selections.
class ReloadDialog : public TestDialog {
 protected:
  BOOL OnInitDialog() override {
    TestDialog::OnInitDialog();
    UpdateData(FALSE);
    return TRUE;
  }
};

TEST_F(DialogRuntimeTest, LoadingIntoFilledListsFollowsTheExchangeRules) {
  OpenWith({});
  ReloadDialog dialog;
  dialog.a = "0.5";   // begins "0.50": selected
  dialog.b = "DREI";  // the case does not matter
  ASSERT_EQ(dialog.DoModal(), IDOK);
  const DialogView& view = channel().dialogs()[0];
  EXPECT_EQ(view.controls[3].text, "0.50");
  EXPECT_EQ(view.controls[3].selection, 1);
  EXPECT_EQ(view.controls[4].text, "Drei");
  EXPECT_EQ(dialog.a, "0.50");

  ReloadDialog other;
  other.a = "0.55";  // no entry begins so: the edit field gets the text
  ASSERT_EQ(other.DoModal(), IDOK);
  EXPECT_EQ(channel().dialogs()[1].controls[3].text, "0.55");
  EXPECT_EQ(channel().dialogs()[1].controls[3].selection, -1);
  EXPECT_EQ(other.a, "0.55");
}

TEST_F(DialogRuntimeTest, CancelAndEscapeLeaveTheMembers) {
  OpenWith({{{{301, "0.70"}}, IDCANCEL, false}, {{{301, "0.00"}}, IDCANCEL, true}});
  TestDialog first;
  EXPECT_EQ(first.DoModal(), IDCANCEL);
  EXPECT_EQ(first.ok_calls, 0);
  EXPECT_EQ(first.a, "0.5");
  TestDialog second;
  EXPECT_EQ(second.DoModal(), IDCANCEL);
  EXPECT_EQ(second.a, "0.5");
}

TEST_F(DialogRuntimeTest, MissingResourceFailsWithMinusOne) {
  Open();  // nothing pushed, nothing on the library chain
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(channel().dialogs().empty());
  // Found while pushed, gone again after the pop.
  acDocManagerPtr()->pushResourceHandle(&kResources);
  EXPECT_EQ(AfxGetResourceHandle(), &kResources);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  acDocManagerPtr()->popResourceHandle();
  acDocManagerPtr()->popResourceHandle();  // one too many: harmless
  EXPECT_EQ(dialog.DoModal(), -1);
}

TEST_F(DialogRuntimeTest, ExtensionLibrariesAreSearchedUntilTheyEnd) {
  Open();
  AFX_EXTENSION_MODULE state{};
  ASSERT_TRUE(AfxInitExtensionModule(state, &kResources));
  EXPECT_EQ(state.hResource, &kResources);
  new CDynLinkLibrary(state);  // as a module does when it attaches
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  AfxTermExtensionModule(state);  // deletes the library
  EXPECT_TRUE(ResourceLibraries().empty());
  EXPECT_EQ(dialog.DoModal(), -1);
}

TEST_F(DialogRuntimeTest, NoFocusWhenInitialisationTakesIt) {
  OpenWith({});
  TestDialog dialog;
  dialog.init_answer = FALSE;
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(channel().dialogs()[0].focus_id, 0);
}

TEST_F(DialogRuntimeTest, ADialogThatNeverEndsIsGivenUp) {
  OpenWith({});
  TestDialog dialog;
  dialog.refuse_ok = true;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.ok_calls, 100);
  EXPECT_NE(channel().transcript().find("nicht beendet: abgebrochen."), std::string::npos);
}

TEST_F(DialogRuntimeTest, ExchangeWithAMissingControlDoesNothing) {
  Open();
  CDialog dialog(300);
  CString value = "x";
  CDataExchange dx{FALSE, &dialog};
  DDX_CBString(&dx, 999, value);  // no run, no controls
  EXPECT_EQ(dialog.UpdateData(TRUE), FALSE);
  EXPECT_EQ(value, "x");
}

TEST(WindowTest, TheMainWindowHasOneWindowObject) {
  CWnd* main_window = CWnd::FromHandle(adsw_acadMainWnd());
  ASSERT_NE(main_window, nullptr);
  EXPECT_EQ(CWnd::FromHandle(adsw_acadMainWnd()), main_window);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

TEST(ComboBoxTest, ListOperationsFollowTheSystemsRules) {
  CComboBox box;
  for (const char* text : {"0.00", "0.50", "0.05", "0.5"}) box.AddString(text);
  EXPECT_EQ(box.AddString(nullptr), -1);
  EXPECT_EQ(box.GetCount(), 4);
  // The search starts after start and wraps around to the top.
  EXPECT_EQ(box.FindString(-1, "0.5"), 1);
  EXPECT_EQ(box.FindString(1, "0.5"), 3);
  EXPECT_EQ(box.FindString(3, "0.5"), 1);
  EXPECT_EQ(box.FindString(-1, "1"), -1);
  EXPECT_EQ(box.FindString(-1, nullptr), -1);
  EXPECT_EQ(box.SetCurSel(2), 2);
  CString text;
  box.GetWindowText(text);
  EXPECT_EQ(text, "0.05");
  // An invalid index clears the selection and the edit field.
  EXPECT_EQ(box.SetCurSel(7), -1);
  EXPECT_EQ(box.GetCurSel(), -1);
  box.GetWindowText(text);
  EXPECT_EQ(text, "");
  box.GetLBText(9, text);
  EXPECT_EQ(text, "");
  box.GetLBText(0, text);
  EXPECT_EQ(text, "0.00");
}

}  // namespace
}  // namespace host
