// Bad input gives one clear message naming file, line and group code, and
// never a crash or a hang.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "dxf/binary_dxf.h"
#include "dxf/document.h"

namespace dxf {
namespace {

// The message ParseBuffer gives for text, or "" when it is accepted.
std::string ErrorFor(std::string text) {
  RawFile file;
  Error err;
  if (ParseBuffer(std::move(text), "in.dxf", &file, &err)) return "";
  return err.ToString();
}

TEST(ReaderErrors, GroupCodeLines) {
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nHEADER\nabc\nx\n0\nENDSEC\n0\nEOF\n"),
            "in.dxf:5: expected a group code, found \"abc\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nHEADER\n2000\nx\n0\nENDSEC\n0\nEOF\n"),
            "in.dxf:5: expected a group code from -5 to 1071, found \"2000\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nHEADER\n\nx\n"),
            "in.dxf:5: expected a group code, found \"\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nHEADER\n1 0\nx\n"),
            "in.dxf:5: expected a group code, found \"1 0\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nHEADER\n99999999999999999999\nx\n"),
            "in.dxf:5: expected a group code from -5 to 1071, found \"99999999999999999999\"");
}

TEST(ReaderErrors, MissingValueLineAtEndOfFile) {
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n"),
            "in.dxf:8: group code 10: expected a value line, found end of file");
  // The code line itself without a line ending.
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nLINE\n10"),
            "in.dxf:8: group code 10: expected a value line, found end of file");
}

TEST(ReaderErrors, SectionStructure) {
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nLINE\n0\nEOF\n"),
            "in.dxf:7: group code 0: expected ENDSEC before EOF, found EOF");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nSECTION\n2\nBLOCKS\n"),
            "in.dxf:5: group code 0: expected ENDSEC before SECTION, found SECTION");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n"),
            "in.dxf:9: expected ENDSEC, found end of file");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n"),
            "in.dxf:7: expected EOF, found end of file");
  EXPECT_EQ(ErrorFor("0\nSECTION\n0\nENDSEC\n0\nEOF\n"),
            "in.dxf:3: group code 0: expected the section name (group code 2) after SECTION, "
            "found \"ENDSEC\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n8\nENTITIES\n0\nENDSEC\n0\nEOF\n"),
            "in.dxf:3: group code 8: expected the section name (group code 2) after SECTION, "
            "found \"ENTITIES\"");
  EXPECT_EQ(ErrorFor("9\n$ACADVER\n1\nAC1009\n0\nEOF\n"),
            "in.dxf:1: group code 9: expected SECTION, found a tag outside any section");
  EXPECT_EQ(ErrorFor("0\nLINE\n8\n0\n0\nEOF\n"),
            "in.dxf:1: group code 0: expected SECTION or EOF, found \"LINE\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nLINE\n0\nEOF\n"),
            "in.dxf:7: group code 0: expected SECTION or EOF, found \"LINE\"");
}

TEST(ReaderErrors, EmptyAndBlankFiles) {
  EXPECT_EQ(ErrorFor(""), "in.dxf: the file is empty");
  EXPECT_EQ(ErrorFor("\n"), "in.dxf:1: expected a group code, found \"\"");
  EXPECT_EQ(ErrorFor("999\nonly a comment\n"), "in.dxf:3: expected EOF, found end of file");
}

TEST(ReaderErrors, NulBytesAndGarbage) {
  std::string nul("0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nA\0B\n0\nENDSEC\n0\nEOF\n", 40);
  EXPECT_EQ(ErrorFor(nul), "in.dxf:8: group code 8: expected a text line, found a NUL byte");
  std::string nul_code("0\nSECTION\n2\nENTITIES\n\0\nx\n", 24);
  EXPECT_EQ(ErrorFor(nul_code), "in.dxf:5: expected a group code, found \"\\x00\"");
  std::string garbage = "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR";
  EXPECT_EQ(ErrorFor(garbage), "in.dxf:1: expected a group code, found \"\x89PNG\"");
}

// A number that does not read would be left out of every move and scale,
// so the file is refused, in whatever section the value stands.
TEST(ReaderErrors, NumbersThatDoNotRead) {
  auto in_entity = [](const std::string& code, const std::string& value) {
    return ErrorFor("0\nSECTION\n2\nENTITIES\n0\nLINE\n" + code + "\n" + value +
                    "\n0\nENDSEC\n0\nEOF\n");
  };
  for (const char* bad : {"abc", "12.0abc", "1,5", "", " ", "0x1p3", "nan", "-nan", "inf",
                          "-infinity", "1e309", "1.#QNAN", "--1", "1 2", "."}) {
    EXPECT_EQ(
        in_entity(" 10", bad),
        std::string("in.dxf:8: group code 10: expected a real number, found \"") + bad + "\"");
  }
  for (const char* bad : {"abc", "1.0", "1e3", "", "0x10", "99999999999999999999"}) {
    EXPECT_EQ(in_entity(" 70", bad),
              std::string("in.dxf:8: group code 70: expected an integer, found \"") + bad + "\"");
  }
  EXPECT_EQ(in_entity("1071", "12abc"),
            "in.dxf:8: group code 1071: expected an integer, found \"12abc\"");
  EXPECT_EQ(in_entity("1040", "nan"),
            "in.dxf:8: group code 1040: expected a real number, found \"nan\"");
  // Header, tables, blocks and objects alike.
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nHEADER\n9\n$DIMSCALE\n40\nx\n0\nENDSEC\n0\nEOF\n"),
            "in.dxf:8: group code 40: expected a real number, found \"x\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1,5\n"),
            "in.dxf:10: group code 70: expected an integer, found \"1,5\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nOBJECTS\n0\nLAYOUT\n 45\ninf\n"),
            "in.dxf:8: group code 45: expected a real number, found \"inf\"");
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n290\ntrue\n"),
            "in.dxf:8: group code 290: expected an integer, found \"true\"");
}

