// The two conversions: what they ask, say and queue, in which order, for
// positive, negative and missing dimension factors.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "genius/layer_array.h"
#include "host/platform/platform.h"
#include "host/platform/registry_store.h"
#include "module/module_state.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

const char kPickBox[] = "Bitte eine Bema\xDFung mit Grundma\xDFstab w\xE4hlen!\nKeine Einzelheit!";
const char kNoDimensionBox[] = "Sie m\xFCssen eine Bema\xDFung w\xE4hlen!";
const char kNoCloseDialogBox[] =
    "Kann C:\\CloseDialog\\CloseDialog.exe nicht finden...\n"
    "Ist f\xFCr Mech6 notwendig um den Amsetupdwg-Dialog zu schlie\xDF"
    "en.\n"
    "Kann Auswirkungen auf das Konvertierungsergebnis haben ....";
const char kNoTemplateBox[] = "Nichts gew\xE4hlt! Verwende Vorgabe!";
const std::string kProfileLine =
    std::string("\nThe profiles registry key is: HKEY_CURRENT_USER\\") + host::kProfilesKey +
    "\\<<Unnamed Profile>>";
const char kChangeScript[] = "\xC4ndern\nAlle\n\nEI\nF\nVonLayer\nLTY\nVonLayer\nLS\nVonLayer\n\n";

class ConversionTest : public ModuleTest {
 protected:
  // A drawing whose reference dimension carries the factor, converted with
  // the given command; the template dialog is cancelled.
  std::string Convert(const std::string& command, const std::string& factor,
                      host::Answers answers = {}) {
    TestDrawing drawing;
    drawing.Paper(Line("0", {{370, "50"}}));
    std::string reference = factor.empty() ? drawing.Paper(Dimension("0", {}))
                                           : drawing.Paper(Dimension("0", Dimlfac(factor)));
    answers.references = {reference};
    Open(drawing, std::move(answers));
    return Run(command);
  }

  // The first scripts, common to both conversions.
  static std::vector<std::string> FirstEight(const std::string& factor,
                                             const std::string& scale_text) {
    return {"_cutclip\n_all\n\n",
            "TILEMODE\n1\n",
            "_pasteclip\n0,0\n",
            "._scale\n_all\n\n0.0\n" + factor + "\n",
            "._zoom\n_e\n",
            "(amgsetdwgsetting \"scale\" \"" + scale_text + "\")\n",
            "amlayreset\n",
            "bem\xFC"
            "berschr\ndimscale\n" +
                factor + "\n\n_all\n\n"};
  }

  static std::vector<std::string> Mech6Scripts(const std::string& factor,
                                               const std::string& scale_text) {
    std::vector<std::string> scripts = FirstEight(factor, scale_text);
    scripts.push_back("amsetupdwg\n\nJA\n");
    scripts.push_back(kChangeScript);
    return scripts;
  }

  static std::vector<std::string> GeniusScripts(const std::string& factor,
                                                const std::string& scale_text) {
    std::vector<std::string> scripts = FirstEight(factor, scale_text);
    for (const char* script :
         {"bem\xFC"
          "berschr\ndimtxsty\nstandard\n\n_all\n\n",
          "amsetupdwg\n\nJA\n", "-stil\nSTANDARD\nisocpeur.ttf\n\n\n\n\n\n", kChangeScript,
          "CREATEGENLAYER\n", "AMBLOCKTOGENBLOCK\n", "AMENTTOGENENT\n", "SOLIDSINBLOCKSKONVERT\n",
          "SOLIDSKONVERT\n", "ERASELAYER\n"})
      scripts.push_back(script);
    return scripts;
  }

  // The part of the transcript from the first occurrence of begin to the
  // end of the first occurrence of end after it.
  static std::string Between(const std::string& shown, const std::string& begin,
                             const std::string& end) {
    size_t from = shown.find(begin);
    if (from == std::string::npos) return "(no " + begin + ")";
    size_t to = shown.find(end, from);
    if (to == std::string::npos) return shown.substr(from);
    return shown.substr(from, to + end.size() - from);
  }

  // Whether the texts appear in the transcript in this order.
  static void ExpectInOrder(const std::string& shown, const std::vector<std::string>& texts) {
    size_t at = 0;
    for (const std::string& text : texts) {
      size_t found = shown.find(text, at);
      ASSERT_NE(found, std::string::npos) << "missing after " << at << ": " << text << "\n"
                                          << shown;
      at = found + text.size();
    }
  }
};

TEST_F(ConversionTest, Mech6QueuesTenScriptsInOrder) {
  Convert("DRAVOLIN1", "2.0");
  EXPECT_EQ(scripts(), Mech6Scripts("2.000000", "1:2.000000"));
  EXPECT_EQ(BemFaktor, 2.0);
}

