// The entity walk, block definitions, and changes to the entity lists.

#include <gtest/gtest.h>

#include "host/database/drawing.h"
#include "support/drawing_test_support.h"

namespace host {
namespace {

using testing::LoadDrawing;
using testing::R2000Drawing;
using testing::TagLines;

// "TYPE handle" of each entity the walk yields.
std::vector<std::string> Walk(const Drawing& d) {
  std::vector<std::string> out;
  for (EntityId id = d.FirstEntity(); id != kNoEntity; id = d.NextEntity(id)) {
    out.push_back(std::string(d.EntityType(id)) + " " + std::string(d.EntityHandle(id)));
  }
  return out;
}

std::vector<std::string> BlockWalk(const Drawing& d, ContainerId block) {
  std::vector<std::string> out;
  for (EntityId id = d.FirstInBlock(block); id != kNoEntity; id = d.NextInBlock(id)) {
    out.push_back(std::string(d.EntityType(id)) + " " + std::string(d.EntityHandle(id)));
  }
  return out;
}

EntityId ByHandle(const Drawing& d, std::string_view handle) {
  EntityId id = d.FindEntityByHandle(handle);
  EXPECT_NE(id, kNoEntity) << handle;
  return id;
}

TEST(DrawingWalk, EntitiesSectionThenOtherLayoutsWithSubentities) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EXPECT_EQ(Walk(*d), (std::vector<std::string>{"LINE 40", "POLYLINE 41", "VERTEX 42", "VERTEX 43",
                                                "SEQEND 44", "CIRCLE 50", "INSERT 45", "ATTRIB 46",
                                                "SEQEND 47", "TEXT 48", "LINE 90"}));
  const Entity& vertex = d->entity(ByHandle(*d, "42"));
  EXPECT_EQ(vertex.parent, ByHandle(*d, "41"));
  EXPECT_EQ(d->entity(ByHandle(*d, "47")).parent, ByHandle(*d, "45"));
  EXPECT_EQ(d->entity(ByHandle(*d, "40")).parent, kNoEntity);
  EXPECT_EQ(vertex.line, 461u);  // of its "0" line
}

TEST(DrawingWalk, EntitiesBelongToTheirSpaces) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->entity(ByHandle(*d, "40")).container, d->model_space());
  EXPECT_EQ(d->entity(ByHandle(*d, "50")).container, d->active_layout());
  EXPECT_TRUE(d->InPaperSpace(ByHandle(*d, "50")));
  EXPECT_FALSE(d->InPaperSpace(ByHandle(*d, "46")));
  ContainerId sheet_b = d->entity(ByHandle(*d, "90")).container;
  EXPECT_EQ(d->LayoutNameOf(sheet_b), "Sheet B");
  EXPECT_EQ(d->LayoutNameOf(d->active_layout()), "Sheet A");
  EXPECT_EQ(d->LayoutNameOf(d->model_space()), "Model");
  EXPECT_EQ(d->container(sheet_b).block_record_handle, "23");
  EXPECT_EQ(d->FindContainerByBlockRecordHandle("1b"), d->active_layout());
  EXPECT_EQ(d->Layouts(), (std::vector<ContainerId>{d->active_layout(), sheet_b}));
  EXPECT_EQ(d->EntityLayer(ByHandle(*d, "40")), "Mittellinie");
  EXPECT_EQ(d->EntityLayer(ByHandle(*d, "50")), "0");
}

TEST(DrawingWalk, ErasedEntitiesAreSkippedAndSteppedFrom) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EntityId polyline = ByHandle(*d, "41");
  EntityId circle = ByHandle(*d, "50");
  d->EraseEntity(polyline);
  d->EraseEntity(circle);
  EXPECT_TRUE(d->entity(ByHandle(*d, "43")).erased);  // vertices go with it
  EXPECT_EQ(Walk(*d), (std::vector<std::string>{"LINE 40", "INSERT 45", "ATTRIB 46", "SEQEND 47",
                                                "TEXT 48", "LINE 90"}));
  // Stepping on from an erased entity continues after it.
  EXPECT_EQ(d->EntityHandle(d->NextEntity(polyline)), "45");
  EXPECT_EQ(d->EntityHandle(d->NextEntity(circle)), "45");

  d->EraseEntity(ByHandle(*d, "40"));
  EXPECT_EQ(d->EntityHandle(d->FirstEntity()), "45");
  d->EraseEntity(polyline, false);
  EXPECT_EQ(d->EntityHandle(d->FirstEntity()), "41");
  EXPECT_FALSE(d->entity(ByHandle(*d, "44")).erased);

  std::string written = d->WriteToString();
  EXPECT_EQ(written.find("\n40\n100\nAcDbEntity"), std::string::npos);  // LINE 40 left out
  EXPECT_NE(written.find("\n43\n330\n41\n"), std::string::npos);        // vertex back
}

