#include "host/ui/console_channel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace host {
namespace {

using Kind = DialogControlView::Kind;

DialogControlView Control(Kind kind, int id, std::string text, int x, int y,
                          std::vector<std::string> items = {}) {
  DialogControlView c{kind, id, std::move(text), std::move(items)};
  c.x = x, c.y = y, c.width = 40, c.height = kind == Kind::kComboBox ? 42 : 14;
  return c;
}

DialogView LineWeightDialog() {
  DialogView view;
  view.resource_id = 200;
  view.caption = "Linienst\xE4rke auf Layer";
  std::vector<std::string> list = {"0.00", "0.05", "0.50"};
  view.controls = {Control(Kind::kDefaultButton, 1, "OK", 126, 7),
                   Control(Kind::kButton, 2, "Abbrechen", 126, 24),
                   Control(Kind::kStatic, -1, "AM_0 <- ", 7, 24),
                   Control(Kind::kStatic, -1, "Linienst\xE4rke", 44, 11),
                   Control(Kind::kStatic, -1, "AM_3 <- ", 7, 42),
                   Control(Kind::kComboBox, 201, "0.50", 42, 23, list),
                   Control(Kind::kComboBox, 203, "0.35", 41, 41, list)};
  view.focus_id = 1;
  view.default_button = 1;
  return view;
}

struct Console {
  explicit Console(const std::string& input, bool terminal = false)
      : in(input), channel(in, out, terminal) {}
  std::istringstream in;
  std::ostringstream out;
  ConsoleChannel channel;
};

TEST(ConsoleChannelTest, PrintConvertsToUtf8) {
  Console c("");
  c.channel.Print("\nBefehl: \xC4ndern");
  EXPECT_EQ(c.out.str(), "\nBefehl: \xC3\x84ndern");
}

TEST(ConsoleChannelTest, MessageBoxIsFramedAndWaitsForEnter) {
  Console c("\nnext\n", /*terminal=*/true);
  EXPECT_EQ(c.channel.MessageBox("\nZeile eins\nzwei", "VURIZ"), 1);
  EXPECT_EQ(c.out.str(),
            "\n+- VURIZ ----+\n"
            "| Zeile eins |\n"
            "| zwei       |\n"
            "+------------+\n"
            "[ OK ] (Enter) ");
  EXPECT_EQ(c.channel.ReadLine(), "next");  // only the Enter was taken

  // Piped input is meant for the command line, not for the box.
  Console piped("next\n");
  piped.channel.MessageBox("Hinweis", "X");
  EXPECT_EQ(piped.out.str(), "\n+- X -----+\n| Hinweis |\n+---------+\n[ OK ]\n");
  EXPECT_EQ(piped.channel.ReadLine(), "next");
}

TEST(ConsoleChannelTest, DialogTakesNumbersTextsAndTheDefaultButton) {
  // Box 201: entry 1; box 203: a typed text; then Enter presses OK.
  Console c("1\n0.7\n\n");
  DialogAction action = c.channel.RunDialog(LineWeightDialog());
  EXPECT_EQ(action.button, 1);
  ASSERT_EQ(action.texts.size(), 2u);
  EXPECT_EQ(action.texts[0], (std::pair<int, std::string>{201, "0.00"}));
  EXPECT_EQ(action.texts[1], (std::pair<int, std::string>{203, "0.7"}));
  std::string shown = c.out.str();
  // The boxes are named by the labels on their rows.
  EXPECT_NE(shown.find("AM_0 <- [0.50]"), std::string::npos) << shown;
  EXPECT_NE(shown.find("AM_3 <- [0.35]"), std::string::npos) << shown;
  EXPECT_NE(shown.find("(Liste wie oben)"), std::string::npos) << shown;
  EXPECT_NE(shown.find("1) OK  2) Abbrechen  (Esc = Abbrechen) <OK>"), std::string::npos) << shown;
}

TEST(ConsoleChannelTest, DialogKeepsEmptyAnswersAndTypesNumbersWithEquals) {
  Console c("\n=3\n2\n");
  DialogAction action = c.channel.RunDialog(LineWeightDialog());
  EXPECT_EQ(action.button, 2);
  ASSERT_EQ(action.texts.size(), 1u);
  EXPECT_EQ(action.texts[0], (std::pair<int, std::string>{203, "3"}));
}

TEST(ConsoleChannelTest, EscapeAndEndOfInputCancelTheDialog) {
  Console esc("esc\n");
  EXPECT_EQ(esc.channel.RunDialog(LineWeightDialog()).button, 2);
  Console key("\x1b\n");
  EXPECT_EQ(key.channel.RunDialog(LineWeightDialog()).button, 2);
  Console eof("1\n");
  EXPECT_EQ(eof.channel.RunDialog(LineWeightDialog()).button, 2);
}

TEST(ConsoleChannelTest, DialogAsksAgainForAnUnknownButton) {
  DialogView view;
  view.caption = "GenLayer";
  view.controls = {Control(Kind::kDefaultButton, 1, "Layer->grob", 11, 7),
                   Control(Kind::kButton, 2, "Layer->fein", 11, 24),
                   Control(Kind::kStatic, -1, "( *A Layer )", 68, 27)};
  Console c("7\nlayer->FEIN\n");
  EXPECT_EQ(c.channel.RunDialog(view).button, 2);
  // The note beside "Layer->fein" describes that button.
  EXPECT_NE(c.out.str().find("2) Layer->fein ( *A Layer )"), std::string::npos) << c.out.str();
  EXPECT_NE(c.out.str().find("Bitte die Nummer"), std::string::npos);
}

TEST(ConsoleChannelTest, FileDialogByNumberByNameOrCancelled) {
  FileDialogRequest request;
  request.initial_name = "/t/templates\\*.DWT";
  request.filter = "Vorlage waehlen:  (*.DWT) | *.DWT||";
  request.folder_text = "/t/templates";
  request.separator = '\\';
  request.files = {"Genius14.dwt", "Mech6.DWT"};
  Console c("2\n9\nx.dwt\nD:\\a.dwt\n\n");
  EXPECT_EQ(c.channel.FileDialog(request), "/t/templates\\Mech6.DWT");
  EXPECT_EQ(c.channel.FileDialog(request), "/t/templates\\x.dwt");  // 9: asked again
  EXPECT_EQ(c.channel.FileDialog(request), "D:\\a.dwt");
  EXPECT_EQ(c.channel.FileDialog(request), std::nullopt);
  EXPECT_NE(c.out.str().find("Vorlage waehlen:  (*.DWT)"), std::string::npos);
  EXPECT_NE(c.out.str().find("Keine Datei mit dieser Nummer."), std::string::npos);
}

TEST(ConsoleChannelTest, FileDialogShowsOneKindOfSeparatorAndAMissingFolder) {
  FileDialogRequest request;
  request.initial_name = "/gone/templates\\*.DWT";
  request.folder_text = "/gone/templates";
  request.separator = '/';
  Console c("\n");
  EXPECT_EQ(c.channel.FileDialog(request), std::nullopt);
  EXPECT_NE(c.out.str().find("   /gone/templates/*.DWT\n   (Ordner nicht gefunden)\n"),
            std::string::npos)
      << c.out.str();
}

TEST(ConsoleChannelTest, PickTakesHandlesBeforeNumbers) {
  std::vector<PickCandidate> candidates = {{"1", "Layout1", "DIMENSION 10,5", 2.0},
                                           {"2B", "Layout1", "DIMENSION DIMLFAC 4", 4.0}};
  Console c("2\n1\n2b\nFF\n\n");
  EXPECT_EQ(c.channel.PickEntity("", candidates), "2B");  // no handle "2": entry 2
  EXPECT_EQ(c.channel.PickEntity("", candidates), "1");   // handle "1"
  EXPECT_EQ(c.channel.PickEntity("", candidates), "2B");
  EXPECT_EQ(c.channel.PickEntity("", candidates), "FF");  // the host decides
  EXPECT_EQ(c.channel.PickEntity("", candidates), std::nullopt);
  std::string shown = c.out.str();
  EXPECT_NE(shown.find("1) 1  Layout1  DIMENSION 10,5  DIMLFAC 2\n"), std::string::npos);
  // A description that names the factor already is not repeated.
  EXPECT_NE(shown.find("2) 2B  Layout1  DIMENSION DIMLFAC 4\n"), std::string::npos);
}

TEST(ConsoleChannelTest, TypedLinesAreNotEchoedTwice) {
  Console c("DRAVOLIN1\nx\n", /*terminal=*/true);
  EXPECT_EQ(c.channel.ReadLine(), "DRAVOLIN1");
  c.channel.Print("DRAVOLIN1\n");  // the command line's echo
  c.channel.Print("\nBefehl: ");
  EXPECT_EQ(c.channel.ReadLine(), "x");
  c.channel.Print("anders");
  EXPECT_EQ(c.out.str(), "\nBefehl: anders");

  // Piped lines are on no screen: the channel shows each after its prompt.
  Console piped("DRAVOLIN1\n", /*terminal=*/false);
  piped.channel.Print("\nBefehl: ");
  piped.channel.ReadLine();
  EXPECT_EQ(piped.out.str(), "\nBefehl: DRAVOLIN1\n");
}

TEST(ConsoleChannelTest, InputIsTakenAsUtf8Or1252) {
  Console c(
      "bem\xC3\xBC"
      "berschr\r\nbem\xFC"
      "berschr\n");
  EXPECT_EQ(c.channel.ReadLine(),
            "bem\xFC"
            "berschr");
  EXPECT_EQ(c.channel.ReadLine(),
            "bem\xFC"
            "berschr");
  EXPECT_EQ(c.channel.ReadLine(), std::nullopt);
}

}  // namespace
}  // namespace host

