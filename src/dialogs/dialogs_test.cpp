// The line-weight dialog and the Genius layer dialog as the user sees and
// answers them.
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/gen_lay.h"
#include "dialogs/strich_st.h"
#include "host/platform/platform.h"
#include "host/platform/resources.h"
#include "module/module_resources.h"
#include "module/module_state.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class DialogsTest : public ModuleTest {
 protected:
  void OpenWith(std::vector<host::LineWeightsAnswer> lineweights,
                std::vector<host::GeniusLayersAnswer> genius = {}) {
    host::Answers answers;
    answers.lineweights = std::move(lineweights);
    answers.genius_layers = std::move(genius);
    Open(TestDrawing(), std::move(answers));
  }
  static host::LineWeightsAnswer Accept() { return {}; }
  static host::LineWeightsAnswer Cancel() {
    host::LineWeightsAnswer answer;
    answer.action = host::LineWeightsAnswer::Action::kCancel;
    return answer;
  }
  static host::LineWeightsAnswer Type(std::string am0, std::string am3, std::string am4) {
    host::LineWeightsAnswer answer;
    answer.action = host::LineWeightsAnswer::Action::kType;
    answer.texts = {std::move(am0), std::move(am3), std::move(am4)};
    return answer;
  }
};

TEST_F(DialogsTest, LineWeightDialogOpensWithDefaultsAndTwentyFourEntries) {
  OpenWith({Accept()});
  Direct(ICallMe);
  ASSERT_EQ(channel().dialogs().size(), 1u);
  const host::DialogView& view = channel().dialogs()[0];
  EXPECT_EQ(view.resource_id, 200);
  EXPECT_EQ(view.caption, "Linienst\xE4rke auf Layer");
  EXPECT_EQ(view.focus_id, IDOK);
  std::vector<std::string> combo_texts, labels;
  for (const host::DialogControlView& control : view.controls) {
    if (control.kind != host::DialogControlView::Kind::kComboBox) {
      labels.push_back(control.text);
      continue;
    }
    combo_texts.push_back(std::to_string(control.id) + "=" + control.text);
    ASSERT_EQ(control.items.size(), 24u);
    EXPECT_EQ(control.items.front(), "0.00");
    EXPECT_EQ(control.items[11], "0.50");
    EXPECT_EQ(control.items.back(), "2.11");
    EXPECT_EQ(control.selection, -1);
  }
  EXPECT_EQ(combo_texts, (std::vector<std::string>{"201=0.50", "203=0.35", "204=0.25"}));
  EXPECT_EQ(labels, (std::vector<std::string>{"OK", "Abbrechen", "AM_0 <- ", "Linienst\xE4rke",
                                              "AM_3 <- ", "AM_4 <- "}));
  EXPECT_EQ(csStrichAM0, "0.50");
  EXPECT_EQ(csStrichAM3, "0.35");
  EXPECT_EQ(csStrichAM4, "0.25");
  EXPECT_EQ(session().platform().CurrentResourceHandle(), host::HostResourceModule())
      << "the resource scope is closed";
}

TEST_F(DialogsTest, CancelKeepsTheLastConfirmedTextsAndTypedTextsAreTakenVerbatim) {
  OpenWith({Cancel(), Type("0.5", "", "1.00"), Cancel(), Accept()});
  Direct(ICallMe);
  EXPECT_TRUE(csStrichAM0.IsEmpty());
  Direct(ICallMe);
  EXPECT_EQ(csStrichAM0, "0.5");
  EXPECT_EQ(csStrichAM3, "");
  EXPECT_EQ(csStrichAM4, "1.00");
  Direct(ICallMe);
  EXPECT_EQ(csStrichAM0, "0.5");
  // Every showing starts from the defaults, not from the stored texts.
  Direct(ICallMe);
  ASSERT_EQ(channel().dialogs().size(), 4u);
  EXPECT_EQ(channel().dialogs()[3].controls[6].text, "0.50");
  EXPECT_EQ(csStrichAM0, "0.50");
}

TEST_F(DialogsTest, GeniusLayerDialogAnswersOneOnlyForCoarse) {
  OpenWith({}, {host::GeniusLayersAnswer::kCoarse, host::GeniusLayersAnswer::kFine,
                host::GeniusLayersAnswer::kEscape});
  EXPECT_EQ(ICallGenLay(), 1);
  EXPECT_EQ(ICallGenLay(), 0);
  EXPECT_EQ(ICallGenLay(), 0);
  EXPECT_EQ(ICallGenLay(), 1) << "Enter presses Layer->grob";
  const host::DialogView& view = channel().dialogs()[0];
  EXPECT_EQ(view.resource_id, 201);
  EXPECT_EQ(view.caption, "GenLayer");
  EXPECT_EQ(view.focus_id, IDOK);
  ASSERT_EQ(view.controls.size(), 3u);
  EXPECT_EQ(view.controls[0].text, "Layer->grob");
  EXPECT_EQ(view.controls[1].text, "Layer->fein");
  EXPECT_EQ(view.controls[2].text, "( *A Layer )");
  EXPECT_EQ(session().platform().CurrentResourceHandle(), host::HostResourceModule());
}

