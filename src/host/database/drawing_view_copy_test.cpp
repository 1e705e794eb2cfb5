// A view copy reads as the drawing did when it was made, whatever the
// drawing does afterwards; records changed before it are its own copies.

#include <gtest/gtest.h>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "support/dxf_lines.h"

namespace host {
namespace {

const std::string kSamples = std::string(DRAVOLIN_TEST_DATA) + "/samples/";

// Puts the entity on another layer (or gives it one).
void Relayer(Drawing& drawing, EntityId id, const std::string& layer) {
  std::vector<dxf::TagView> views;
  drawing.EntityTags(id, &views);
  dxf::Tags tags = dxf::TagsOf(views);
  bool found = false;
  for (dxf::Tag& tag : tags) {
    if (tag.code == 8 && !found) tag.value = layer, found = true;
  }
  if (!found) tags.emplace_back(8, layer);
  drawing.SetEntityTags(id, tags);
}

class ViewCopyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ViewCopyTest, ReadsAsTheDrawingDidWhateverItDoesAfterwards) {
  auto drawing = testing::LoadDrawingFile(kSamples + GetParam());
  ASSERT_TRUE(drawing);
  ASSERT_GT(drawing->entity_count(), 2u);
  // A record changed before the copy: the copy must own its text, since
  // the drawing lets go of it when the record changes again.
  Relayer(*drawing, 0, "BEFORE");
  drawing->SetHeaderVar("$CLAYER", {dxf::Tag(8, "BEFORE")});
  const std::string as_copied = drawing->WriteToString();

  std::unique_ptr<Drawing> copy = drawing->ViewCopy();
  EXPECT_EQ(copy->WriteToString(), as_copied);

  for (EntityId id = 0; id < drawing->entity_count(); ++id) Relayer(*drawing, id, "AFTER");
  drawing->EraseEntity(1);
  drawing->SetHeaderVar("$CLAYER", {dxf::Tag(8, "AFTER")});
  ASSERT_NE(drawing->WriteToString(), as_copied);

  EXPECT_EQ(copy->WriteToString(), as_copied);
  EXPECT_EQ(copy->EntityLayer(0), "BEFORE");
  EXPECT_FALSE(copy->entity(1).erased);
  EXPECT_EQ(copy->FindEntityByHandle(std::string(drawing->EntityHandle(2))), EntityId{2});
}

INSTANTIATE_TEST_SUITE_P(Samples, ViewCopyTest,
                         ::testing::Values("acadsharp_sample_AC1009_ascii.dxf",
                                           "acadsharp_sample_AC1015_ascii.dxf",
                                           "ezdxf_uncommon.dxf"));

}  // namespace
}  // namespace host
