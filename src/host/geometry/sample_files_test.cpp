// The transforms and extents on real drawings written by CAD programs.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "dxf/document.h"
#include "host/geometry/extents.h"
#include "host/geometry/transform.h"

namespace host::geometry {
namespace {

const char* const kSamples[] = {"acadsharp_sample_AC1009_ascii.dxf",
                                "acadsharp_sample_AC1015_ascii.dxf",
                                "acadsharp_sample_AC1018_binary.dxf",
                                "aspose_910609.dxf",
                                "egghunters_dxf_3.dxf",
                                "ezdxf_ASCII_R12.dxf",
                                "ezdxf_uncommon.dxf",
                                "skymakerolof_issue42.dxf",
                                "trimesh_125_aluminum_srcMH.dxf",
                                "trimesh_wrench.dxf"};

std::string SamplePath(const char* name) {
  return std::string(DRAVOLIN_TEST_DATA) + "/samples/" + name;
}

// The entity records of a file by section (ENTITIES, BLOCKS), BLOCK
// records included.
struct Sample {
  dxf::RawFile file;
  std::vector<dxf::Tags> entities;
  std::map<std::string, std::vector<dxf::Tags>> blocks;
  std::vector<dxf::Tags> block_records;  // every record of BLOCKS, in order
};

std::string ValueOf(const dxf::Tags& tags, int code) {
  for (const dxf::Tag& tag : tags) {
    if (tag.code == code) return std::string(dxf::TrimBlanks(tag.value));
  }
  return "";
}

bool Load(const char* name, Sample* sample) {
  dxf::Error err;
  if (!dxf::ReadFile(SamplePath(name), &sample->file, &err)) {
    ADD_FAILURE() << err.ToString();
    return false;
  }
  std::string section, block;
  for (const dxf::RawRecord& record : sample->file.records) {
    dxf::Tags tags = dxf::ToTags(record.text);
    std::string type = ValueOf(tags, 0);
    if (type == "SECTION") section = ValueOf(tags, 2);
    if (type == "SECTION" || type == "ENDSEC" || type == "EOF") continue;
    if (section == "ENTITIES") sample->entities.push_back(tags);
    if (section != "BLOCKS") continue;
    sample->block_records.push_back(tags);
    if (type == "BLOCK") block = ValueOf(tags, 2);
    if (type != "ENDBLK") sample->blocks[block].push_back(tags);
  }
  return true;
}

// The records after forward and back again must hold the numbers they
// started with; added tags (a z, default scale factors) may remain.
void ExpectSameNumbers(const dxf::Tags& original, const dxf::Tags& result, const char* file) {
  size_t j = 0;
  for (const dxf::Tag& tag : original) {
    while (j < result.size() && result[j].code != tag.code) ++j;
    ASSERT_LT(j, result.size()) << file << ": lost group code " << tag.code;
    const dxf::Tag& back = result[j++];
    if (back.value == tag.value) continue;
    std::optional<double> a = dxf::ParseDouble(tag.value), b = dxf::ParseDouble(back.value);
    ASSERT_TRUE(a && b) << file << ": group code " << tag.code << " \"" << tag.value
                        << "\" became \"" << back.value << "\"";
    EXPECT_NEAR(*a, *b, 1e-8 * std::max(1.0, std::fabs(*a)))
        << file << ": group code " << tag.code << " of " << original[0].value;
  }
}

TEST(SampleFilesTest, TransformThereAndBackRestoresEveryNumber) {
  const Transform forward{2.5, {3, -4, 0}, {100, 50, 0}};
  // p = B + (p' - B - O) / f: a scale by 1/f about B + O, then a move by -O.
  const Transform back{1 / 2.5, {103, 46, 0}, {-100, -50, 0}};
  for (const char* name : kSamples) {
    Sample sample;
    if (!Load(name, &sample)) continue;
    std::vector<dxf::Tags> records = sample.entities;
    records.insert(records.end(), sample.block_records.begin(), sample.block_records.end());
    OwnerFrame frame;
    for (const dxf::Tags& original : records) {
      std::string type = ValueOf(original, 0);
      if (type == "BLOCK" || type == "ENDBLK") continue;
      if (type == "POLYLINE") frame = OwnerFrameOf(original);
      dxf::Tags tags = original;
      ASSERT_NE(TransformEntity(&tags, forward, frame), TransformResult::kInvalid);
      TransformEntity(&tags, back, frame);
      ExpectSameNumbers(original, tags, name);
    }
  }
}

TEST(SampleFilesTest, ModelSpaceExtentsMatchWhatTheWriterRecorded) {
  // Files whose header extents were written by a CAD program and are up to
  // date (others hold the drawing limits there); the estimated text boxes
  // may differ a little.
  for (const char* name :
       {"acadsharp_sample_AC1015_ascii.dxf", "acadsharp_sample_AC1018_binary.dxf",
        "aspose_910609.dxf", "egghunters_dxf_3.dxf", "skymakerolof_issue42.dxf"}) {
    Sample sample;
    if (!Load(name, &sample)) continue;
    BlockVisitor blocks = [&sample](
                              std::string_view block,
                              const std::function<void(const std::vector<dxf::TagView>&)>& visit) {
      for (auto& [key, records] : sample.blocks) {
        if (key.size() != block.size() ||
            !std::equal(key.begin(), key.end(), block.begin(), [](char a, char b) {
              return std::toupper(static_cast<unsigned char>(a)) ==
                     std::toupper(static_cast<unsigned char>(b));
            })) {
          continue;
        }
        for (const dxf::Tags& record : records) {
          std::vector<dxf::TagView> views;
          for (const dxf::Tag& tag : record) views.push_back({tag.code, {}, tag.value});
          visit(views);
        }
        return true;
      }
      return false;
    };
    ExtentsCollector collector(blocks);
    for (const dxf::Tags& record : sample.entities) {
      if (ValueOf(record, 67) == "1") continue;  // paper space
      std::vector<dxf::TagView> views;
      for (const dxf::Tag& tag : record) views.push_back({tag.code, {}, tag.value});
      collector.Add(views);
    }
    Extents e = collector.extents();
    ASSERT_FALSE(e.empty()) << name;
    // The header: "9 $EXTMIN" is followed by the point's tags in the
    // SECTION record of HEADER.
    dxf::Tags header = dxf::ToTags(sample.file.records[0].text);
    double written[4] = {NAN, NAN, NAN, NAN};
    for (size_t i = 0; i + 2 < header.size(); ++i) {
      if (header[i].code != 9) continue;
      int slot = header[i].value == "$EXTMIN" ? 0 : header[i].value == "$EXTMAX" ? 2 : -1;
      if (slot < 0) continue;
      written[slot] = dxf::ParseDouble(header[i + 1].value).value_or(NAN);
      written[slot + 1] = dxf::ParseDouble(header[i + 2].value).value_or(NAN);
    }
    double size = std::max(written[2] - written[0], written[3] - written[1]);
    double tolerance = 0.005 * size;
    EXPECT_NEAR(e.min.x, written[0], tolerance) << name;
    EXPECT_NEAR(e.min.y, written[1], tolerance) << name;
    EXPECT_NEAR(e.max.x, written[2], tolerance) << name;
    EXPECT_NEAR(e.max.y, written[3], tolerance) << name;
  }
}

}  // namespace
}  // namespace host::geometry