TEST_F(ConversionTest, Mech6ScaleTextsForSmallAndNegativeFactors) {
  Convert("DRAVOLIN1", "0.5");
  EXPECT_EQ(scripts(), Mech6Scripts("0.500000", "1:0.500000"));
  Convert("DRAVOLIN1", "-2.0");
  EXPECT_EQ(scripts(), Mech6Scripts("-2.000000", "-0.500000:1"));
}

TEST_F(ConversionTest, Mech6SaysWhatItDoesBeforeAnyScriptRuns) {
  std::string shown = Convert("DRAVOLIN1", "2.0");
  EXPECT_EQ(Messages(), (std::vector<std::string>{kPickBox, kNoCloseDialogBox, kNoTemplateBox}));
  ExpectInOrder(
      shown,
      {"[Dialog] Linienst\xE4rke auf Layer:", "[Meldung] Kann C:", "\nKonvertierung l\xE4uft...."});
  EXPECT_EQ(Between(shown, "\nKonvertierung l\xE4uft....", "\n...fertig!\n"),
            "\nKonvertierung l\xE4uft...."
            "\nBemfaktor wurde ermittelt...."
            "\nReadEntity fertig...."
            "\nReadDimstyle fertig...."
            "\nDeleteMBereich fertig...."
            "\nWechsle in MBereich ...."
            "\nZeichnung wird skaliert ...."
            "\nZoom Grenzen ...."
            "\nBemgfla setzen ...."
            "\nEntityXdata -3\nStart mit {\n144 = 2.000000\nEnde mit }"
            "\nAM-Ma\xDFstabsinformationen setzten ...."
            "\nLayereinstellungen einlesen ...."
            "\nBemfktr \xFC"
            "berschreiben ...." +
                kProfileLine + "\n[Dateiauswahl] " + temp_dir() +
                "/templates\\*.DWT -> Abbrechen\n"
                "[Meldung] Nichts gew\xE4hlt! Verwende Vorgabe!\n"
                "\nAmsetupdwg ausf\xFChren ...."
                "\nSetze Elemente in Bl\xF6"
                "cken auf VonLayer ...."
                "\n...fertig!\n");
  // The scripts run after the command has returned.
  ExpectInOrder(shown, {"\n...fertig!\n", "_cutclip"});
}

TEST_F(ConversionTest, NoFactorShowsOnlyTheMessageBox) {
  for (const char* command : {"DRAVOLIN1", "DRAVOLINGEN"}) {
    // A file cannot carry nan or inf (the reader refuses them); the pick's
    // own refusal of those is held by the dimension-factor tests.
    for (const char* factor : {"", "0.0"}) {
      std::string shown = Convert(command, factor);
      EXPECT_EQ(Messages(), (std::vector<std::string>{kPickBox, kNoDimensionBox}))
          << command << " " << factor;
      EXPECT_TRUE(scripts().empty()) << command;
      EXPECT_TRUE(channel().dialogs().empty()) << command;
      EXPECT_TRUE(channel().file_dialogs().empty()) << command;
      EXPECT_EQ(shown.find("Konvertierung"), std::string::npos) << shown;
    }
  }
}

