#include "host/module_loader.h"

#include <gtest/gtest.h>

#include "host/cmdline/command_line.h"
#include "host/platform/platform_test_support.h"

namespace host {
namespace {

// A module of the test's own, as function pointers with their state in
// globals.
struct FakeModule {
  int version = kModuleApiVersion;
  AcRx::AppRetCode init_answer = AcRx::kRetOK;
  bool register_on_init = true;
  bool remove_on_unload = true;
  std::vector<int> messages;
  Session* session_seen = nullptr;
} fake;

void FakeCommand() {}
int FakeVersion() { return fake.version; }
AcRx::AppRetCode FakeEntry(AcRx::AppMsgCode message, void* app_id) {
  fake.messages.push_back(message);
  fake.session_seen = CurrentSession();
  AcEdCommandStack* stack =
      static_cast<AcEdCommandStack*>(acrxSysRegistry()->at("ACAD_REGISTERED_COMMANDS"));
  if (message == AcRx::kInitAppMsg) {
    AcRxDynamicLinker::cast(acrxSysRegistry()->at("DynamicLinker"))->unlockApplication(app_id);
    if (fake.register_on_init) {
      stack->addCommand("FAKEGROUP", "FAKE1", "FAKE1", 3, FakeCommand);
      stack->addCommand("FAKEOTHER", "FAKE2", "FAKE2", 3, FakeCommand);
    }
    return fake.init_answer;
  }
  if (message == AcRx::kUnloadAppMsg && fake.remove_on_unload) stack->removeGroup("FAKEGROUP");
  return AcRx::kRetOK;
}

class ModuleLoaderTest : public testing::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    fake = FakeModule{};
    Open();
  }
};

TEST_F(ModuleLoaderTest, InitialiseAndUnloadMessages) {
  // The session is made current for the module even when it is not.
  SetCurrentSession(nullptr);
  std::string err;
  std::unique_ptr<LinkedModule> module =
      LinkedModule::Load(FakeVersion, FakeEntry, session(), &err);
  ASSERT_NE(module, nullptr) << err;
  EXPECT_EQ(fake.session_seen, &session());
  EXPECT_EQ(CurrentSession(), nullptr);
  EXPECT_TRUE(session().command_line().HasCommand("FAKE1"));
  EXPECT_TRUE(platform().dynamic_linker().IsUnlocked(module->app_id()));
  EXPECT_EQ(module->Send(AcRx::kEndMsg), AcRx::kRetOK);
  EXPECT_EQ(module->Send(AcRx::kInitAppMsg), AcRx::kRetError);  // only once
  module.reset();
  EXPECT_EQ(fake.messages, (std::vector<int>{1, 7, 2}));
  EXPECT_FALSE(session().command_line().HasCommand("FAKE1"));
  // FAKEOTHER was left behind by the module and removed by the host.
  EXPECT_FALSE(session().command_line().HasCommand("FAKE2"));
  EXPECT_TRUE(platform().command_stack().commands().empty());
}

TEST_F(ModuleLoaderTest, AnotherInterfaceReleaseIsRefused) {
  fake.version = 0x00100000;
  std::string err;
  EXPECT_EQ(LinkedModule::Load(FakeVersion, FakeEntry, session(), &err), nullptr);
  EXPECT_EQ(err,
            "linked module: built for interface release 0x00100000, the host needs 0x000F0000");
  EXPECT_TRUE(fake.messages.empty());  // never initialised, never unloaded
}

TEST_F(ModuleLoaderTest, AFailedInitialisationLeavesNoCommands) {
  fake.init_answer = AcRx::kRetError;
  std::string err;
  EXPECT_EQ(LinkedModule::Load(FakeVersion, FakeEntry, session(), &err), nullptr);
  EXPECT_EQ(err, "linked module: the module refused to initialise (answer 3)");
  EXPECT_EQ(fake.messages, std::vector<int>{1});
  EXPECT_FALSE(session().command_line().HasCommand("FAKE1"));
  EXPECT_TRUE(platform().command_stack().commands().empty());
}

TEST_F(ModuleLoaderTest, PluginFilesThatAreNoModules) {
  std::string err;
  EXPECT_EQ(LoadedModule::Load(dir() + "/missing.arx", session(), &err), nullptr);
  EXPECT_NE(err.find("missing.arx"), std::string::npos) << err;
  testing::WriteTextFile(dir() + "/text.arx", "not a shared object");
  EXPECT_EQ(LoadedModule::Load(dir() + "/text.arx", session(), &err), nullptr);
  EXPECT_NE(err.find("text.arx"), std::string::npos) << err;
  // A bare name is a file in the working folder, never one on the library path.
  EXPECT_EQ(LoadedModule::Load("libc.so.6", session(), &err), nullptr);
}

TEST(ModulePathTest, EnvironmentOrBesideTheExecutable) {
  EXPECT_FALSE(ExecutableDir().empty());
  unsetenv("DRAVOLIN_MODULE");
  EXPECT_EQ(DefaultModulePath(), ExecutableDir() + "/QUARNDravolin1.arx");
  setenv("DRAVOLIN_MODULE", "/x/m.arx", 1);
  EXPECT_EQ(DefaultModulePath(), "/x/m.arx");
  unsetenv("DRAVOLIN_MODULE");
}

// The real plug-in, built beside the tests. It resolves the SDK functions
// against this test program, which exports them.
TEST_F(ModuleLoaderTest, TheConversionPluginRegistersNineCommandsInFourGroups) {
  std::string path = std::string(DRAVOLIN_BINARY_DIR) + "/QUARNDravolin1.arx";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not built";
  std::string err;
  std::unique_ptr<LoadedModule> module = LoadedModule::Load(path, session(), &err);
  ASSERT_NE(module, nullptr) << err;
  const CommandStack& stack = platform().command_stack();
  EXPECT_EQ(stack.commands().size(), 9u);
  EXPECT_EQ(stack.Groups(), (std::vector<std::string>{"QUARNDRAVOLIN1", "QUARNDRAVOLIN",
                                                      "QUARNQUARNDRAVOLIN1", "QUARNQUARN"}));
  for (const char* name :
       {"DRAVOLIN1", "DRAVOLINGEN", "ITERATEBLOCKS", "CREATEGENLAYER", "AMENTTOGENENT",
        "AMBLOCKTOGENBLOCK", "SOLIDSKONVERT", "SOLIDSINBLOCKSKONVERT", "ERASELAYER"}) {
    ASSERT_NE(stack.Lookup(name), nullptr) << name;
    EXPECT_EQ(stack.Lookup(name)->flags, 3) << name;
    EXPECT_TRUE(session().command_line().HasCommand(name)) << name;
  }
  EXPECT_TRUE(platform().dynamic_linker().IsUnlocked(module->app_id()));
  EXPECT_TRUE(platform().dynamic_linker().IsMdiAware(module->app_id()));
  // The start-up message box names the two conversions.
  ASSERT_EQ(channel().messages().size(), 1u);
  EXPECT_NE(channel().messages()[0].text.find("Befehl: Dravolin1"), std::string::npos);

  module.reset();
  EXPECT_TRUE(stack.commands().empty());
  EXPECT_FALSE(session().command_line().HasCommand("DRAVOLIN1"));
  EXPECT_TRUE(session().command_line().ModuleCommandNames().empty());
}

}  // namespace
}  // namespace host