namespace host {
namespace {

TEST(ConsoleChannelLineSourceTest, TheEditorGetsTheUnfinishedLineAsItsPrompt) {
  std::istringstream in("never read\n");
  std::ostringstream out;
  std::vector<std::string> prompts;
  std::vector<std::string> lines = {"Z\xC3\xA4hler", "", "rest"};
  ConsoleChannel channel(in, out, /*terminal_input=*/false);
  channel.SetLineSource([&](const std::string& prompt) -> std::optional<std::string> {
    prompts.push_back(prompt);
    if (lines.empty()) return std::nullopt;
    std::string line = lines.front();
    lines.erase(lines.begin());
    return line;
  });

  channel.Print("Modul geladen.\nBefehl: ");
  EXPECT_EQ(out.str(), "Modul geladen.\n");
  EXPECT_EQ(channel.ReadLine(), "Z\xE4hler");  // UTF-8 typed, code page 1252 inside
  channel.Print("Z\xE4hler");  // the command line's echo of a typed line is left out
  channel.Print("\nObjekte w\xE4");
  channel.Print("hlen: ");
  EXPECT_EQ(channel.ReadLine(), "");
  // A message box waits for Enter, as at a terminal.
  EXPECT_EQ(channel.MessageBox("Fertig", "Dravolin"), 1);
  EXPECT_EQ(channel.ReadLine(), std::nullopt);
  channel.Print("\nBefehl: ");
  channel.Flush();
  EXPECT_EQ(prompts, (std::vector<std::string>{
                         "Befehl: ", "Objekte w\xC3\xA4hlen: ", "[ OK ] (Enter) ", ""}));
  EXPECT_EQ(out.str(),
            "Modul geladen.\n\n\n+- Dravolin ---+\n| Fertig       |\n+--------------+\n\nBefehl: ");
  std::string rest;
  EXPECT_TRUE(std::getline(in, rest));  // the stream was never read
}

}  // namespace
}  // namespace host
