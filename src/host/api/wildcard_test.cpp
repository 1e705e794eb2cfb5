#include "host/api/wildcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A pattern read once answers as the pattern read each time, also after it
// was moved (its classes view the pattern's text).
TEST(WildcardTest, PatternReadOnceMatchesAsReadEachTime) {
  const char* patterns[] = {"[AB]1,~AM_*", "AM_[0-3]", "[,]x,y", "a`,b", "", "*", "[unclosed"};
  const char* texts[] = {"b1", "C1", "AM_2", "AM_7", ",x", "A,B", "", "0", "[UNCLOSED"};
  std::vector<WildcardPattern> read;
  for (const char* pattern : patterns) read.emplace_back(std::string(pattern));
  for (size_t p = 0; p < read.size(); ++p) {
    for (const char* text : texts) {
      EXPECT_EQ(read[p].Matches(text), WildcardMatch(patterns[p], text))
          << patterns[p] << " / " << text;
    }
  }
}

}  // namespace
}  // namespace host::api
