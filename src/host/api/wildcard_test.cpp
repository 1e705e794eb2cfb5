#include "host/api/wildcard.h"

#include <gtest/gtest.h>

namespace host::api {
namespace {

TEST(WildcardTest, LiteralsWithoutRegardToCase) {
  EXPECT_TRUE(WildcardMatch("Kontur", "KONTUR"));
  EXPECT_TRUE(WildcardMatch("märz", "MÄRZ"));
  EXPECT_FALSE(WildcardMatch("1", "11"));
  EXPECT_FALSE(WildcardMatch("Kontur", "Kontu"));
  EXPECT_TRUE(WildcardMatch("", ""));
  EXPECT_FALSE(WildcardMatch("", "x"));
}

TEST(WildcardTest, SequencesAndSingleCharacters) {
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_TRUE(WildcardMatch("*LINE", "LWPOLYLINE"));
  EXPECT_FALSE(WildcardMatch("*LINE", "LINES"));
  EXPECT_TRUE(WildcardMatch("AM_*", "AM_10"));
  EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx"));
  EXPECT_TRUE(WildcardMatch("A?C", "ABC"));
  EXPECT_FALSE(WildcardMatch("A?C", "AC"));
  EXPECT_TRUE(WildcardMatch("Layout#", "Layout2"));
  EXPECT_FALSE(WildcardMatch("Layout#", "LayoutX"));
  EXPECT_TRUE(WildcardMatch("@@_#", "AM_1"));
  EXPECT_TRUE(WildcardMatch("AM.1", "AM_1"));
  EXPECT_FALSE(WildcardMatch("AM.1", "AMX1"));
}

TEST(WildcardTest, ClassesNegationAndAlternatives) {
  EXPECT_TRUE(WildcardMatch("[AB]1", "b1"));
  EXPECT_FALSE(WildcardMatch("[AB]1", "C1"));
  EXPECT_TRUE(WildcardMatch("[~AB]1", "C1"));
  EXPECT_TRUE(WildcardMatch("AM_[0-3]", "AM_2"));
  EXPECT_FALSE(WildcardMatch("AM_[0-3]", "AM_7"));
  EXPECT_TRUE(WildcardMatch("~AM_*", "0"));
  EXPECT_FALSE(WildcardMatch("~AM_*", "AM_0"));
  EXPECT_TRUE(WildcardMatch("LINE,ARC", "arc"));
  EXPECT_TRUE(WildcardMatch("[,]x,y", ",x"));
  EXPECT_FALSE(WildcardMatch("LINE,ARC", "CIRCLE"));
}

TEST(WildcardTest, EscapedCharactersAreLiteral) {
  EXPECT_TRUE(WildcardMatch("A`*", "A*"));
  EXPECT_FALSE(WildcardMatch("A`*", "AB"));
  EXPECT_TRUE(WildcardMatch("`#1", "#1"));
  EXPECT_TRUE(WildcardMatch("a`,b", "A,B"));
  EXPECT_TRUE(WildcardMatch("[unclosed", "[UNCLOSED"));
  EXPECT_FALSE(WildcardMatch("x`", "y"));
}

}  // namespace
}  // namespace host::api