TEST(ReaderErrors, NumbersAsWritersWriteThem) {
  for (const char* good : {"1", "-1", "+1.5", "  12.25  ", "1.", ".5", "-.5", "1e10", "1.5E-3",
                           "1e308", "0.000000000000000000000000001", "\t3\t"}) {
    EXPECT_EQ(ErrorFor(std::string("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n") + good +
                       "\n70\n     0\n62\n+7\n0\nENDSEC\n0\nEOF\n"),
              "")
        << good;
  }
  // Strings, handles and binary data are not numbers.
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nLINE\n5\nZZ\n1\nabc\n310\nXY\n"
                     "1000\nnan\n0\nENDSEC\n0\nEOF\n"),
            "");
}

TEST(ReaderErrors, HugeLineIsQuotedShort) {
  std::string line(10 * 1024 * 1024, 'x');
  EXPECT_EQ(ErrorFor(line + "\n0\n"),
            "in.dxf:1: expected a group code, found \"" + std::string(40, 'x') + "\"...");
  // A huge value line is a legal (if odd) text.
  EXPECT_EQ(ErrorFor("0\nSECTION\n2\nENTITIES\n0\nTEXT\n1\n" + line + "\n0\nENDSEC\n0\nEOF\n"), "");
}

TEST(ReaderErrors, BinaryCutShort) {
  std::string head(kBinarySentinel);
  std::string section = head + std::string("\0\0SECTION\0\x02\0ENTITIES\0", 21);
  EXPECT_EQ(ErrorFor(section + std::string("\x0a\0\0\0", 4)),
            "in.dxf: group code 10: expected 8 bytes of a real number at byte 45, found end of "
            "file");
  EXPECT_EQ(ErrorFor(section + std::string("\x08\0LAY", 5)),
            "in.dxf: group code 8: expected a zero-terminated text at byte 45, found end of file");
  EXPECT_EQ(ErrorFor(section + std::string("\x08", 1)),
            "in.dxf: expected a two-byte group code at byte 43, found end of file");
  EXPECT_EQ(ErrorFor(section + std::string("\x37\x13", 2) + "x"),
            "in.dxf: expected a group code at byte 43, found 4919");
  // Complete tags, but the file ends inside a section.
  EXPECT_EQ(ErrorFor(section), "in.dxf:5: expected ENDSEC, found end of file");
}

class ReadFileErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("dravolin_read_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string ErrorForFile(const std::string& path) {
    RawFile file;
    Error err;
    if (ReadFile(path, &file, &err)) return "";
    return err.ToString();
  }

  std::filesystem::path dir_;
};

TEST_F(ReadFileErrors, OsErrorsNameThePath) {
  std::string missing = (dir_ / "missing.dxf").string();
  EXPECT_EQ(ErrorForFile(missing), missing + ": No such file or directory");
  EXPECT_EQ(ErrorForFile(dir_.string()), dir_.string() + ": Is a directory");
}

// A device or a FIFO could hand out bytes for ever, or wait for a writer
// for ever: refused before anything is read.
TEST_F(ReadFileErrors, SpecialFilesAreRefusedUnread) {
  EXPECT_EQ(ErrorForFile("/dev/zero"),
            "/dev/zero: not a regular file but a character device; drawings are read from "
            "regular files only");
  std::string fifo = (dir_ / "pipe.dxf").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // No writer ever opens the FIFO: reading it would wait for ever.
  EXPECT_EQ(ErrorForFile(fifo), fifo +
                                    ": not a regular file but a FIFO (named pipe); drawings "
                                    "are read from regular files only");
}

TEST_F(ReadFileErrors, TruncatedRealFileNamesTheLine) {
  std::ifstream in(std::string(DRAVOLIN_TEST_DATA) + "/samples/ezdxf_ASCII_R12.dxf",
                   std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  // Keep 101 lines: an odd count ends on a group code whose value is cut off.
  std::string path = (dir_ / "cut.dxf").string();
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < 101; ++i) out << lines[i] << "\n";
  out.close();
  EXPECT_EQ(ErrorForFile(path), path + ":102: group code " + std::to_string(std::stoi(lines[100])) +
                                    ": expected a value line, found end of file");
}

}  // namespace
}  // namespace dxf
