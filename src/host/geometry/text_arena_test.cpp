#include "host/geometry/text_arena.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace host::geometry {
namespace {

// Views handed out stay as they were stored while more are stored, also
// across chunks and for texts larger than a chunk; after Clear the memory
// is used again.
TEST(TextArena, ViewsStayValidUntilCleared) {
  TextArena arena;
  std::vector<std::string> texts;
  std::vector<std::string_view> views;
  for (int i = 0; i < 3000; ++i) {
    std::string text = std::to_string(i * 7919) + ".25";
    if (i % 1000 == 999) text = std::string(10000, static_cast<char>('a' + i % 26));
    if (i % 500 == 3) text.clear();
    texts.push_back(text);
    views.push_back(arena.Store(text));
  }
  for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(views[i], texts[i]) << i;

  const char* first = views[0].data();
  arena.Clear();
  EXPECT_EQ(arena.Store("12.5").data(), first);
}

}  // namespace
}  // namespace host::geometry
