// Faults that fuzzing and the bad-input catalogue found in the database:
// the inputs the fuzz targets found (tests/data/fuzz-regressions/), read as
// the round-trip target reads them (refused with a message naming the file,
// or loaded, written back byte for byte when ASCII, and read back to the
// same bytes), and the repairs of broken sequences and space blocks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dxf/binary_dxf.h"
#include "support/drawing_test_support.h"

namespace host {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::unique_ptr<Drawing> Load(const std::string& bytes, const std::string& name, dxf::Error* err) {
  dxf::RawFile file;
  if (!dxf::ParseBuffer(bytes, name, &file, err)) return nullptr;
  return Drawing::Load(std::move(file), err);
}

TEST(FuzzRegressionsTest, EveryFoundInputReadsAndRoundTrips) {
  fs::path folder = fs::path(DRAVOLIN_TEST_DATA) / "fuzz-regressions";
  size_t files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".dxf") continue;
    ++files;
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    std::string input = ReadBytes(entry.path());
    dxf::Error err;
    std::unique_ptr<Drawing> first = Load(input, name, &err);
    if (!first) {
      EXPECT_EQ(err.file, name);
      EXPECT_FALSE(err.message.empty());
      continue;
    }
    std::string written = first->WriteToString();
    if (!dxf::IsBinaryDxf(input)) {
      EXPECT_EQ(written, input);
    }
    std::unique_ptr<Drawing> second = Load(written, "written", &err);
    ASSERT_NE(second, nullptr) << err.ToString();
    EXPECT_EQ(second->WriteToString(), written);
  }
  EXPECT_GT(files, 0u);
}

// Entities some writers put inside the BLOCK of model space belong to model
// space, and stay where they were read until they move.
TEST(FuzzRegressionsTest, EntitiesInsideTheModelSpaceBlockStayThere) {
  std::string text = testing::TagLines(R"(
0 SECTION
2 BLOCKS
0 BLOCK
8 0
2 $MODEL_SPACE
70 0
0 LINE
8 0
10 1.0
0 ENDBLK
8 0
0 ENDSEC
0 SECTION
2 ENTITIES
0 CIRCLE
8 0
40 2.0
0 ENDSEC
0 EOF
)");
  std::unique_ptr<Drawing> drawing = testing::LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  EntityId circle = drawing->FirstEntity();
  ASSERT_NE(circle, kNoEntity);
  EXPECT_EQ(drawing->EntityType(circle), "CIRCLE");
  EntityId line = drawing->NextEntity(circle);
  ASSERT_NE(line, kNoEntity);
  EXPECT_EQ(drawing->EntityType(line), "LINE");
  EXPECT_EQ(drawing->entity(line).container, drawing->model_space());
  EXPECT_EQ(drawing->WriteToString(), text);

  // Moved to the layout and back, the line is written with the space's
  // other entities in ENTITIES.
  drawing->MoveToContainer(line, drawing->active_layout());
  drawing->MoveToContainer(line, drawing->model_space());
  std::string written = drawing->WriteToString();
  EXPECT_LT(written.find("CIRCLE"), written.find("LINE")) << written;
  EXPECT_LT(written.find("ENTITIES"), written.find("LINE")) << written;
}

// A POLYLINE read without its SEQEND ends where its section ends; moved to
// another space it gets a SEQEND, or it would take in the entities written
// after it.
TEST(BadInputRepairTest, MovedPolylineWithoutSeqendGetsOne) {
  std::string text = testing::TagLines(R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
9 $HANDSEED
5 40
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
5 20
330 1F
100 AcDbEntity
67 1
8 0
0 POLYLINE
5 21
330 1F
100 AcDbEntity
67 1
8 Kontur
66 1
0 VERTEX
5 22
330 21
100 AcDbEntity
67 1
8 Kontur
10 1.0
20 2.0
0 ENDSEC
0 EOF
)");
  std::unique_ptr<Drawing> drawing = testing::LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  EXPECT_EQ(drawing->WriteToString(), text);  // unmoved: as read
  EntityId polyline = drawing->FindEntityByHandle("21");
  drawing->MoveToContainer(polyline, drawing->model_space());
  drawing->MoveToContainer(drawing->FindEntityByHandle("20"), drawing->model_space());
  std::string written = drawing->WriteToString();
  EXPECT_NE(written.find(testing::TagLines("0 VERTEX\n5 22\n330 21\n100 AcDbEntity\n67 1\n"
                                           "8 Kontur\n10 1.0\n20 2.0\n0 SEQEND\n5 40\n330 21\n"
                                           "100 AcDbEntity\n8 Kontur\n0 LINE\n5 20\n")),
            std::string::npos)
      << written;
  EntityId seqend = drawing->FindEntityByHandle("40");
  ASSERT_NE(seqend, kNoEntity);
  EXPECT_EQ(drawing->entity(seqend).parent, polyline);
  // Erasing the polyline takes the new SEQEND with it.
  drawing->EraseEntity(polyline);
  EXPECT_TRUE(drawing->entity(seqend).erased);
}

// The same sequence left where it is, with an entity added after it.
TEST(BadInputRepairTest, EntityAddedAfterAnOpenSequenceClosesItFirst) {
  std::string text = testing::TagLines(R"(
0 SECTION
2 ENTITIES
0 POLYLINE
8 0
66 1
0 VERTEX
8 0
10 1.0
0 ENDSEC
0 EOF
)");
  std::unique_ptr<Drawing> drawing = testing::LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  drawing->AddEntity(drawing->model_space(), dxf::Tags{{0, "LINE"}, {8, "0"}});
  EXPECT_EQ(drawing->WriteToString(),
            testing::TagLines("0 SECTION\n2 ENTITIES\n0 POLYLINE\n8 0\n66 1\n0 VERTEX\n8 0\n"
                              "10 1.0\n0 SEQEND\n8 0\n0 LINE\n8 0\n0 ENDSEC\n0 EOF\n"));
}

TEST(BadInputRepairTest, StrayVertexGetsNoSeqend) {
  std::string text = testing::TagLines("0 SECTION\n2 ENTITIES\n0 VERTEX\n8 0\n0 ENDSEC\n0 EOF\n");
  std::unique_ptr<Drawing> drawing = testing::LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  drawing->AddEntity(drawing->model_space(), dxf::Tags{{0, "LINE"}, {8, "0"}});
  EXPECT_EQ(drawing->WriteToString(),
            testing::TagLines("0 SECTION\n2 ENTITIES\n0 VERTEX\n8 0\n0 LINE\n8 0\n0 ENDSEC\n"
                              "0 EOF\n"));
}

}  // namespace
}  // namespace host
