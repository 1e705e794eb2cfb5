// The open-file dialog: the folder of the initial name, through the drive
// map, listed with the filter's patterns.
#include "host/platform/host_files.h"
#include "host/platform/platform.h"
#include "host/session.h"
#include "host/ui/user_channel.h"
#include "sdk/afxwin.h"

namespace {

std::string TrimBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The patterns of the filter's first entry: "desc|*.a;*.b|desc|...||".
std::vector<std::string> FilterPatterns(const std::string& filter) {
  std::vector<std::string> patterns;
  size_t bar = filter.find('|');
  if (bar == std::string::npos) return patterns;
  std::string list = filter.substr(bar + 1, filter.find('|', bar + 1) - bar - 1);
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string pattern = TrimBlanks(list.substr(start, end - start));
    if (!pattern.empty()) patterns.push_back(pattern);
    start = end + 1;
  }
  return patterns;
}

}  // namespace

CFileDialog::CFileDialog(BOOL open_file_dialog, LPCTSTR default_ext, LPCTSTR file_name, DWORD flags,
                         LPCTSTR filter, CWnd* parent)
    : CDialog(0, parent),
      open_(open_file_dialog),
      default_ext_(default_ext),
      initial_name_(file_name),
      flags_(flags),
      filter_(filter) {}

int CFileDialog::DoModal() {
  chosen_.Empty();
  host::Session* session = host::CurrentSession();
  if (session == nullptr) return IDCANCEL;

  host::FileDialogRequest request;
  request.initial_name = initial_name_.str();
  request.default_ext = default_ext_.str();
  request.filter = filter_.str();
  request.open_mode = open_ != FALSE;
  request.flags = static_cast<uint32_t>(flags_);
  // The initial name is a folder and a file name or pattern: "D:\Vorlagen\*.DWT".
  const std::string& initial = request.initial_name;
  size_t cut = initial.find_last_of("\\/");
  std::string name_part = initial;
  std::optional<std::string> folder;
  if (cut != std::string::npos) {
    request.folder_text = initial.substr(0, cut);
    // Names in a host folder are joined the host's way.
    request.separator = initial[0] == '/' ? '/' : initial[cut];
    name_part = initial.substr(cut + 1);
    // "\*.DWT": the root of the current drive.
    folder = session->platform().HostPath(cut == 0 ? initial.substr(0, 1) : request.folder_text);
    if (folder) folder = host::ResolveNoCase(*folder);
  }
  std::vector<std::string> patterns = FilterPatterns(request.filter);
  if (patterns.empty())
    patterns.push_back(name_part.find_first_of("*?") != std::string::npos ? name_part : "*");
  if (folder) {
    request.folder = *folder;
    request.files = host::ListMatchingFiles(*folder, patterns);
  }

  std::optional<std::string> choice = session->user().FileDialog(request);
  if (!choice || choice->empty()) return IDCANCEL;
  chosen_ = *choice;
  return IDOK;
}

CString CFileDialog::GetPathName() const { return chosen_; }
