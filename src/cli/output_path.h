// Where a converted drawing goes, and the rule that the program never writes
// onto a file it reads.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The default output beside the input: "parts.dxf" -> "parts-mech6.dxf" for
// the suffix "-mech6" (the extension ".dxf" is recognised without regard to
// case; another extension is kept in the name). With out_dir, the same name
// in that folder.
std::string DefaultOutputPath(const std::string& input, const std::string& suffix,
                              const std::string& out_dir = "");

// Fails, with a one-line message in err, when writing output would replace
// or write through to one of the inputs: the same path, a symbolic link to
// an input, or another hard link of an input (same device and inode). An
// output that does not exist yet is fine.
bool CheckOutputIsNoInput(const std::string& output, const std::vector<std::string>& inputs,
                          std::string* err);

// The path with its folder resolved (symbolic links, "." and ".."), so that
// two names of one output compare equal; the path as given when its folder
// does not exist.
std::string ResolvedPath(const std::string& path);

// What an output carries to say which conversion wrote it: the producer
// ("convert mech6", "run") and the input's resolved path.
std::string OutputMark(const std::string& producer, const std::string& input);

// True when path is a regular file written by the run mark describes and not
// changed since (its size and modification time are those it was written
// with).
bool IsEarlierOutput(const std::string& path, const std::string& mark);

// Why writing path would replace something it must not, or "": a symbolic
// link (never written through: name its target) and anything but a regular
// file are never replaced; an existing regular file only when it is an
// earlier output of the same run (mark) or with overwrite.
std::string ReplaceProblem(const std::string& path, const std::string& mark, bool overwrite);

// Removes this program's stale temporaries from the folder of path, then
// checks that a file can be created there; on failure err holds
// "PATH: <system error>".
bool PrepareOutputFolder(const std::string& path, std::string* err);

// Reads a whole file; on failure err holds "PATH: <system error>".
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* err);

}  // namespace cli
