#include "host/ui/answers_channel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace host {
namespace {

using Kind = DialogControlView::Kind;

DialogView LineWeightDialog() {
  DialogView view;
  view.resource_id = kLineWeightDialogId;
  view.caption = "Linienst\xE4rke auf Layer";
  view.controls = {{Kind::kDefaultButton, 1, "OK", {}},
                   {Kind::kButton, 2, "Abbrechen", {}},
                   {Kind::kStatic, -1, "AM_0 <- ", {}},
                   {Kind::kComboBox, 201, "0.50", {"0.00", "0.50"}},
                   {Kind::kComboBox, 203, "0.35", {"0.00", "0.35"}},
                   {Kind::kComboBox, 204, "0.25", {"0.00", "0.25"}}};
  view.focus_id = 1;
  view.default_button = 1;
  return view;
}

DialogView GeniusDialog() {
  DialogView view;
  view.resource_id = kGeniusLayerDialogId;
  view.caption = "GenLayer";
  view.controls = {{Kind::kDefaultButton, 1, "Layer->grob", {}},
                   {Kind::kButton, 2, "Layer->fein", {}},
                   {Kind::kStatic, -1, "( *A Layer )", {}}};
  return view;
}

TEST(AnswersChannelTest, TranscriptHoldsOutputAndOneLinePerMessageBox) {
  AnswersChannel channel({});
  channel.Print("\nBefehl: DRAVOLIN1");
  EXPECT_EQ(channel.MessageBox("\nEs stehen   \nBefehl: X.\n", "Dravolin"), 1);
  channel.Print("Weiter");
  EXPECT_EQ(channel.transcript(),
            "\nBefehl: DRAVOLIN1\n[Meldung] Es stehen   \nBefehl: X.\nWeiter");
  ASSERT_EQ(channel.messages().size(), 1u);
  EXPECT_EQ(channel.messages()[0].text, "\nEs stehen   \nBefehl: X.\n");  // exact, for tests
  EXPECT_EQ(channel.messages()[0].caption, "Dravolin");
}

TEST(AnswersChannelTest, DialogAnswersAreUsedInOrderPerDialog) {
  Answers answers;
  answers.lineweights = {{LineWeightsAnswer::Action::kType, {"0.00", "0.7", ""}},
                         {LineWeightsAnswer::Action::kCancel, {}}};
  answers.genius_layers = {GeniusLayersAnswer::kEscape};
  AnswersChannel channel(answers);

  DialogAction first = channel.RunDialog(LineWeightDialog());
  EXPECT_EQ(first.button, 1);
  ASSERT_EQ(first.texts.size(), 3u);
  EXPECT_EQ(first.texts[0], (std::pair<int, std::string>{201, "0.00"}));
  // The Genius dialog has its own queue.
  DialogAction genius = channel.RunDialog(GeniusDialog());
  EXPECT_EQ(genius.button, 2);
  EXPECT_EQ(channel.RunDialog(LineWeightDialog()).button, 2);
  // Nothing left: Enter, the default button, with what the dialog shows.
  DialogAction later = channel.RunDialog(LineWeightDialog());
  EXPECT_EQ(later.button, 1);
  EXPECT_TRUE(later.texts.empty());
  EXPECT_EQ(channel.RunDialog(GeniusDialog()).button, 1);

  EXPECT_EQ(channel.transcript(),
            "[Dialog] Linienst\xE4rke auf Layer: 201=\"0.00\" 203=\"0.7\" 204=\"\" -> OK\n"
            "[Dialog] GenLayer: -> Escape\n"
            "[Dialog] Linienst\xE4rke auf Layer: 201=\"0.50\" 203=\"0.35\" 204=\"0.25\" -> "
            "Abbrechen\n"
            "[Dialog] Linienst\xE4rke auf Layer: 201=\"0.50\" 203=\"0.35\" 204=\"0.25\" -> OK\n"
            "[Dialog] GenLayer: -> Layer->grob\n");
}

TEST(AnswersChannelTest, FileDialogAnswersInOrderThenCancel) {
  Answers answers;
  answers.templates = {std::string("Mech6.dwt"), std::string("/t/Genius14.dwt"), std::nullopt};
  AnswersChannel channel(answers);
  FileDialogRequest request;
  request.initial_name = "C:\\Vorlagen\\*.DWT";
  request.folder_text = "C:\\Vorlagen";
  request.separator = '\\';
  // A bare name lies in the dialog's folder.
  EXPECT_EQ(channel.FileDialog(request), "C:\\Vorlagen\\Mech6.dwt");
  EXPECT_EQ(channel.FileDialog(request), "/t/Genius14.dwt");
  EXPECT_EQ(channel.FileDialog(request), std::nullopt);
  EXPECT_EQ(channel.FileDialog(request), std::nullopt);  // none left
  EXPECT_EQ(channel.transcript(),
            "[Dateiauswahl] C:\\Vorlagen\\*.DWT -> C:\\Vorlagen\\Mech6.dwt\n"
            "[Dateiauswahl] C:\\Vorlagen\\*.DWT -> /t/Genius14.dwt\n"
            "[Dateiauswahl] C:\\Vorlagen\\*.DWT -> Abbrechen\n"
            "[Dateiauswahl] C:\\Vorlagen\\*.DWT -> Abbrechen\n");
}

TEST(AnswersChannelTest, PicksByHandleAutoAndCancel) {
  Answers answers;
  answers.references = {"2a4", "cancel"};
  AnswersChannel channel(answers);
  std::vector<PickCandidate> candidates = {{"2A3", "Layout1", "DIMENSION", 4.0},
                                           {"2A4", "Layout1", "DIMENSION", 2.0},
                                           {"2A5", "Layout1", "DIMENSION", 2.0}};
  EXPECT_EQ(channel.PickEntity("", candidates), "2A4");  // the drawing's spelling
  EXPECT_EQ(channel.PickEntity("", candidates), std::nullopt);
  EXPECT_EQ(channel.PickEntity("", candidates), "2A4");  // none left: auto
  EXPECT_EQ(channel.PickEntity("", {}), std::nullopt);
  EXPECT_EQ(channel.transcript(),
            "[Auswahl] 2A4\n[Auswahl] Abbruch\n[Auswahl] auto: 2A4 (DIMLFAC 2)\n"
            "[Auswahl] auto: keine Bema\xDFung mit Faktor gefunden -> Abbruch\n");
}

TEST(AnswersChannelTest, LiveOutputIsUtf8) {
  AnswersChannel channel({});
  std::ostringstream live;
  channel.set_live_output(&live);
  channel.Print("\xC4ndern");
  channel.MessageBox(
      "Gr\xFC\xDF"
      "e",
      "X");
  EXPECT_EQ(live.str(),
            "\xC3\x84ndern\n[Meldung] Gr\xC3\xBC\xC3\x9F"
            "e\n");
}

}  // namespace
}  // namespace host
