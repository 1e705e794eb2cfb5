// Every script a conversion queues, run in its order on an exported drawing
// with the bundled templates: each is understood to its last line, and the
// result is a drawing another DXF reader accepts.
#include <gtest/gtest.h>

#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

class ConversionScriptsTest : public StandInTest {};

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST_F(ConversionScriptsTest, AllScriptsRunCleanlyAndTheDrawingStaysValid) {
  Open(kLayoutDrawing);
  drawing().EraseEntity(Entity("5A"));  // model space emptied before the scripts
  const char* scripts[] = {
      "_cutclip\n_all\n\n",
      "TILEMODE\n1\n",
      "_pasteclip\n0,0\n",
      "._scale\n_all\n\n0.0\n2.000000\n",
      "._zoom\n_e\n",
      "(amgsetdwgsetting \"scale\" \"1:2.000000\")\n",
      "amlayreset\n",
      "bemüberschr\ndimscale\n2.000000\n\n_all\n\n",
      "bemüberschr\ndimtxsty\nstandard\n\n_all\n\n",
      "amsetupdwg\n\nJA\n",
      "-stil\nSTANDARD\nisocpeur.ttf\n\n\n\n\n\n",
      "Ändern\nAlle\n\nEI\nF\nVonLayer\nLTY\nVonLayer\nLS\nVonLayer\n\n",
  };
  for (const char* script : scripts) cl().Queue(script, true);
  cl().RunPending();
  const std::string& transcript = cl().transcript();
  EXPECT_EQ(Count(transcript, "Unbekannter Befehl"), 0u) << transcript;
  EXPECT_EQ(Count(transcript, "*Abbruch*"), 0u) << transcript;
  // One idle prompt per script: no script leaves a line over.
  EXPECT_EQ(Count(transcript, "Befehl: "), 12u) << transcript;
  EXPECT_EQ(channel_.printed, transcript);
  EXPECT_TRUE(cl().script_failures().empty());

  EXPECT_EQ(drawing().FindTableRecord("LAYER", "AM_12") != kNoRecord, true);
  EXPECT_FALSE(Has("5B", 62));
  EXPECT_EQ(EzdxfAudit().substr(0, 2), "0\n") << EzdxfAudit();
}

TEST_F(ConversionScriptsTest, AScriptStepThatDoesNotTakeEffectIsRecordedWithTheHostsReason) {
  Open(kLayoutDrawing);
  cl().Queue("._scale\n_all\n\n0,0\n-2.0\n", true);
  cl().Queue("amsetupdwg\nC:/missing.dwt\nJA\n", true);
  cl().Queue("nosuchcommand\n", true);
  cl().Queue("._zoom\n_e\n", true);
  cl().RunPending();
  const auto& failures = cl().script_failures();
  ASSERT_EQ(failures.size(), 3u) << cl().transcript();
  EXPECT_EQ(failures[0].command, "._scale");
  EXPECT_EQ(failures[0].reason, "Wert muss positiv und ungleich Null sein.");
  EXPECT_EQ(failures[1].command, "amsetupdwg");
  EXPECT_NE(failures[1].reason.find("missing.dwt"), std::string::npos) << failures[1].reason;
  EXPECT_EQ(failures[2].command, "nosuchcommand");
  // What the user types is answered on the command line only.
  Run("._scale\n_all\n\n0,0\n-2\n");
  EXPECT_EQ(cl().script_failures().size(), 3u);
}

}  // namespace
}  // namespace host::testing
