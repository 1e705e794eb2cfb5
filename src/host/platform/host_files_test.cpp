#include "host/platform/host_files.h"

#include <gtest/gtest.h>

#include "host/platform/platform_test_support.h"

namespace host {
namespace {

TEST(HostFilesTest, WildcardsMatchWithoutRegardToCase) {
  EXPECT_TRUE(WildcardMatch("*.DWT", "Mech6.dwt"));
  EXPECT_TRUE(WildcardMatch("*.dwt", "A.B.DWT"));
  EXPECT_FALSE(WildcardMatch("*.DWT", "plan.dwg"));
  EXPECT_FALSE(WildcardMatch("*.DWT", "x.dwtx"));
  EXPECT_TRUE(WildcardMatch("?ech*", "mech6.dwt"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_TRUE(WildcardMatch("\xC4*", "\xE4nderung"));
  EXPECT_TRUE(WildcardMatch("*a*b*c", "xxaxxbxxbxc"));
}

TEST(HostFilesTest, PathsAreResolvedAndFilesListedWithoutRegardToCase) {
  std::string dir = testing::MakeTempDir();
  testing::WriteTextFile(dir + "/Vorlagen/ISO.DWT", "x");
  testing::WriteTextFile(dir + "/Vorlagen/b.dwt", "x");
  testing::WriteTextFile(dir + "/Vorlagen/Gr\xC3\xBC\xC3\x9F.dwt", "x");
  testing::WriteTextFile(dir + "/Vorlagen/plan.dwg", "x");
  std::filesystem::create_directories(dir + "/Vorlagen/folder.dwt");

  EXPECT_EQ(ResolveNoCase(dir + "/vorlagen/iso.dwt"), dir + "/Vorlagen/ISO.DWT");
  EXPECT_EQ(ResolveNoCase(dir + "/Vorlagen/ISO.DWT"), dir + "/Vorlagen/ISO.DWT");
  EXPECT_EQ(ResolveNoCase(dir + "/VORLAGEN/GR\xC3\x9C\xC3\x9F.DWT"),
            dir + "/Vorlagen/Gr\xC3\xBC\xC3\x9F.dwt");
  EXPECT_EQ(ResolveNoCase(dir + "/vorlagen/none.dwt"), std::nullopt);

  // Folders are no files; names come in 1252, sorted without regard to case.
  EXPECT_EQ(ListMatchingFiles(dir + "/Vorlagen", {"*.DWT"}),
            (std::vector<std::string>{"b.dwt", "Gr\xFC\xDF.dwt", "ISO.DWT"}));
  EXPECT_EQ(ListMatchingFiles(dir + "/missing", {"*"}), std::vector<std::string>{});
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace host