TEST(DrawingWalk, BlockDefinitionWalkEndsWithEndblk) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  std::vector<ContainerId> blocks = d->BlockDefinitions();
  ASSERT_EQ(blocks.size(), 1u);
  ContainerId bolt = d->FindBlock("BOLT");
  EXPECT_EQ(blocks[0], bolt);
  EXPECT_EQ(d->container(bolt).block_name, "Bolt");
  EXPECT_EQ(d->FindBlock("*model_space"), d->model_space());
  EXPECT_EQ(BlockWalk(*d, bolt), (std::vector<std::string>{"CIRCLE 32", "ATTDEF 33", "ENDBLK 34"}));
  // NextEntity inside a definition stays inside it.
  EntityId circle = d->FirstInBlock(bolt);
  EXPECT_EQ(d->EntityType(d->NextEntity(circle)), "ATTDEF");
  EXPECT_EQ(d->NextInBlock(d->container(bolt).endblk), kNoEntity);
  // The ENDBLK cannot be erased; the others can.
  d->EraseEntity(d->container(bolt).endblk);
  d->EraseEntity(circle);
  EXPECT_EQ(BlockWalk(*d, bolt), (std::vector<std::string>{"ATTDEF 33", "ENDBLK 34"}));
  std::vector<dxf::TagView> tags;
  d->BlockTags(bolt, &tags);
  ASSERT_GE(tags.size(), 2u);
  EXPECT_EQ(tags[0].value, "BLOCK");
}

TEST(DrawingWalk, AddedEntitiesComeLastOrBeforeTheEndblk) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  ContainerId bolt = d->FindBlock("Bolt");
  EntityId in_block = d->AddEntity(bolt, {{0, "POINT"}, {5, "300"}, {8, "0"}});
  EXPECT_EQ(BlockWalk(*d, bolt),
            (std::vector<std::string>{"CIRCLE 32", "ATTDEF 33", "POINT 300", "ENDBLK 34"}));
  EXPECT_EQ(d->entity(in_block).line, 0u);

  EntityId polyline = d->AddEntity(d->model_space(), {{0, "POLYLINE"}, {5, "301"}, {66, "1"}});
  EntityId vertex = d->AddEntity(d->model_space(), {{0, "VERTEX"}, {5, "302"}});
  EntityId seqend = d->AddEntity(d->model_space(), {{0, "SEQEND"}, {5, "303"}});
  EXPECT_EQ(d->entity(vertex).parent, polyline);
  EXPECT_EQ(d->entity(seqend).parent, polyline);
  std::vector<std::string> walk = Walk(*d);
  EXPECT_EQ(std::vector<std::string>(walk.end() - 3, walk.end()),
            (std::vector<std::string>{"POLYLINE 301", "VERTEX 302", "SEQEND 303"}));
  EXPECT_EQ(d->FindEntityByHandle("302"), vertex);

  std::string written = d->WriteToString();
  // Model-space entities added in the session are written into ENTITIES, in
  // the file's style, before the section ends.
  EXPECT_NE(written.find("0\nSEQEND\n5\n303\n0\nENDSEC\n0\nSECTION\n2\nOBJECTS"),
            std::string::npos);
  EXPECT_NE(written.find("0\nPOINT\n5\n300\n8\n0\n0\nENDBLK\n5\n34\n"), std::string::npos);

  // Handles are found without regard to case, and a leading zero makes
  // another handle; handles that are no hex numbers are found as written.
  EntityId plain = d->AddEntity(d->model_space(), {{0, "POINT"}, {5, "3aF"}, {8, "0"}});
  EntityId zero = d->AddEntity(d->model_space(), {{0, "POINT"}, {5, "03AF"}, {8, "0"}});
  EntityId odd = d->AddEntity(d->model_space(), {{0, "POINT"}, {5, "X-1"}, {8, "0"}});
  EXPECT_EQ(d->FindEntityByHandle(" 3AF"), plain);
  EXPECT_EQ(d->FindEntityByHandle("03af"), zero);
  EXPECT_EQ(d->FindEntityByHandle("x-1"), odd);
  EXPECT_EQ(d->FindEntityByHandle("003AF"), kNoEntity);
}

// Whether an entity is a dimension is kept beside it, so that a command
// marking a large selection need not read every record.
TEST(DrawingWalk, DimensionsAreKnownWhenReadAddedOrRewritten) {
  auto d = LoadDrawing(TagLines(R"(
0 SECTION
2 ENTITIES
0 DIMENSION
5 40
0 LINE
5 41
0 ENDSEC
0 EOF
)"));
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->entity(ByHandle(*d, "40")).dimension);
  EXPECT_FALSE(d->entity(ByHandle(*d, "41")).dimension);
  EntityId arc = d->AddEntity(d->model_space(), {{0, "ARC_DIMENSION"}, {5, "42"}});
  EntityId point = d->AddEntity(d->model_space(), {{0, "POINT"}, {5, "43"}});
  EXPECT_TRUE(d->entity(arc).dimension);
  EXPECT_FALSE(d->entity(point).dimension);
  d->SetEntityTags(point, {{0, "LARGE_RADIAL_DIMENSION"}, {5, "43"}});
  EXPECT_TRUE(d->entity(point).dimension);
  d->SetEntityTags(arc, {{0, "LINE"}, {5, "42"}});
  EXPECT_FALSE(d->entity(arc).dimension);
}

