// The no-data-lost check: what a conversion may do (erase, rewrite common
// properties, scale, add dictionary entries) passes; losing an entity,
// touching other applications' data or unknown entities, clashing handles
// and a stale $HANDSEED are reported.
#include "cli/data_check.h"

#include <gtest/gtest.h>

#include "host/database/record_scan.h"
#include "support/drawing_test_support.h"

namespace cli {
namespace {

using host::testing::LoadDrawing;
using host::testing::TagLines;

const std::string kDrawing = TagLines(R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
9 $HANDSEED
5 100
0 ENDSEC
0 SECTION
2 CLASSES
0 CLASS
1 ACDBPLACEHOLDER
0 ENDSEC
0 SECTION
2 TABLES
0 TABLE
2 LAYER
5 2
70 1
0 LAYER
5 10
2 0
70 0
62 7
6 CONTINUOUS
1001 OTHERAPP
1000 layer data
0 ENDTAB
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
5 20
100 AcDbEntity
8 0
62 1
100 AcDbLine
10 0.0
20 0.0
30 0.0
11 5.0
21 5.0
31 0.0
1001 ACAD
1000 host data
1001 APP1
1000 keep me
1041 2.5
0 CIRCLE
5 21
8 0
10 1.0
20 1.0
30 0.0
40 3.0
0 ACAD_PROXY_ENTITY
5 22
8 0
90 498
10 4.0
20 4.0
30 0.0
310 00FF00FF
0 ENDSEC
0 SECTION
2 OBJECTS
0 DICTIONARY
5 C
3 ACAD_GROUP
350 D
0 XRECORD
5 31
1 other application
0 ENDSEC
0 EOF
)");

class DataCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dxf::Error err;
    drawing_ = LoadDrawing(kDrawing, &err);
    ASSERT_NE(drawing_, nullptr) << err.ToString();
    before_ = TakeDataSnapshot(*drawing_);
  }

  host::EntityId Entity(std::string_view handle) { return drawing_->FindEntityByHandle(handle); }

  // Replaces the first value of a code in an entity, as the host functions
  // write changes.
  void SetValue(std::string_view handle, int code, const std::string& value) {
    host::EntityId id = Entity(handle);
    std::vector<dxf::TagView> views;
    drawing_->EntityTags(id, &views);
    dxf::Tags tags;
    bool done = false;
    for (const dxf::TagView& view : views) {
      bool replace = !done && view.code == code;
      done = done || replace;
      tags.emplace_back(view.code, replace ? value : std::string(view.value));
    }
    drawing_->SetEntityTags(id, tags);
  }

  DataCheckResult Check() { return CheckNoDataLost(before_, *drawing_); }

  std::unique_ptr<host::Drawing> drawing_;
  DataSnapshot before_;
};

TEST_F(DataCheckTest, UnchangedDrawingLosesNothing) {
  DataCheckResult result = Check();
  EXPECT_TRUE(result.ok()) << FormatDataCheck(result);
  EXPECT_EQ(FormatDataCheck(result),
            "data check: no data lost (3 entity records of all spaces and blocks, vertices and "
            "attributes included)");
}

TEST_F(DataCheckTest, WhatAConversionDoesPasses) {
  drawing_->EraseEntity(Entity("21"));
  SetValue("20", 8, "AM_0");        // layer of a known type
  SetValue("20", 10, "10.0");       // geometry
  SetValue("20", 1041, "5.0");      // scaled extended data
  SetValue("20", 1000, "changed");  // the first 1000 is the host's own (ACAD)
  SetValue("22", 8, "AM_3");        // common property of an unknown type
  SetValue("22", 10, "8.0");        // its points are scaled too
  drawing_->AddObject(dxf::Tags{{0, "XRECORD"}, {5, drawing_->NewHandle()}, {1, "new"}});
  DataCheckResult result = Check();
  EXPECT_TRUE(result.ok()) << FormatDataCheck(result);
  EXPECT_EQ(result.deleted, (std::map<std::string, size_t>{{"CIRCLE", 1}}));
  EXPECT_EQ(FormatDataCheck(result),
            "data check: no data lost (3 entity records of all spaces and blocks, vertices and "
            "attributes included; deleted: 1 CIRCLE)");
}