// The module's dialog resources as data: window style, font, language,
// size, and each control's class, id, style, place and text.
struct ExpectedControl {
  ControlClass control_class;
  int id;
  uint32_t style;
  int x, y, width, height;
  const char* text;
};

void ExpectDialog(int id, const char* caption, int width, int height,
                  const std::vector<ExpectedControl>& controls) {
  HINSTANCE module = ModuleInstance();
  ASSERT_NE(module, nullptr);
  const DialogTemplate* dialog = nullptr;
  for (size_t i = 0; i < module->dialog_count; ++i)
    if (module->dialogs[i].id == id) dialog = &module->dialogs[i];
  ASSERT_NE(dialog, nullptr) << id;
  EXPECT_EQ(dialog->language, 1031);
  EXPECT_STREQ(dialog->caption, caption);
  // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
  EXPECT_EQ(dialog->style, 0x80C800C0u);
  EXPECT_EQ(dialog->font_points, 8);
  EXPECT_STREQ(dialog->font_name, "MS Sans Serif");
  EXPECT_EQ(dialog->width, width);
  EXPECT_EQ(dialog->height, height);
  ASSERT_EQ(dialog->control_count, controls.size());
  for (size_t i = 0; i < controls.size(); ++i) {
    const DialogControl& got = dialog->controls[i];
    const ExpectedControl& want = controls[i];
    EXPECT_EQ(got.control_class, want.control_class) << "control " << i;
    EXPECT_EQ(got.id, want.id) << "control " << i;
    EXPECT_EQ(got.style, want.style) << "control " << i;
    EXPECT_EQ((std::vector<int>{got.x, got.y, got.width, got.height}),
              (std::vector<int>{want.x, want.y, want.width, want.height}))
        << "control " << i;
    EXPECT_EQ(std::string(got.text ? got.text : "(none)"), want.text) << "control " << i;
  }
}

// Control styles: WS_CHILD | WS_VISIBLE with WS_TABSTOP | BS_DEFPUSHBUTTON,
// WS_TABSTOP | BS_PUSHBUTTON, WS_GROUP | SS_LEFT, and WS_VSCROLL | WS_TABSTOP
// | CBS_DROPDOWN (unsorted).
constexpr uint32_t kDefaultButton = 0x50010001u;
constexpr uint32_t kPushButton = 0x50010000u;
constexpr uint32_t kLabel = 0x50020000u;
constexpr uint32_t kDropDown = 0x50210002u;

TEST(DialogResourceTest, LineWeightDialog) {
  ExpectDialog(200, "Linienst\xE4rke auf Layer", 178, 95,
               {
                   {ControlClass::kButton, 1, kDefaultButton, 126, 7, 45, 14, "OK"},
                   {ControlClass::kButton, 2, kPushButton, 126, 24, 45, 14, "Abbrechen"},
                   {ControlClass::kStatic, -1, kLabel, 7, 24, 30, 14, "AM_0 <- "},
                   {ControlClass::kStatic, -1, kLabel, 44, 11, 39, 11, "Linienst\xE4rke"},
                   {ControlClass::kStatic, -1, kLabel, 7, 42, 30, 14, "AM_3 <- "},
                   {ControlClass::kStatic, -1, kLabel, 7, 60, 30, 14, "AM_4 <- "},
                   {ControlClass::kComboBox, 201, kDropDown, 42, 23, 56, 42, "(none)"},
                   {ControlClass::kComboBox, 203, kDropDown, 41, 41, 56, 42, "(none)"},
                   {ControlClass::kComboBox, 204, kDropDown, 41, 59, 56, 42, "(none)"},
               });
}

TEST(DialogResourceTest, GeniusLayerDialog) {
  ExpectDialog(201, "GenLayer", 116, 50,
               {
                   {ControlClass::kButton, 1, kDefaultButton, 11, 7, 50, 14, "Layer->grob"},
                   {ControlClass::kButton, 2, kPushButton, 11, 24, 50, 14, "Layer->fein"},
                   {ControlClass::kStatic, -1, kLabel, 68, 27, 41, 9, "( *A Layer )"},
               });
}

}  // namespace
}  // namespace dravolin_test
