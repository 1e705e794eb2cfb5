#include "host/platform/registry_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "host/platform/platform_test_support.h"

namespace host {
namespace {

using testing::ReadTextFile;
using testing::WriteTextFile;

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::MakeTempDir(); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

constexpr const char* kGeneral =
    "Software\\Dravolin\\Host\\R15.0\\Profiles\\<<Unnamed Profile>>\\GENERAL";

TEST_F(RegistryStoreTest, FirstUseCreatesTheFileWithTheDefaultProfile) {
  std::string path = dir_ + "/config/dravolin/registry.txt";  // folders are made
  RegistryStore store(path, "/opt/dravolin/templates");
  std::string err;
  ASSERT_TRUE(store.Load(&err)) << err;
  EXPECT_EQ(store.Value(kProfilesKey, "@"), "<<Unnamed Profile>>");
  EXPECT_EQ(store.Value(kGeneral, "TemplatePath"), "/opt/dravolin/templates");
  std::string text = ReadTextFile(path);
  EXPECT_NE(text.find("\n[Software\\Dravolin\\Host\\R15.0\\Profiles]\n@=<<Unnamed Profile>>\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[" + std::string(kGeneral) + "]\nTemplatePath=/opt/dravolin/templates\n"),
            std::string::npos)
      << text;
  // The parents of the profile key exist as keys of their own.
  EXPECT_TRUE(store.HasKey("Software\\Dravolin"));

  // Another installation (a moved or second clone) reads what the first
  // wrote, and the default path follows it.
  RegistryStore again(path, "/elsewhere/templates");
  ASSERT_TRUE(again.Load(&err)) << err;
  EXPECT_EQ(again.Value(kGeneral, "TemplatePath"), "/elsewhere/templates");
  EXPECT_NE(ReadTextFile(path).find("TemplatePath=/elsewhere/templates"), std::string::npos);
  // A path a user set stays.
  ASSERT_TRUE(again.SetValue(kGeneral, "TemplatePath", "/mine", &err)) << err;
  RegistryStore third(path, "/opt/dravolin/templates");
  ASSERT_TRUE(third.Load(&err)) << err;
  EXPECT_EQ(third.Value(kGeneral, "TemplatePath"), "/mine");
}

TEST_F(RegistryStoreTest, AFileOfAnOlderVersionFollowsTheInstallation) {
  std::string path = dir_ + "/r.txt";
  std::string general = "[" + std::string(kGeneral) + "]\nTemplatePath=";
  WriteTextFile(path, general + "/gone/clone/templates\n");
  RegistryStore store(path, "/here/templates");
  std::string err;
  ASSERT_TRUE(store.Load(&err)) << err;
  EXPECT_EQ(store.Value(kGeneral, "TemplatePath"), "/here/templates");
  WriteTextFile(path, general + "/my/own\n");
  RegistryStore mine(path, "/here/templates");
  ASSERT_TRUE(mine.Load(&err)) << err;
  EXPECT_EQ(mine.Value(kGeneral, "TemplatePath"), "/my/own");
}

TEST_F(RegistryStoreTest, KeysAndValuesAreFoundWithoutRegardToCase) {
  RegistryStore store(dir_ + "/r.txt", "/t");
  std::string err;
  ASSERT_TRUE(store.Load(&err));
  EXPECT_EQ(store.Value("software\\DRAVOLIN\\host\\r15.0\\profiles\\<<unnamed profile>>\\general",
                        "templatepath"),
            "/t");
  EXPECT_EQ(store.StoredKeyPath("SOFTWARE\\dravolin"), "Software\\Dravolin");
  bool created = true;
  ASSERT_TRUE(store.CreateKey("SOFTWARE\\DRAVOLIN\\Neu", &created, &err));
  EXPECT_TRUE(created);
  // The new key keeps its parents' spelling.
  EXPECT_EQ(store.StoredKeyPath("software\\dravolin\\neu"), "Software\\Dravolin\\Neu");
  ASSERT_TRUE(store.CreateKey("software\\dravolin\\NEU", &created, &err));
  EXPECT_FALSE(created);
}

TEST_F(RegistryStoreTest, HandEditedFileIsRead) {
  std::string path = dir_ + "/r.txt";
  WriteTextFile(path,
                "\xEF\xBB\xBF; edited by hand\r\n"
                "# also a comment\n"
                "[Software\\A\\Profiles\\Werk]\n"
                "  TemplatePath = D:\\Vorlagen mit Blanks \n"
                "Name=a=b\n"
                "\n"
                "[Software\\A\\Profiles\\Gr\xC3\xBC\xC3\x9F]\n"
                "@=\n");
  RegistryStore store(path, "/t");
  std::string err;
  ASSERT_TRUE(store.Load(&err)) << err;
  // The value is everything after "=", blanks included; the name is trimmed.
  EXPECT_EQ(store.Value("Software\\A\\Profiles\\Werk", "TemplatePath"),
            " D:\\Vorlagen mit Blanks ");
  EXPECT_EQ(store.Value("Software\\A\\Profiles\\Werk", "Name"), "a=b");
  // UTF-8 in the file is 1252 inside.
  EXPECT_TRUE(store.HasKey("Software\\A\\Profiles\\Gr\xFC\xDF"));
  EXPECT_EQ(store.Value("Software\\A\\Profiles\\Gr\xFC\xDF", ""), "");
  EXPECT_EQ(store.SubKeys("software\\a\\profiles"),
            (std::vector<std::string>{"Werk", "Gr\xFC\xDF"}));
}

TEST_F(RegistryStoreTest, FaultyFileIsReportedAndNeverOverwritten) {
  std::string path = dir_ + "/r.txt";
  const std::string faulty = "[Software\\A]\nok=1\nthis line has no equals sign\n";
  WriteTextFile(path, faulty);
  RegistryStore store(path, "/t");
  std::string err;
  EXPECT_FALSE(store.Load(&err));
  EXPECT_EQ(err, path +
                     ":3: expected \"[Key\\Path]\" or \"Name=Value\", found \"this line has "
                     "no equals sign\"");
  // The default profile works in memory; changes are not written.
  EXPECT_EQ(store.Value(kGeneral, "TemplatePath"), "/t");
  EXPECT_FALSE(store.persistent());
  bool created;
  EXPECT_TRUE(store.CreateKey("Software\\B", &created, &err));
  EXPECT_EQ(ReadTextFile(path), faulty);
}

TEST_F(RegistryStoreTest, OtherFaultsNameTheirLine) {
  std::string err;
  auto load = [&](const std::string& text) {
    WriteTextFile(dir_ + "/r.txt", text);
    RegistryStore store(dir_ + "/r.txt", "/t");
    EXPECT_FALSE(store.Load(&err));
    return err.substr(dir_.size() + 6);
  };
  EXPECT_EQ(load("x=1\n"),
            ":1: expected a \"[Key\\Path]\" line before the first value, found \"x=1\"");
  EXPECT_EQ(load("\n[A\\\\B]\n"), ":2: expected a key path of non-empty parts, found \"[A\\\\B]\"");
  EXPECT_EQ(load("[A] x\n"), ":1: expected \"[Key\\Path]\", found \"[A] x\"");
}

TEST_F(RegistryStoreTest, UnreadableOrStrangeFilesFallBackToDefaults) {
  std::string err;
  RegistryStore folder(dir_, "/t");  // a folder, not a file
  EXPECT_FALSE(folder.Load(&err));
  EXPECT_NE(err.find("not a regular file"), std::string::npos);
  EXPECT_EQ(folder.Value(kGeneral, "TemplatePath"), "/t");

  // An empty file counts as first use.
  WriteTextFile(dir_ + "/empty.txt", "");
  RegistryStore empty(dir_ + "/empty.txt", "/t");
  EXPECT_TRUE(empty.Load(&err)) << err;
  EXPECT_NE(ReadTextFile(dir_ + "/empty.txt").find("TemplatePath=/t"), std::string::npos);
}

TEST_F(RegistryStoreTest, ValuesWithLineEndsAreRefused) {
  RegistryStore store(dir_ + "/r.txt", "/t");
  std::string err;
  ASSERT_TRUE(store.Load(&err));
  EXPECT_FALSE(store.SetValue("Software\\A", "x", "two\nlines", &err));
  EXPECT_FALSE(store.SetValue("Software\\A", "a=b", "v", &err));
  EXPECT_TRUE(store.SetValue("Software\\A", "x", "[not a key] = fine", &err));
  RegistryStore again(dir_ + "/r.txt", "/t");
  ASSERT_TRUE(again.Load(&err)) << err;
  EXPECT_EQ(again.Value("Software\\A", "X"), "[not a key] = fine");
}

TEST_F(RegistryStoreTest, KeyPathRules) {
  EXPECT_TRUE(RegistryStore::ValidKeyPath("A\\B c\\<<Unnamed Profile>>"));
  EXPECT_FALSE(RegistryStore::ValidKeyPath(""));
  EXPECT_FALSE(RegistryStore::ValidKeyPath("\\A"));
  EXPECT_FALSE(RegistryStore::ValidKeyPath("A\\"));
  EXPECT_FALSE(RegistryStore::ValidKeyPath("A\\\\B"));
  EXPECT_FALSE(RegistryStore::ValidKeyPath("A\nB"));
  EXPECT_FALSE(RegistryStore::ValidKeyPath(std::string(256, 'x')));
}

TEST_F(RegistryStoreTest, WritingGoesThroughALinkAndLeavesNoTemporaryFile) {
  std::string target = dir_ + "/real.txt";
  WriteTextFile(target, "[Software\\A]\n");
  std::filesystem::create_symlink(target, dir_ + "/link.txt");
  RegistryStore store(dir_ + "/link.txt", "/t");
  std::string err;
  ASSERT_TRUE(store.Load(&err)) << err;
  ASSERT_TRUE(store.SetValue("Software\\A", "v", "1", &err)) << err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ + "/link.txt"));
  EXPECT_NE(ReadTextFile(target).find("v=1"), std::string::npos);
  size_t files = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir_)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2u);
}

TEST(RegistryFilePathTest, OptionThenEnvironmentThenConfigFolder) {
  EXPECT_EQ(RegistryFilePath("/x/r.txt"), "/x/r.txt");
  setenv("DRAVOLIN_REGISTRY", "/env/r.txt", 1);
  EXPECT_EQ(RegistryFilePath(""), "/env/r.txt");
  unsetenv("DRAVOLIN_REGISTRY");
  setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(RegistryFilePath(""), "/xdg/dravolin/registry.txt");
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace host
