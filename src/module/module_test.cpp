// Loading and unloading the module: the command table, its groups and the
// start-up message; a fresh load starts with empty module-wide state.
#include <string>
#include <vector>

#include "genius/layer_array.h"
#include "host/platform/platform.h"
#include "module/command_table.h"
#include "module/module_state.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class ModuleEntryTest : public ModuleTest {};

TEST_F(ModuleEntryTest, RegistersNineCommandsInFourGroups) {
  Open(TestDrawing());
  const std::vector<host::CommandStack::Command>& commands =
      session().platform().command_stack().commands();
  std::vector<std::string> listed;
  for (const host::CommandStack::Command& command : commands) {
    EXPECT_EQ(command.global_name, command.local_name);
    EXPECT_EQ(command.flags, 3) << command.global_name;
    listed.push_back(command.group + " " + command.global_name);
  }
  EXPECT_EQ(listed, (std::vector<std::string>{
                        "QUARNDRAVOLIN1 DRAVOLIN1",
                        "QUARNDRAVOLIN ITERATEBLOCKS",
                        "QUARNQUARNDRAVOLIN1 AMBLOCKTOGENBLOCK",
                        "QUARNQUARN AMENTTOGENENT",
                        "QUARNQUARN CREATEGENLAYER",
                        "QUARNDRAVOLIN1 DRAVOLINGEN",
                        "QUARNQUARNDRAVOLIN1 SOLIDSINBLOCKSKONVERT",
                        "QUARNQUARNDRAVOLIN1 SOLIDSKONVERT",
                        "QUARNQUARNDRAVOLIN1 ERASELAYER",
                    }));
  EXPECT_EQ(session().platform().command_stack().Groups(),
            (std::vector<std::string>{"QUARNDRAVOLIN1", "QUARNDRAVOLIN", "QUARNQUARNDRAVOLIN1",
                                      "QUARNQUARN"}));
  EXPECT_TRUE(session().platform().dynamic_linker().IsUnlocked(module().app_id()));
  EXPECT_TRUE(session().platform().dynamic_linker().IsMdiAware(module().app_id()));
}

TEST_F(ModuleEntryTest, ShowsTheCommandListWhenLoaded) {
  Open(TestDrawing());
  ASSERT_FALSE(channel().messages().empty());
  EXPECT_EQ(channel().messages().front().text,
            "\nEs stehen folgende Befehle zur Verf\xFCgung:   \n"
            "Befehl: Dravolin1 ( zum Erzeugen von Mech6 Zeichnungen ).\n"
            "Befehl: DravolinGen ( zum Erzeugen von Genius 14 Zeichnungen ).");
}

TEST_F(ModuleEntryTest, UnloadRemovesEveryGroupAndOtherMessagesChangeNothing) {
  Open(TestDrawing());
  EXPECT_EQ(acrxEntryPoint(AcRx::kLoadDwgMsg, nullptr), AcRx::kRetOK);
  EXPECT_EQ(acrxEntryPoint(AcRx::kQuitMsg, nullptr), AcRx::kRetOK);
  EXPECT_EQ(session().platform().command_stack().commands().size(), 9u);
  EXPECT_EQ(acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr), AcRx::kRetOK);
  EXPECT_TRUE(session().platform().command_stack().commands().empty());
  EXPECT_FALSE(session().command_line().HasCommand("DRAVOLIN1"));
  EXPECT_FALSE(session().command_line().HasCommand("ERASELAYER"));
}

TEST_F(ModuleEntryTest, AnswersInterfaceRelease15) { EXPECT_EQ(acrxGetApiVersion(), 0x000F0000); }

TEST_F(ModuleEntryTest, AFreshLoadStartsWithEmptyState) {
  Open(TestDrawing());
  BemFaktor = 2.0;
  csStrichAM0 = "0.50";
  csStrichAM3 = "0.35";
  csStrichAM4 = "0.25";
  csAmSetupDwgCmd = "amsetupdwg\n\nJA\n";
  InitLayerArray();
  Open(TestDrawing());
  EXPECT_EQ(BemFaktor, 0.0);
  EXPECT_TRUE(csStrichAM0.IsEmpty());
  EXPECT_TRUE(csStrichAM3.IsEmpty());
  EXPECT_TRUE(csStrichAM4.IsEmpty());
  EXPECT_TRUE(csAmSetupDwgCmd.IsEmpty());
  for (const CString& text : LayerArray) EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
}  // namespace dravolin_test