TEST_F(DataCheckTest, AnErasedEntityIsFoundLiveWhereAnotherRecordCarriesItsHandle) {
  // Changed, then erased: looked for by handle, as after a cut and a copy.
  SetValue("21", 8, "AM_0");
  drawing_->EraseEntity(Entity("21"));
  EXPECT_EQ(Check().deleted, (std::map<std::string, size_t>{{"CIRCLE", 1}}));
  drawing_->AddEntity(drawing_->model_space(),
                      dxf::Tags{{0, "CIRCLE"}, {5, "21"}, {8, "0"}, {40, "3.0"}});
  DataCheckResult result = Check();
  EXPECT_TRUE(result.deleted.empty());
  EXPECT_TRUE(result.ok()) << FormatDataCheck(result);
  // The same with a handle beyond 32 bits in the drawing.
  drawing_->AddEntity(drawing_->model_space(),
                      dxf::Tags{{0, "POINT"}, {5, "1000000000"}, {8, "0"}, {10, "0"}, {20, "0"}});
  EXPECT_TRUE(Check().deleted.empty());
}

TEST_F(DataCheckTest, ErasedEntitiesAreCountedByTheirTypeAsRead) {
  // One erased as read, one changed first (found by its handle) and one of
  // a type the host does not know.
  drawing_->EraseEntity(Entity("21"));
  SetValue("20", 8, "AM_0");
  drawing_->EraseEntity(Entity("20"));
  drawing_->EraseEntity(Entity("22"));
  EXPECT_EQ(Check().deleted,
            (std::map<std::string, size_t>{{"ACAD_PROXY_ENTITY", 1}, {"CIRCLE", 1}, {"LINE", 1}}));
}

TEST_F(DataCheckTest, EntityWithoutItsHandleIsReportedLost) {
  SetValue("21", 5, "99");
  DataCheckResult result = Check();
  ASSERT_EQ(result.problems.size(), 1u) << FormatDataCheck(result);
  EXPECT_EQ(result.problems[0], "CIRCLE 21 (input line 95) is gone without being erased");
  EXPECT_EQ(FormatDataCheck(result).substr(0, 39), "data check: 1 problem (3 entity records");
}

TEST_F(DataCheckTest, EntityOfAnotherTypeIsReported) {
  SetValue("21", 0, "ARC");  // a CIRCLE without extended data
  DataCheckResult result = Check();
  EXPECT_EQ(result.problems, (std::vector<std::string>{"CIRCLE 21 became a ARC"}));
}

TEST_F(DataCheckTest, OtherApplicationsDataAndUnknownTypesMustStay) {
  host::EntityId line = Entity("20");
  std::vector<dxf::TagView> views;
  drawing_->EntityTags(line, &views);
  dxf::Tags tags;
  for (const dxf::TagView& view : views) {
    if (view.code == 1001 && view.value == "APP1") break;  // drops APP1's data
    tags.emplace_back(view.code, std::string(view.value));
  }
  drawing_->SetEntityTags(line, tags);
  SetValue("22", 310, "DEADBEEF");
  DataCheckResult result = Check();
  EXPECT_EQ(result.problems,
            (std::vector<std::string>{
                "LINE 20: the extended data of APP1 is gone",
                "ACAD_PROXY_ENTITY 22: the data of this type, which the host does not know, "
                "changed"}));
}

TEST_F(DataCheckTest, ChangedObjectsAndClassesAreReported) {
  host::RecordText* xrecord = drawing_->FindObject("31");
  ASSERT_NE(xrecord, nullptr);
  xrecord->Replace(TagLines("0 XRECORD\n5 31\n1 overwritten\n"));
  // A dictionary that only gained an entry lost nothing.
  host::RecordText* dictionary = drawing_->FindObject("C");
  ASSERT_NE(dictionary, nullptr);
  dictionary->Replace(TagLines("0 DICTIONARY\n5 C\n3 ACAD_GROUP\n350 D\n3 NEW\n350 E\n"));
  DataCheckResult result = Check();
  EXPECT_EQ(result.problems, std::vector<std::string>{"the object XRECORD 31 changed"});
}

