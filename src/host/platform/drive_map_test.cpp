#include "host/platform/drive_map.h"

#include <gtest/gtest.h>

namespace host {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(DriveMapTest, DriveLettersMapToFolders) {
  DriveMap map(Entries{{"C:", "/home/me/c"}, {"d", "/mnt/d/"}, {"E:\\", "/e"}, {"bad", "/x"}});
  EXPECT_EQ(map.ToHostPath("C:\\CloseDialog\\CloseDialog.exe"),
            "/home/me/c/CloseDialog/CloseDialog.exe");
  EXPECT_EQ(map.ToHostPath("c:/Vorlagen/iso.dwt"), "/home/me/c/Vorlagen/iso.dwt");
  EXPECT_EQ(map.ToHostPath("D:\\"), "/mnt/d");
  EXPECT_EQ(map.ToHostPath("D:"), "/mnt/d");
  EXPECT_EQ(map.ToHostPath("d:a\\b"), "/mnt/d/a/b");  // drive-relative: from the drive's root
  EXPECT_EQ(map.ToHostPath("E:\\x"), "/e/x");
  // A rooted path without a drive is on C:.
  EXPECT_EQ(map.ToHostPath("\\*.DWT"), "/home/me/c/*.DWT");
}

TEST(DriveMapTest, UnmappedAndRelativePathsFindNothing) {
  DriveMap map(Entries{{"C:", "/c"}});
  EXPECT_EQ(map.ToHostPath("F:\\x"), std::nullopt);
  EXPECT_EQ(map.ToHostPath("x\\y"), std::nullopt);
  EXPECT_EQ(map.ToHostPath("\\\\server\\share\\x"), std::nullopt);
  EXPECT_EQ(map.ToHostPath(""), std::nullopt);
  EXPECT_EQ(DriveMap().ToHostPath("C:\\x"), std::nullopt);
}

TEST(DriveMapTest, DotDotNeverLeavesTheDrive) {
  DriveMap map(Entries{{"C:", "/home/me/c"}});
  EXPECT_EQ(map.ToHostPath("C:\\a\\..\\..\\..\\etc\\passwd"), "/home/me/c/etc/passwd");
  EXPECT_EQ(map.ToHostPath("C:\\a\\.\\b\\..\\c"), "/home/me/c/a/c");
  EXPECT_EQ(map.ToHostPath("/a/../../b"), "/b");
}

TEST(DriveMapTest, ControlCharactersAreRefusedAndTextBecomesUtf8) {
  DriveMap map(Entries{{"C:", "/c"}});
  EXPECT_EQ(map.ToHostPath("C:\\a\nb"), std::nullopt);
  EXPECT_EQ(map.ToHostPath("C:\\Gr\xFC\xDF"), "/c/Gr\xC3\xBC\xC3\x9F");
  EXPECT_EQ(map.ToHostPath("/t/\xC4"), "/t/\xC3\x84");
}

}  // namespace
}  // namespace host
