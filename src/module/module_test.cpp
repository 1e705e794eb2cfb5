// Loading and unloading the module: the command table, its groups and the
// start-up message; a fresh load starts with empty module-wide state.
#include <string>
#include <vector>

#include "genius/layer_array.h"
#include "host/platform/command_stack.h"
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

TEST_F(ModuleEntryTest, UnloadRemovesTheGroupsInOrder) {
  Open(TestDrawing());
  EXPECT_EQ(acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr), AcRx::kRetOK);
  EXPECT_EQ(session().platform().command_stack().group_removals(),
            (std::vector<std::string>{"QUARNDRAVOLIN1", "QUARNDRAVOLIN", "QUARNQUARNDRAVOLIN1",
                                      "QUARNQUARN"}));
}

void Elsewhere() {}

TEST_F(ModuleEntryTest, ARefusedRegistrationLeavesTheOtherCommands) {
  Open(TestDrawing());
  ASSERT_EQ(acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr), AcRx::kRetOK);
  // The group already holds ITERATEBLOCKS: the host refuses the module's.
  host::CommandStack& stack = session().platform().command_stack();
  ASSERT_EQ(stack.addCommand("QUARNDRAVOLIN", "ITERATEBLOCKS", "ITERATEBLOCKS", 3, Elsewhere),
            Acad::eOk);
  Direct(RegisterCommands);
  std::vector<std::string> registered;
  for (const host::CommandStack::Command& command : stack.commands()) {
    registered.push_back(command.global_name);
    if (command.global_name == "ITERATEBLOCKS") {
      EXPECT_EQ(command.function, Elsewhere);
    }
  }
  EXPECT_EQ(registered,
            (std::vector<std::string>{"ITERATEBLOCKS", "DRAVOLIN1", "AMBLOCKTOGENBLOCK",
                                      "AMENTTOGENENT", "CREATEGENLAYER", "DRAVOLINGEN",
                                      "SOLIDSINBLOCKSKONVERT", "SOLIDSKONVERT", "ERASELAYER"}));
  EXPECT_EQ(Messages().size(), 1u) << "the command list is shown all the same";
}

TEST(ModuleStringTest, TheLocalNameComesFromTheModulesStringResource) {
  const StringResource strings[] = {
      {7, "LOKAL"}, {8, "L123456789012345678901234567890123456789012345678901234567890XYZ"}};
  const ResourceModule module = {"QUARNDravolin1.arx", nullptr, 0, strings, 2};
  const ResourceModule other = {"Other.arx", nullptr, 0, strings, 2};
  char buffer[64] = "";
  ASSERT_TRUE(LoadModuleString(&module, 7, buffer));
  EXPECT_STREQ(buffer, "LOKAL");
  ASSERT_TRUE(LoadModuleString(&module, 8, buffer));
  EXPECT_EQ(std::string(buffer), "L123456789012345678901234567890123456789012345678901234567890XY")
      << "cut to 63 characters";
  EXPECT_FALSE(LoadModuleString(&module, 9, buffer));
  EXPECT_FALSE(LoadModuleString(&other, 7, buffer)) << "only the module's own file";
}

TEST_F(ModuleEntryTest, AMissingStringResourceKeepsTheLocalName) {
  Open(TestDrawing());
  Direct([] { AddModuleCommand("QUARNTEST", "PROBE", "PROBE", 3, Elsewhere, 7); });
  const host::CommandStack::Command* added = session().platform().command_stack().Lookup("PROBE");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->local_name, "PROBE");
}

}  // namespace
}  // namespace dravolin_test
