// The line-weight dialog and the Genius layer dialog as the user sees and
// answers them.
#include <string>

#include "dialogs/gen_lay.h"
#include "dialogs/strich_st.h"
#include "host/platform/platform.h"
#include "host/platform/resources.h"
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

}  // namespace
}  // namespace dravolin_test
