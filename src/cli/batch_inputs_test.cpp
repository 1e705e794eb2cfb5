#include "cli/batch_inputs.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace cli {
namespace {

class BatchInputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dravolin-batch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  void Folder(const std::string& relative) { mkdir((dir_ + "/" + relative).c_str(), 0777); }
  void File(const std::string& relative) { std::ofstream(dir_ + "/" + relative) << "0\nEOF\n"; }
  std::vector<std::string> Relatives(const std::vector<InputFile>& files) {
    std::vector<std::string> names;
    for (const InputFile& file : files) names.push_back(file.relative);
    return names;
  }
  std::string dir_;
};

TEST_F(BatchInputsTest, FolderGivesItsDxfFilesInAnyCaseSortedAndOnlyWithRecursiveItsSubfolders) {
  Folder("tree");
  Folder("tree/sub");
  Folder("tree/sub/deeper");
  File("tree/b.dxf");
  File("tree/A.DXF");
  File("tree/notes.txt");
  File("tree/.dxf");
  File("tree/sub/c.Dxf");
  File("tree/sub/deeper/d.dxf");
  Folder("tree/folder.dxf");  // a folder with a drawing's name is no drawing

  std::vector<InputFile> files;
  std::vector<std::string> empty;
  std::string err;
  ASSERT_TRUE(CollectInputs({dir_ + "/tree"}, false, {}, &files, &empty, &err)) << err;
  EXPECT_EQ(Relatives(files), (std::vector<std::string>{"A.DXF", "b.dxf"}));
  EXPECT_EQ(files[0].path, dir_ + "/tree/A.DXF");
  EXPECT_EQ(files[0].root, dir_ + "/tree");

  files.clear();
  ASSERT_TRUE(CollectInputs({dir_ + "/tree/"}, true, {}, &files, &empty, &err)) << err;
  EXPECT_EQ(Relatives(files),
            (std::vector<std::string>{"A.DXF", "b.dxf", "sub/c.Dxf", "sub/deeper/d.dxf"}));
  EXPECT_EQ(files[3].path, dir_ + "/tree/sub/deeper/d.dxf");
  EXPECT_TRUE(empty.empty());
}

TEST_F(BatchInputsTest, FilesKeepTheirPlaceEmptyFoldersAreNamedAndLinkLoopsEnd) {
  Folder("empty");
  Folder("tree");
  File("tree/a.dxf");
  ASSERT_EQ(symlink("..", (dir_ + "/tree/up").c_str()), 0);  // a loop if followed
  File("single.txt");

  std::vector<InputFile> files;
  std::vector<std::string> empty;
  std::string err;
  ASSERT_TRUE(CollectInputs({dir_ + "/single.txt", dir_ + "/empty", dir_ + "/tree", "missing.dxf"},
                            true, {}, &files, &empty, &err))
      << err;
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].path, dir_ + "/single.txt");  // named directly: taken as it is
  EXPECT_FALSE(files[0].from_folder());
  EXPECT_EQ(files[0].relative, "single.txt");
  EXPECT_EQ(files[1].path, dir_ + "/empty");  // its conversion reports it
  EXPECT_FALSE(files[1].from_folder());
  EXPECT_EQ(files[2].relative, "a.dxf");
  EXPECT_EQ(files[3].path, "missing.dxf");  // reported by its conversion
  EXPECT_EQ(empty, (std::vector<std::string>{dir_ + "/empty"}));
}

TEST_F(BatchInputsTest, TheOutputFolderInsideTheTreeIsLeftOut) {
  Folder("tree");
  Folder("tree/out");
  File("tree/a.dxf");
  File("tree/out/a-mech6.dxf");
  std::vector<InputFile> files;
  std::vector<std::string> empty;
  std::string err;
  ASSERT_TRUE(CollectInputs({dir_ + "/tree"}, true, {dir_ + "/tree/./out"}, &files, &empty, &err));
  EXPECT_EQ(Relatives(files), (std::vector<std::string>{"a.dxf"}));
}

