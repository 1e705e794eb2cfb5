// Pictures of real drawings written by CAD programs and libraries: every
// one draws without fault, within its bounds, as well-formed SVG text.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "dxf/document.h"
#include "host/database/drawing.h"
#include "host/render/render_svg.h"

namespace host::render {
namespace {

const char* const kSamples[] = {"acadsharp_sample_AC1009_ascii.dxf",
                                "acadsharp_sample_AC1015_ascii.dxf",
                                "acadsharp_sample_AC1018_binary.dxf",
                                "aspose_910609.dxf",
                                "egghunters_dxf_3.dxf",
                                "ezdxf_ASCII_R12.dxf",
                                "ezdxf_dxf_unicode.dxf",
                                "ezdxf_uncommon.dxf",
                                "skymakerolof_issue42.dxf",
                                "trimesh_125_aluminum_srcMH.dxf",
                                "trimesh_wrench.dxf"};

std::unique_ptr<Drawing> LoadSample(const char* name) {
  dxf::RawFile file;
  dxf::Error err;
  if (!dxf::ReadFile(std::string(DRAVOLIN_TEST_DATA) + "/samples/" + name, &file, &err)) {
    ADD_FAILURE() << err.ToString();
    return nullptr;
  }
  auto drawing = Drawing::Load(std::move(file), &err);
  if (!drawing) ADD_FAILURE() << err.ToString();
  return drawing;
}

// Elements open and close in pairs; nothing but UTF-8 text in between.
void ExpectBalanced(const std::string& svg, const char* name) {
  size_t opened = 0, closed = 0;
  for (size_t pos = svg.find('<'); pos != std::string::npos; pos = svg.find('<', pos + 1)) {
    if (svg.compare(pos, 2, "</") == 0) {
      ++closed;
    } else {
      size_t end = svg.find('>', pos);
      ASSERT_NE(end, std::string::npos) << name;
      if (svg[end - 1] != '/') ++opened;
    }
  }
  EXPECT_EQ(opened, closed) << name;
  for (unsigned char c : svg) {
    if (c < 0x20) {
      EXPECT_TRUE(c == '\n' || c == '\t') << name << ": control character " << int(c);
    }
  }
}

TEST(SamplePictures, EverySpaceOfEverySampleDraws) {
  for (const char* name : kSamples) {
    std::unique_ptr<Drawing> drawing = LoadSample(name);
    if (!drawing) continue;
    std::vector<ContainerId> spaces = drawing->Layouts();
    spaces.insert(spaces.begin(), drawing->model_space());
    size_t drawn = 0;
    for (ContainerId space : spaces) {
      if (space == kNoContainer) continue;
      SvgPicture picture = RenderSvg(*drawing, space, {});
      EXPECT_FALSE(picture.truncated) << name;
      if (picture.svg.empty()) continue;
      ++drawn;
      EXPECT_EQ(picture.svg.rfind("<svg ", 0), 0u) << name;
      ExpectBalanced(picture.svg, name);
    }
    // One sample is an empty drawing.
    if (drawing->FirstEntity() != kNoEntity) {
      EXPECT_GT(drawn, 0u) << name << ": nothing shows";
    }
  }
}

}  // namespace
}  // namespace host::render