// Handles close together and far apart are counted in different ways.
TEST_F(DataCheckTest, NewDuplicateHandleAndStaleHandseedAreReported) {
  for (std::string highest : {"200", "FFFFFF00"}) {
    SetUp();
    for (int copy = 0; copy < 2; ++copy)
      drawing_->AddEntity(drawing_->model_space(),
                          dxf::Tags{{0, "LINE"}, {5, "21"}, {8, "0"}, {10, "0"}, {20, "0"}});
    drawing_->AddEntity(drawing_->model_space(),
                        dxf::Tags{{0, "LINE"}, {5, highest}, {8, "0"}, {10, "0"}, {20, "0"}});
    DataCheckResult result = Check();
    EXPECT_EQ(result.problems, (std::vector<std::string>{
                                   "the handle 21 is used by 3 records",
                                   "$HANDSEED 100 is not above the highest handle " + highest}));
  }
}

TEST(DataCheckInputTest, StaleHandseedOfTheInputIsNotBlamedOnTheConversion) {
  std::string text = kDrawing;
  const std::string seed = "$HANDSEED\n5\n100\n";
  text.replace(text.find(seed), seed.size(), "$HANDSEED\n5\n21\n");
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  DataSnapshot before = TakeDataSnapshot(*drawing);
  EXPECT_TRUE(CheckNoDataLost(before, *drawing).ok());
  // A handle given out now must lie above the seed it raises.
  drawing->AddEntity(drawing->model_space(),
                     dxf::Tags{{0, "LINE"}, {5, drawing->NewHandle()}, {8, "0"}});
  DataCheckResult result = CheckNoDataLost(before, *drawing);
  EXPECT_TRUE(result.ok()) << FormatDataCheck(result);
}

TEST(DataCheckInputTest, DuplicatesAlreadyInTheInputAreNotBlamedOnTheConversion) {
  std::string text = kDrawing;
  text.replace(text.find("5\n21\n"), 5, "5\n20\n");
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  DataSnapshot before = TakeDataSnapshot(*drawing);
  DataCheckResult result = CheckNoDataLost(before, *drawing);
  EXPECT_TRUE(result.ok()) << FormatDataCheck(result);
}

// A large drawing is checked on two threads; what they find comes in the
// order one thread gives: entities by input order, then the handles.
TEST(DataCheckLargeTest, TwoThreadsReportInEntityOrder) {
  std::string lines;
  for (int i = 0; i < 6000; ++i)
    lines += "0\nCIRCLE\n5\n" + host::FormatHandle(0x1000 + i) + "\n8\n0\n40\n1.0\n";
  std::string text = kDrawing;
  text.insert(text.find("0\nENDSEC\n0\nSECTION\n2\nOBJECTS"), lines);
  text.replace(text.find("$HANDSEED\n5\n100\n"), 16, "$HANDSEED\n5\n9000\n");
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(text);
  ASSERT_NE(drawing, nullptr);
  DataSnapshot before = TakeDataSnapshot(*drawing);
  auto retype = [&](uint64_t handle, const char* type) {
    host::EntityId id = drawing->FindEntityByHandle(host::FormatHandle(handle));
    drawing->SetEntityTags(id, dxf::Tags{{0, type}, {5, host::FormatHandle(handle)}, {8, "0"}});
  };
  retype(0x1000 + 5900, "ARC");
  retype(0x1000 + 10, "ELLIPSE");
  for (int i : {3, 3000, 5999})
    drawing->EraseEntity(drawing->FindEntityByHandle(host::FormatHandle(0x1000 + i)));
  drawing->AddEntity(drawing->model_space(),
                     dxf::Tags{{0, "LINE"}, {5, "100A"}, {8, "0"}, {10, "0"}, {20, "0"}});
  drawing->AddEntity(drawing->model_space(),
                     dxf::Tags{{0, "LINE"}, {5, "A000"}, {8, "0"}, {10, "0"}, {20, "0"}});
  DataCheckResult result = CheckNoDataLost(before, *drawing);
  EXPECT_EQ(result.problems,
            (std::vector<std::string>{"CIRCLE 100A became a ELLIPSE", "CIRCLE 270C became a ARC",
                                      "the handle 100A is used by 2 records",
                                      "$HANDSEED 9000 is not above the highest handle A000"}));
  EXPECT_EQ(result.entities_checked, 6003u);
  EXPECT_EQ(result.deleted, (std::map<std::string, size_t>{{"CIRCLE", 3}}));
}

}  // namespace
}  // namespace cli
