#include "host/commands/dstyle_overrides.h"

#include <gtest/gtest.h>

namespace host::commands {
namespace {

dxf::Tags Line() { return {{0, "DIMENSION"}, {5, "53"}, {8, "0"}}; }

TEST(DstyleOverridesTest, OtherAcadDataAndOtherApplicationsStay) {
  dxf::Tags tags = Line();
  dxf::Tags xdata = {{1001, "ACAD"},  {1000, "DSTYLE"}, {1002, "{"},      {1070, "40"},
                     {1040, "1.0"},   {1002, "}"},      {1000, "DIMJAG"}, {1040, "2.5"},
                     {1001, "OTHER"}, {1000, "x"}};
  tags.insert(tags.end(), xdata.begin(), xdata.end());
  MergeDstyleOverrides(&tags, {{40, {1040, "2.0"}}, {144, {1040, "0.5"}}});
  dxf::Tags expected = Line();
  dxf::Tags merged = {{1001, "ACAD"},   {1000, "DSTYLE"}, {1002, "{"},     {1070, "40"},
                      {1040, "2.0"},    {1070, "144"},    {1040, "0.5"},   {1002, "}"},
                      {1000, "DIMJAG"}, {1040, "2.5"},    {1001, "OTHER"}, {1000, "x"}};
  expected.insert(expected.end(), merged.begin(), merged.end());
  EXPECT_EQ(tags, expected);
  EXPECT_EQ(ReadDstyleOverrides(tags).size(), 2u);
}

TEST(DstyleOverridesTest, AcadDataWithoutAListGetsOneAtItsEnd) {
  dxf::Tags tags = Line();
  tags.insert(tags.end(), {{1001, "OTHER"}, {1000, "x"}, {1001, "ACAD"}, {1000, "TEXT"}});
  MergeDstyleOverrides(&tags, {{340, {1005, "11"}}});
  ASSERT_EQ(tags.size(), 3u + 4u + 5u);
  EXPECT_EQ(tags[7], dxf::Tag(1000, "DSTYLE"));
  EXPECT_EQ(tags[10], dxf::Tag(1005, "11"));
  EXPECT_EQ(tags[11], dxf::Tag(1002, "}"));
}

TEST(DstyleOverridesTest, AListLeftOpenEndsWithTheAcadData) {
  dxf::Tags tags = Line();
  tags.insert(tags.end(), {{1001, "ACAD"},
                           {1000, "DSTYLE"},
                           {1002, "{"},
                           {1070, "40"},
                           {1040, "1.0"},
                           {1001, "OTHER"},
                           {1000, "x"}});
  MergeDstyleOverrides(&tags, {{40, {1040, "3.0"}}});
  dxf::Tags expected = Line();
  expected.insert(expected.end(), {{1001, "ACAD"},
                                   {1000, "DSTYLE"},
                                   {1002, "{"},
                                   {1070, "40"},
                                   {1040, "3.0"},
                                   {1002, "}"},
                                   {1001, "OTHER"},
                                   {1000, "x"}});
  EXPECT_EQ(tags, expected);
}

TEST(DstyleOverridesTest, ClearLeavesNoEmptyAcadData) {
  dxf::Tags tags = Line();
  tags.insert(tags.end(), {{1001, "ACAD"},
                           {1000, "DSTYLE"},
                           {1002, "{"},
                           {1070, "40"},
                           {1040, "1.0"},
                           {1002, "}"},
                           {1001, "OTHER"},
                           {1000, "x"}});
  ClearDstyleOverrides(&tags);
  dxf::Tags expected = Line();
  expected.insert(expected.end(), {{1001, "OTHER"}, {1000, "x"}});
  EXPECT_EQ(tags, expected);
}

}  // namespace
}  // namespace host::commands