TEST(PlannedOutputPathTest, MirrorsTheTreeBelowTheFolderGiven) {
  InputFile direct{"x/parts.dxf", "", "parts.dxf"};
  InputFile found{"drawings/sub/deep/a.DXF", "drawings", "sub/deep/a.DXF"};
  InputFile top{"drawings/b.dxf", "drawings", "b.dxf"};
  EXPECT_EQ(PlannedOutputPath(direct, "-mech6", ""), "x/parts-mech6.dxf");
  EXPECT_EQ(PlannedOutputPath(found, "-mech6", ""), "drawings/sub/deep/a-mech6.dxf");
  EXPECT_EQ(PlannedOutputPath(direct, "-genius", "out"), "out/parts-genius.dxf");
  EXPECT_EQ(PlannedOutputPath(found, "-genius", "out/"), "out/sub/deep/a-genius.dxf");
  EXPECT_EQ(PlannedOutputPath(top, "-mech6", "out"), "out/b-mech6.dxf");
}

TEST(TranscriptPathTest, ReplacesTheDrawingsEnding) {
  EXPECT_EQ(TranscriptPathFor("out/a-mech6.dxf"), "out/a-mech6.transcript.txt");
  EXPECT_EQ(TranscriptPathFor("A.DXF"), "A.transcript.txt");
  EXPECT_EQ(TranscriptPathFor("a.out"), "a.out.transcript.txt");
  EXPECT_EQ(TranscriptPathFor("x.dxf/.dxf"), "x.dxf/.dxf.transcript.txt");
}

TEST(DropEarlierOutputsTest, LeavesOutFoundFilesThatThisRunWouldWrite) {
  std::vector<InputFile> files = {{"d/a.dxf", "d", "a.dxf"},
                                  {"d/a-mech6.dxf", "d", "a-mech6.dxf"},
                                  {"d/b.dxf", "d", "b.dxf"},
                                  {"a-mech6.dxf", "", "a-mech6.dxf"}};
  std::vector<std::string> outputs = {"d/a-mech6.dxf", "d/a-mech6-mech6.dxf", "d/b-mech6.dxf",
                                      "a-mech6-mech6.dxf"};
  std::vector<InputFile> same_files = files;
  std::vector<std::string> same_outputs = outputs;
  std::vector<std::string> asked;
  auto ours = [&](const std::string& path, const std::string& input) {
    asked.push_back(path + " by " + input);
    return true;
  };
  EXPECT_EQ(DropEarlierOutputs(&files, &outputs, ours), 1u);
  EXPECT_EQ(asked, std::vector<std::string>{"d/a-mech6.dxf by d/a.dxf"});
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].path, "d/a.dxf");
  EXPECT_EQ(outputs[0], "d/a-mech6.dxf");
  EXPECT_EQ(files[1].path, "d/b.dxf");
  EXPECT_EQ(outputs[1], "d/b-mech6.dxf");
  // A file named directly is never left out; its clash is reported instead.
  EXPECT_EQ(files[2].path, "a-mech6.dxf");

  // A file that only has an output's name, not written by a conversion of
  // its namesake, stays an input.
  auto not_ours = [](const std::string&, const std::string&) { return false; };
  EXPECT_EQ(DropEarlierOutputs(&same_files, &same_outputs, not_ours), 0u);
  EXPECT_EQ(same_files.size(), 4u);
}

TEST(JobPlanTest, ParallelJobsAreBoundedByFilesAndDefaultToProcessors) {
  EXPECT_EQ(PlannedParallelJobs(0, 10, 4), 4u);
  EXPECT_EQ(PlannedParallelJobs(0, 3, 8), 3u);
  EXPECT_EQ(PlannedParallelJobs(6, 10, 2), 6u);
  EXPECT_EQ(PlannedParallelJobs(6, 1, 2), 1u);
  EXPECT_EQ(PlannedParallelJobs(0, 0, 0), 1u);

  size_t jobs = 0;
  std::string err;
  EXPECT_TRUE(ParseJobCount("3", &jobs, &err));
  EXPECT_EQ(jobs, 3u);
  for (const char* bad : {"0", "", "-1", "2x", "1025", "99999999999999999999"}) {
    EXPECT_FALSE(ParseJobCount(bad, &jobs, &err)) << bad;
    EXPECT_NE(err.find("--jobs"), std::string::npos);
  }
}

}  // namespace
}  // namespace cli