TEST(DrawingWalk, MovedToModelSpaceIsWrittenIntoEntities) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EntityId line = ByHandle(*d, "90");  // in the *Paper_Space0 block
  EntityId circle = ByHandle(*d, "50");
  d->MoveToContainer(line, d->model_space());
  d->MoveToContainer(circle, d->model_space());
  EXPECT_EQ(d->entity(line).container, d->model_space());
  EXPECT_EQ(Walk(*d).back(), "CIRCLE 50");
  EXPECT_EQ(d->EntityHandle(d->NextEntity(line)), "50");

  std::string written = d->WriteToString();
  size_t entities = written.find("2\nENTITIES\n");
  size_t objects = written.find("2\nOBJECTS\n");
  size_t moved_line = written.find("0\nLINE\n5\n90\n");
  EXPECT_GT(moved_line, entities);
  EXPECT_LT(moved_line, objects);
  // The layout's block keeps only its BLOCK and ENDBLK.
  EXPECT_NE(written.find("3\n*Paper_Space0\n1\n\n0\nENDBLK\n5\n25\n"), std::string::npos);
}

TEST(DrawingWalk, MovingASubentityMovesItsMainEntity) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  d->MoveToContainer(ByHandle(*d, "46"), d->active_layout());
  std::vector<std::string> walk = Walk(*d);
  EXPECT_EQ(std::vector<std::string>(walk.end() - 3, walk.end()),
            (std::vector<std::string>{"INSERT 45", "ATTRIB 46", "SEQEND 47"}));
  EXPECT_EQ(d->entity(ByHandle(*d, "47")).container, d->active_layout());
}

TEST(DrawingWalk, ChangedRecordsAreWrittenInTheFilesStyle) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EntityId text = ByHandle(*d, "48");
  std::vector<dxf::TagView> views;
  d->EntityTags(text, &views);
  dxf::Tags tags;
  for (const dxf::TagView& v : views) tags.emplace_back(v.code, std::string(v.value));
  for (dxf::Tag& tag : tags) {
    if (tag.code == 1) tag.value = "Tsch\xFC\xDF";
  }
  d->SetEntityTags(text, tags);
  EXPECT_TRUE(d->entity(text).text.changed());
  std::string written = d->WriteToString();
  EXPECT_NE(written.find("1\nTsch\xFC\xDF\n100\nAcDbText\n0\nENDSEC"), std::string::npos);
  EXPECT_EQ(written.size(), R2000Drawing().size() + 1);
}

TEST(DrawingWalk, R12PaperSpaceIsLayout1) {
  auto d = LoadDrawing(TagLines(R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1009
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
8 0
10 0.0
20 0.0
11 1.0
21 1.0
0 CIRCLE
67 1
8 0
10 0.0
20 0.0
40 1.0
0 ENDSEC
0 EOF
)"));
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->is_r12());
  EXPECT_EQ(d->LayoutNameOf(d->active_layout()), "Layout1");
  EXPECT_EQ(d->container(d->active_layout()).block_name, "$PAPER_SPACE");
  EXPECT_FALSE(d->container(d->active_layout()).block_record);
  EntityId first = d->FirstEntity();
  EXPECT_FALSE(d->InPaperSpace(first));
  EXPECT_TRUE(d->InPaperSpace(d->NextEntity(first)));
  EXPECT_EQ(d->EntityHandle(first), "");
  EXPECT_EQ(d->FindEntityByHandle("1"), kNoEntity);
}

TEST(DrawingWalk, Ac1015SampleHasThreeNamedLayouts) {
  dxf::RawFile file;
  dxf::Error err;
  ASSERT_TRUE(dxf::ReadFile(
      std::string(DRAVOLIN_TEST_DATA) + "/samples/acadsharp_sample_AC1015_ascii.dxf", &file, &err));
  auto d = Drawing::Load(std::move(file), &err);
  ASSERT_TRUE(d) << err.ToString();
  std::vector<std::string> names;
  for (ContainerId id : d->Layouts()) names.push_back(d->LayoutNameOf(id));
  EXPECT_EQ(names, (std::vector<std::string>{"MyLayout", "Layout1", "Layout2"}));
  EXPECT_EQ(d->container(d->active_layout()).block_name, "*Paper_Space");
  size_t paper = 0, model = 0;
  for (EntityId id = d->FirstEntity(); id != kNoEntity; id = d->NextEntity(id)) {
    ++(d->InPaperSpace(id) ? paper : model);
  }
  EXPECT_GT(model, 0u);
  EXPECT_GT(paper, 0u);
}

}  // namespace
}  // namespace host
