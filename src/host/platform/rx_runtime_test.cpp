// The runtime classes and the system registry as the module finds them.
#include <gtest/gtest.h>

#include "host/cmdline/command_line.h"
#include "host/platform/platform_test_support.h"
#include "sdk/arx.h"

namespace host {
namespace {

void CommandA() {}
void CommandB() {}

// The module's way to the command stack: by class name in the class
// dictionary, then a class test on the registry entry.
AcEdCommandStack* FindCommandStack() {
  AcRxDictionary* classes = AcRxDictionary::cast(acrxSysRegistry()->at("ClassDictionary"));
  if (classes == nullptr) return nullptr;
  AcRxClass* cls = AcRxClass::cast(classes->at("AcEdCommandStack"));
  AcRxObject* entry = acrxSysRegistry()->at("ACAD_REGISTERED_COMMANDS");
  if (cls == nullptr || entry == nullptr || !entry->isKindOf(cls)) return nullptr;
  return static_cast<AcEdCommandStack*>(entry);
}

TEST(RxRuntimeTest, OutsideASessionTheRegistryIsEmpty) {
  ASSERT_NE(acrxSysRegistry(), nullptr);
  EXPECT_EQ(acrxSysRegistry()->at("DynamicLinker"), nullptr);
  EXPECT_EQ(acDocManagerPtr(), nullptr);
}

TEST(RxRuntimeTest, ClassTestsFollowTheParents) {
  EXPECT_TRUE(AcRxClass::desc()->isDerivedFrom(AcRxObjectClass()));
  EXPECT_FALSE(AcRxObjectClass()->isDerivedFrom(AcRxClass::desc()));
  EXPECT_EQ(AcRxClass::desc()->isA(), AcRxClass::desc());
  EXPECT_EQ(AcRxClass::cast(AcRxDictionary::desc()), AcRxDictionary::desc());
  EXPECT_EQ(AcRxDictionary::cast(AcRxDictionary::desc()), nullptr);  // a class is no dictionary
  EXPECT_EQ(AcRxDynamicLinker::cast(nullptr), nullptr);
  EXPECT_STREQ(AcEdCommandStackClass()->name(), "AcEdCommandStack");
}

class RegistryEntriesTest : public testing::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    Open();
  }
};

TEST_F(RegistryEntriesTest, TheModuleFindsLinkerAndCommandStack) {
  AcRxDynamicLinker* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at("DynamicLinker"));
  ASSERT_NE(linker, nullptr);
  int app;
  EXPECT_TRUE(linker->unlockApplication(&app));
  EXPECT_TRUE(linker->registerAppMDIAware(&app));
  EXPECT_TRUE(platform().dynamic_linker().IsUnlocked(&app));
  EXPECT_TRUE(platform().dynamic_linker().IsMdiAware(&app));
  EXPECT_FALSE(platform().dynamic_linker().IsUnlocked(nullptr));
  EXPECT_EQ(AcRxDynamicLinker::cast(acrxSysRegistry()->at("ClassDictionary")), nullptr);
  EXPECT_EQ(acrxSysRegistry()->at("NoSuchEntry"), nullptr);
  EXPECT_EQ(acrxSysRegistry()->at(nullptr), nullptr);
  EXPECT_EQ(FindCommandStack(), &platform().command_stack());
}

TEST_F(RegistryEntriesTest, CommandsGoToTheCommandLineByGroup) {
  AcEdCommandStack* stack = FindCommandStack();
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->addCommand("G1", "ONE", "EINS", 3, CommandA), Acad::eOk);
  EXPECT_EQ(stack->addCommand("G2", "TWO", "TWO", 3, CommandB), Acad::eOk);
  // The same global name in the same group is refused and not registered.
  EXPECT_EQ(stack->addCommand("g1", "one", "anders", 3, CommandB), Acad::eDuplicateKey);
  // In another group it is a command of its own.
  EXPECT_EQ(stack->addCommand("G3", "ONE", "ONE", 3, CommandB), Acad::eOk);
  EXPECT_EQ(stack->addCommand("G1", "BAD NAME", "X", 3, CommandA), Acad::eInvalidInput);
  EXPECT_EQ(stack->addCommand("G1", "NOFN", "NOFN", 3, nullptr), Acad::eInvalidInput);
  EXPECT_EQ(stack->addCommand(nullptr, "X", "X", 3, CommandA), Acad::eInvalidInput);

  CommandStack& commands = platform().command_stack();
  ASSERT_NE(commands.Lookup("eins"), nullptr);
  EXPECT_EQ(commands.Lookup("eins")->function, CommandA);
  EXPECT_EQ(commands.Lookup("One")->group, "G1");
  EXPECT_EQ(commands.Groups(), (std::vector<std::string>{"G1", "G2", "G3"}));
  EXPECT_TRUE(session().command_line().HasCommand("EINS"));
  EXPECT_TRUE(session().command_line().HasCommand("two"));

  EXPECT_EQ(stack->removeGroup("g2"), Acad::eOk);
  EXPECT_EQ(stack->removeGroup("G2"), Acad::eKeyNotFound);
  EXPECT_EQ(commands.Lookup("TWO"), nullptr);
  EXPECT_FALSE(session().command_line().HasCommand("TWO"));
}

TEST_F(RegistryEntriesTest, AModulesLeftoversCanBeRemoved) {
  CommandStack& commands = platform().command_stack();
  int module_a, module_b;
  commands.set_loading_app(&module_a);
  commands.addCommand("SHARED", "A1", "A1", 0, CommandA);
  commands.addCommand("OWN", "A2", "A2", 0, CommandA);
  commands.set_loading_app(&module_b);
  commands.addCommand("SHARED", "B1", "B1", 0, CommandB);
  commands.set_loading_app(nullptr);
  EXPECT_EQ(commands.RemoveCommandsOf(&module_a), 2u);
  EXPECT_EQ(commands.Lookup("A1"), nullptr);
  EXPECT_EQ(commands.Lookup("A2"), nullptr);
  // Another module's command in the same group stays usable.
  ASSERT_NE(commands.Lookup("B1"), nullptr);
  EXPECT_TRUE(session().command_line().HasCommand("B1"));
  EXPECT_FALSE(session().command_line().HasCommand("A1"));
}

TEST_F(RegistryEntriesTest, DocumentManagerQueuesACopyOfTheScript) {
  AcApDocManager* docs = acDocManagerPtr();
  ASSERT_NE(docs, nullptr);
  AcApDocument* document = docs->curDocument();
  ASSERT_NE(document, nullptr);
  std::string text = "TILEMODE\n0\n";
  EXPECT_EQ(docs->sendStringToExecute(document, text.c_str(), false, true, true), Acad::eOk);
  text.assign(text.size(), 'x');  // the caller frees its text at once
  EXPECT_EQ(session().command_line().queued(), 1u);
  EXPECT_EQ(docs->sendStringToExecute(document, nullptr), Acad::eInvalidInput);
  EXPECT_EQ(docs->sendStringToExecute(nullptr, "x\n"), Acad::eInvalidInput);
  EXPECT_EQ(session().command_line().queued(), 1u);
  EXPECT_EQ(adsw_acadMainWnd(), adsw_acadMainWnd());
  EXPECT_NE(adsw_acadMainWnd(), nullptr);
}

}  // namespace
}  // namespace host