TEST_F(ConversionTest, TheExternalProgramIsStartedWhenPresent) {
  std::string c_drive = temp_dir() + "/c";
  std::filesystem::create_directories(c_drive + "/CloseDialog");
  std::string program = c_drive + "/CloseDialog/CloseDialog.exe";
  // The program notes how it was started: its own path and no arguments
  // when it was started directly, nothing when a shell got the command.
  std::string note = temp_dir() + "/started";
  std::ofstream(program) << "#!/bin/sh\necho \"$0 $#\" >> " << note << "\n";
  chmod(program.c_str(), 0755);
  MapDrive("C:", c_drive);
  for (const char* command : {"DRAVOLIN1", "DRAVOLINGEN"}) {
    Convert(command, "2.0");
    EXPECT_EQ(Messages(), (std::vector<std::string>{kPickBox, kNoTemplateBox})) << command;
    EXPECT_EQ(session().platform().command_lines(),
              std::vector<std::string>{"start C:\\CloseDialog\\CloseDialog.exe"})
        << command;
    session().platform().processes().Reap(true);
  }
  std::ifstream in(note);
  std::string started((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(started, program + " 0\n" + program + " 0\n");
}

TEST_F(ConversionTest, GeniusQueuesEighteenScriptsInOrder) {
  Convert("DRAVOLINGEN", "2.0");
  EXPECT_EQ(scripts(), GeniusScripts("2.000000", "1:2.000000"));
  Convert("DRAVOLINGEN", "0.5");
  EXPECT_EQ(scripts(), GeniusScripts("0.500000", "1:0.500000"));
  Convert("DRAVOLINGEN", "-2.0");
  EXPECT_EQ(scripts(), GeniusScripts("-2.000000", "-0.500000:1"));
}

TEST_F(ConversionTest, GeniusSaysWhatItDoesAndEndsTwice) {
  std::string shown = Convert("DRAVOLINGEN", "2.0");
  EXPECT_EQ(Messages(), (std::vector<std::string>{kPickBox, kNoCloseDialogBox, kNoTemplateBox}));
  ExpectInOrder(shown, {"[Dialog] Linienst\xE4rke auf Layer:", "[Dialog] GenLayer:",
                        "[Meldung] Kann C:", "\nKonvertierung l\xE4uft...."});
  EXPECT_EQ(Between(shown, "\nKonvertierung l\xE4uft....", "\nKonvertierung fertig!\n"),
            "\nKonvertierung l\xE4uft...."
            "\nBemfaktor wurde ermittelt...."
            "\nReadEntity fertig...."
            "\nReadDimstyle fertig...."
            "\nDeleteMBereich fertig...."
            "\nWechsle in MBereich ...."
            "\nZeichnung wird skaliert ...."
            "\nZoom Grenzen ...."
            "\nBemgfla setzen ...."
            "\nEntityXdata -3\nStart mit {\n144 = 2.000000\nEnde mit }"
            "\nAM-Ma\xDFstabsinformationen setzten ...."
            "\nLayereinstellungen einlesen ...."
            "\nBemfktr \xFC"
            "berschreiben ...."
            "\ndimtxsty mit Standard \xFC"
            "berschreiben ...."
            "\nErmittle Template ...." +
                kProfileLine + "\n[Dateiauswahl] " + temp_dir() +
                "/templates\\*.DWT -> Abbrechen\n"
                "[Meldung] Nichts gew\xE4hlt! Verwende Vorgabe!\n"
                "\nAmsetupdwg ausf\xFChren ...."
                "\nStil auf ISOCPEUR.TTF setzen ...."
                "\nSetze Elemente im Modelspace auf VonLayer ...."
                "\nSetze Elemente in Bl\xF6"
                "cken auf VonLayer ...."
                "\nKonvertierung fertig!\n");
  // After the scripts, the module's own commands in their order; ERASELAYER
  // ends the conversion a second time.
  ExpectInOrder(shown, {"\nKonvertierung fertig!\n", "_cutclip", "Erzeuge Genius-Layer ....\n",
                        "Lege AM-Layerelemente in Bl\xF6"
                        "cken auf Genius-Layer ....\n",
                        "Lege AM-Layerelemente auf Genius-Layer ....\n",
                        "Konvertiere Solids in Bl\xF6"
                        "cken ....\n",
                        "Konvertiere Solids im Modelspace ....\n",
                        "L\xF6sche Elemente auf Rahmenlayer ....", "\nKonvertierung fertig!\n"});
  EXPECT_EQ(shown.substr(shown.size() - 23), "\nKonvertierung fertig!\n");
}

TEST_F(ConversionTest, GeniusLayerChoiceFillsTheMap) {
  host::Answers coarse;
  coarse.genius_layers = {host::GeniusLayersAnswer::kCoarse};
  Convert("DRAVOLINGEN", "2.0", coarse);
  EXPECT_EQ(LayerArray[4], "2");   // AM_2
  EXPECT_EQ(LayerArray[14], "7");  // AM_7
  for (host::GeniusLayersAnswer answer :
       {host::GeniusLayersAnswer::kFine, host::GeniusLayersAnswer::kEscape}) {
    host::Answers fine;
    fine.genius_layers = {answer};
    Convert("DRAVOLINGEN", "2.0", fine);
    EXPECT_EQ(LayerArray[4], "2A");
    EXPECT_EQ(LayerArray[14], "7A");
    EXPECT_EQ(scripts().size(), 18u);
  }
}

TEST_F(ConversionTest, ACancelledLineWeightDialogKeepsTheLastConfirmedTexts) {
  host::Answers answers;
  host::LineWeightsAnswer typed;
  typed.action = host::LineWeightsAnswer::Action::kType;
  typed.texts = {"0.70", "0.5", ""};
  host::LineWeightsAnswer cancel;
  cancel.action = host::LineWeightsAnswer::Action::kCancel;
  answers.lineweights = {cancel, typed, cancel};
  answers.references = {"auto", "auto", "auto"};
  TestDrawing drawing;
  drawing.Paper(Dimension("0", Dimlfac("2.0")));
  Open(drawing, std::move(answers));
  Run("DRAVOLIN1");
  EXPECT_TRUE(csStrichAM0.IsEmpty());
  EXPECT_TRUE(csStrichAM3.IsEmpty());
  EXPECT_TRUE(csStrichAM4.IsEmpty());
  Run("DRAVOLIN1");
  EXPECT_EQ(csStrichAM0, "0.70");
  EXPECT_EQ(csStrichAM3, "0.5");
  EXPECT_EQ(csStrichAM4, "");
  Run("DRAVOLIN1");
  EXPECT_EQ(csStrichAM0, "0.70");
  EXPECT_EQ(csStrichAM3, "0.5");
}

}  // namespace
}  // namespace dravolin_test
