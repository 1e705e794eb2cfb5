// The drawings a conversion of many files works on: files named on the
// command line and the DXF files in the folders named there, and where each
// one's output goes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cli {

// One drawing to convert. A drawing found in a folder remembers that folder
// (root) and the path below it (relative, "sub/part.dxf"), so that an output
// folder can mirror the tree; a file named directly has an empty root and
// its bare name as relative.
struct InputFile {
  std::string path;
  std::string root;
  std::string relative;
  bool from_folder() const { return !root.empty(); }
};

// True for a name ending in ".dxf" without regard to case (and not just
// ".dxf").
bool IsDxfName(const std::string& name);

// Expands the paths given on the command line, in their order: a file as it
// is, a folder into the DXF files in it, sorted by name (with recursive, its
// subfolders' too, depth first, each folder's files before its subfolders).
// Symbolic links to files are taken; links to folders are not followed, so a
// loop cannot make the walk endless. Folders whose resolved path is in
// skip_folders are left out (the output folder inside an input tree).
// A given folder without any DXF file stays in the list as a file named
// directly (its conversion fails as reading a folder does) and is named in
// *empty_folders. A folder that cannot be read fails with "PATH: <system
// error>" in err.
bool CollectInputs(const std::vector<std::string>& given, bool recursive,
                   const std::vector<std::string>& skip_folders, std::vector<InputFile>* files,
                   std::vector<std::string>* empty_folders, std::string* err);

// Where a drawing's output goes: without out_dir, beside the input; with
// out_dir, a file named directly goes into out_dir itself and a file found
// in a folder goes to the same place below out_dir as below its folder
// ("drawings/sub/a.dxf" from "drawings" -> "OUT/sub/a-mech6.dxf").
std::string PlannedOutputPath(const InputFile& input, const std::string& suffix,
                              const std::string& out_dir);

// The transcript kept beside an output: "OUT.dxf" -> "OUT.transcript.txt"
// (the ".dxf" recognised without regard to case; another ending is kept).
std::string TranscriptPathFor(const std::string& output);

// Leaves out the drawings found in folders that are the planned output of
// another drawing of the same run and that an earlier run of that drawing
// wrote (an earlier "a-mech6.dxf" beside "a.dxf"): written_by(path, input)
// tells. A file that only has such a name stays an input (its clash with
// the output is reported). outputs[i] is files[i]'s planned output; both
// vectors shrink alike. Returns how many were left out.
size_t DropEarlierOutputs(
    std::vector<InputFile>* files, std::vector<std::string>* outputs,
    const std::function<bool(const std::string& path, const std::string& input)>& written_by);

// How many conversions run at once: the number asked for (0: the number of
// processors), never more than there are files, at least 1.
size_t PlannedParallelJobs(size_t asked, size_t files, size_t processors);

// Parses the value of --jobs: a whole number from 1 to 1024.
bool ParseJobCount(const std::string& text, size_t* jobs, std::string* err);

}  // namespace cli
