#include "cli/batch_inputs.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "cli/output_path.h"

namespace cli {

namespace {

bool EndsWithNoCase(const std::string& name, const std::string& ending) {
  if (name.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(), name.end() - ending.size(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string BaseName(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

// The resolved path of a folder, for comparing folders named differently.
std::string ResolvedFolder(const std::string& folder) {
  char* resolved = realpath(folder.c_str(), nullptr);
  if (!resolved) return folder;
  std::string result = resolved;
  free(resolved);
  return result;
}

struct FolderWalk {
  bool recursive;
  std::set<std::string> skip;  // resolved folders
  std::vector<InputFile>* files;

  // Adds the DXF files below folder; relative is folder's path below root.
  bool Walk(const std::string& root, const std::string& folder, const std::string& relative,
            std::string* err) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
      *err = folder + ": " + std::strerror(errno);
      return false;
    }
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());

    std::vector<std::string> subfolders;
    for (const std::string& name : names) {
      std::string path = Join(folder, name);
      struct stat link_info, info;
      if (lstat(path.c_str(), &link_info) != 0 || stat(path.c_str(), &info) != 0) continue;
      if (S_ISDIR(info.st_mode)) {
        // A link to a folder is not followed: it could lead back up the tree.
        if (!S_ISLNK(link_info.st_mode)) subfolders.push_back(name);
      } else if (S_ISREG(info.st_mode) && IsDxfName(name)) {
        files->push_back({path, root, Join(relative, name)});
      }
    }
    if (!recursive) return true;
    for (const std::string& name : subfolders) {
      std::string path = Join(folder, name);
      if (skip.count(ResolvedFolder(path))) continue;
      if (!Walk(root, path, Join(relative, name), err)) return false;
    }
    return true;
  }
};

}  // namespace

bool IsDxfName(const std::string& name) { return name.size() > 4 && EndsWithNoCase(name, ".dxf"); }

bool CollectInputs(const std::vector<std::string>& given, bool recursive,
                   const std::vector<std::string>& skip_folders, std::vector<InputFile>* files,
                   std::vector<std::string>* empty_folders, std::string* err) {
  FolderWalk walk{recursive, {}, files};
  for (const std::string& folder : skip_folders) walk.skip.insert(ResolvedFolder(folder));
  for (const std::string& path : given) {
    struct stat info;
    // "-" (standard input) and files that do not exist are left to the
    // conversion, which reports them with the other failures.
    if (path == "-" || stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      files->push_back({path, "", BaseName(path)});
      continue;
    }
    size_t before = files->size();
    if (!walk.Walk(path, path, "", err)) return false;
    if (files->size() == before) {
      // Nothing to convert in it: it stays an input that fails, so that it
      // is reported with the others ("PATH: Is a directory").
      empty_folders->push_back(path);
      files->push_back({path, "", BaseName(path)});
    }
  }
  return true;
}

std::string PlannedOutputPath(const InputFile& input, const std::string& suffix,
                              const std::string& out_dir) {
  if (out_dir.empty() || !input.from_folder())
    return DefaultOutputPath(input.path, suffix, out_dir);
  size_t slash = input.relative.rfind('/');
  std::string below = slash == std::string::npos ? "" : input.relative.substr(0, slash);
  return DefaultOutputPath(input.path, suffix, Join(out_dir, below));
}

std::string TranscriptPathFor(const std::string& output) {
  std::string stem = output;
  if (IsDxfName(BaseName(output))) stem.resize(stem.size() - 4);
  return stem + ".transcript.txt";
}

size_t DropEarlierOutputs(
    std::vector<InputFile>* files, std::vector<std::string>* outputs,
    const std::function<bool(const std::string& path, const std::string& input)>& written_by) {
  std::map<std::string, std::string> planned;  // resolved output -> its input
  for (size_t i = 0; i < outputs->size(); ++i)
    planned.emplace(ResolvedPath((*outputs)[i]), (*files)[i].path);
  std::vector<bool> drop(files->size(), false);
  for (size_t i = 0; i < files->size(); ++i) {
    const InputFile& file = (*files)[i];
    if (!file.from_folder()) continue;
    auto producer = planned.find(ResolvedPath(file.path));
    drop[i] = producer != planned.end() && written_by(file.path, producer->second);
  }
  size_t kept = 0;
  for (size_t i = 0; i < files->size(); ++i) {
    if (drop[i]) continue;
    if (kept != i) {
      (*files)[kept] = std::move((*files)[i]);
      (*outputs)[kept] = std::move((*outputs)[i]);
    }
    ++kept;
  }
  size_t dropped = files->size() - kept;
  files->resize(kept);
  outputs->resize(kept);
  return dropped;
}

size_t PlannedParallelJobs(size_t asked, size_t files, size_t processors) {
  size_t jobs = asked ? asked : processors;
  return std::max<size_t>(1, std::min(jobs, files));
}

bool ParseJobCount(const std::string& text, size_t* jobs, std::string* err) {
  bool digits = !text.empty() && text.size() <= 4 &&
                std::all_of(text.begin(), text.end(),
                            [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
  size_t value = digits ? std::stoul(text) : 0;
  if (value < 1 || value > 1024) {
    *err = "--jobs takes a whole number from 1 to 1024, not '" + text + "'";
    return false;
  }
  *jobs = value;
  return true;
}

}  // namespace cli
