// Every entity of the real sample drawings read and handed back unchanged
// leaves the file byte for byte as it was.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/api_test_drawings.h"

namespace host::api {
namespace {

class SamplesRoundTripTest : public ApiTest, public ::testing::WithParamInterface<const char*> {
 protected:
  std::string ReadSample(const std::string& name) {
    std::ifstream in(std::string(DRAVOLIN_TEST_DATA) + "/samples/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

// Hands every entity back unchanged; counts those the host refuses.
int HandBack(const ads_name first, resbuf* apps) {
  int refused = 0;
  ads_name entity = {first[0], first[1]};
  ads_name next;
  while (true) {
    resbuf* chain = acdbEntGetX(entity, apps);
    EXPECT_NE(chain, nullptr);
    if (chain == nullptr) break;
    std::string type = FindItem(chain, 0)->resval.rstring;
    if (acdbEntMod(chain) != RTNORM) {
      EXPECT_EQ(type, "VIEWPORT");
      ++refused;
    }
    acutRelRb(chain);
    if (acdbEntNext(entity, next) != RTNORM) break;
    entity[0] = next[0];
    entity[1] = next[1];
  }
  return refused;
}

TEST_P(SamplesRoundTripTest, UnchangedChainsKeepTheFileByteForByte) {
  std::string text = ReadSample(GetParam());
  Open(text, GetParam());
  std::string before = drawing().WriteToString();
  resbuf apps{nullptr, RTSTR, {}};
  char all[] = "*";
  apps.resval.rstring = all;
  ads_name first;
  if (acdbEntNext(nullptr, first) == RTNORM) HandBack(first, &apps);
  for (resbuf* block = acdbTblNext("BLOCK", 1); block != nullptr; block = acdbTblNext("BLOCK", 0)) {
    if (resbuf* start = FindItem(block, -2)) HandBack(start->resval.rlname, &apps);
    acutRelRb(block);
  }
  for (size_t id = 0; id < drawing().entity_count(); ++id) {
    const Entity& entity = drawing().entity(static_cast<EntityId>(id));
    EXPECT_FALSE(entity.text.changed()) << entity.text.text();
  }
  std::string after = drawing().WriteToString();
  // Compared without a printed difference: the files are large.
  if (after != before) {
    size_t at = std::mismatch(after.begin(), after.end(), before.begin(), before.end()).first -
                after.begin();
    ADD_FAILURE() << "differs at " << at << ": " << after.substr(at > 80 ? at - 80 : 0, 200);
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, SamplesRoundTripTest,
                         ::testing::Values("acadsharp_sample_AC1009_ascii.dxf",
                                           "acadsharp_sample_AC1015_ascii.dxf",
                                           "acadsharp_sample_AC1018_binary.dxf",
                                           "aspose_910609.dxf", "egghunters_dxf_3.dxf",
                                           "ezdxf_ASCII_R12.dxf", "ezdxf_dxf_unicode.dxf",
                                           "ezdxf_uncommon.dxf", "skymakerolof_issue42.dxf",
                                           "trimesh_125_aluminum_srcMH.dxf", "trimesh_wrench.dxf"));

}  // namespace
}  // namespace host::api
