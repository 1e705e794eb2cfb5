// Loading and writing a real drawing without changing anything must give back
// the file byte for byte; a binary drawing comes back as ASCII that itself
// round-trips.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "dxf/document.h"
#include "host/database/drawing.h"
#include "support/dxf_lines.h"

namespace host {
namespace {

const std::string kSamples = std::string(DRAVOLIN_TEST_DATA) + "/samples/";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::unique_ptr<Drawing> LoadText(const std::string& text, const std::string& name) {
  dxf::RawFile file;
  dxf::Error err;
  if (!dxf::ParseBuffer(text, name, &file, &err)) {
    ADD_FAILURE() << err.ToString();
    return nullptr;
  }
  auto drawing = Drawing::Load(std::move(file), &err);
  if (!drawing) ADD_FAILURE() << err.ToString();
  return drawing;
}

class AsciiSampleRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(AsciiSampleRoundTrip, WritesTheFileBackByteForByte) {
  std::string path = kSamples + GetParam();
  auto drawing = testing::LoadDrawingFile(path);
  ASSERT_TRUE(drawing);
  std::string written = drawing->WriteToString();
  std::string original = Slurp(path);
  ASSERT_EQ(written.size(), original.size());
  EXPECT_TRUE(written == original);
}

INSTANTIATE_TEST_SUITE_P(Samples, AsciiSampleRoundTrip,
                         ::testing::Values("acadsharp_sample_AC1009_ascii.dxf",
                                           "acadsharp_sample_AC1015_ascii.dxf", "aspose_910609.dxf",
                                           "egghunters_dxf_3.dxf", "ezdxf_ASCII_R12.dxf",
                                           "ezdxf_dxf_unicode.dxf", "ezdxf_uncommon.dxf",
                                           "skymakerolof_issue42.dxf",
                                           "trimesh_125_aluminum_srcMH.dxf", "trimesh_wrench.dxf"));

TEST(BinarySampleRoundTrip, AsciiOutputRoundTripsExactly) {
  auto drawing = testing::LoadDrawingFile(kSamples + "acadsharp_sample_AC1018_binary.dxf");
  ASSERT_TRUE(drawing);
  std::string ascii = drawing->WriteToString();
  EXPECT_EQ(ascii.substr(0, 19), "  0\r\nSECTION\r\n  2\r\n");
  EXPECT_EQ(drawing->version(), "AC1018");

  auto again = LoadText(ascii, "converted.dxf");
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->WriteToString() == ascii);

  // The same drawing as the AC1015 ASCII sample: the same spaces and layouts.
  auto ascii_sample = testing::LoadDrawingFile(kSamples + "acadsharp_sample_AC1015_ascii.dxf");
  ASSERT_TRUE(ascii_sample);
  auto summary = [](const Drawing& d) {
    std::string out;
    for (ContainerId id : d.Layouts()) out += d.LayoutNameOf(id) + ",";
    for (EntityId id = d.FirstEntity(); id != kNoEntity; id = d.NextEntity(id)) {
      out += std::string(d.EntityType(id)) + (d.InPaperSpace(id) ? "p " : "m ");
    }
    return out + std::to_string(d.BlockDefinitions().size());
  };
  EXPECT_EQ(summary(*drawing), summary(*ascii_sample));
}

TEST(RoundTrip, KeepsCommentsTrailingTextAndAMissingFinalNewline) {
  for (std::string text : {
           std::string("999\r\nmade by hand\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
                       "  0\r\nENDSEC\r\n999\r\nafter\r\n  0\r\nEOF\r\n\x1a"),
           std::string("0\nSECTION\n2\nENTITIES\n0\nPOINT\n8\n0\n0\nENDSEC\n0\nEOF"),
           std::string("0\nSECTION\n2\nFUTURE\n0\nTHING\n1\nx\n0\nENDSEC\n0\nEOF\n\n"),
       }) {
    auto drawing = LoadText(text, "in.dxf");
    ASSERT_TRUE(drawing);
    EXPECT_EQ(drawing->WriteToString(), text);
  }
}

// Real files start with a UTF-8 byte-order mark, or end their lines with a
// lone CR: both are read, and written back as they came.
TEST(RoundTrip, ByteOrderMarkAndCrOnlyLineEnds) {
  const std::string lines =
      "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\nA\n 10\n1.5\n  0\nENDSEC\n"
      "  0\nEOF\n";
  std::string cr = lines;
  for (char& c : cr)
    if (c == '\n') c = '\r';
  for (const std::string& text : {"\xEF\xBB\xBF" + lines, cr, "\xEF\xBB\xBF" + cr}) {
    auto drawing = LoadText(text, "in.dxf");
    ASSERT_TRUE(drawing);
    EntityId line = drawing->FirstEntity();
    ASSERT_NE(line, kNoEntity);
    EXPECT_EQ(drawing->EntityLayer(line), "A");
    EXPECT_EQ(drawing->WriteToString(), text);
    // A record the session changes is written with the file's line ends.
    drawing->SetEntityTags(line, {{0, "LINE"}, {8, "B"}, {10, "2.5"}});
    std::string changed = text;
    changed.replace(changed.find('A'), 1, "B");
    changed.replace(changed.find("1.5"), 3, "2.5");
    EXPECT_EQ(drawing->WriteToString(), changed);
  }
}

TEST(RoundTrip, EntitiesStaySmall) {
  // A million entities must load in well under twice the file's size.
  EXPECT_LE(sizeof(Entity), 48u);
}

}  // namespace
}  // namespace host
