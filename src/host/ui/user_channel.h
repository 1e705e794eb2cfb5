// Everything that asks or tells the user goes through one interface: the
// command line's output, message boxes, dialogs, the file dialog and entity
// picks. The console serves a person at a terminal; the answers channel
// serves batch runs and tests with answers given up front.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/host_only.h"

namespace host {

// A dialog as the user sees it, built by the dialog runtime from the
// resource and the live controls.
struct DialogControlView {
  enum class Kind { kButton, kDefaultButton, kStatic, kComboBox } kind;
  int id = -1;
  std::string text;                         // label, button text, or combo box edit text
  std::vector<std::string> items;           // combo box list
  int selection = -1;                       // combo box: the selected list entry, -1 for none
  int x = 0, y = 0, width = 0, height = 0;  // dialog units, as in the resource
};
struct DialogView {
  int resource_id = 0;
  std::string caption;
  std::vector<DialogControlView> controls;  // in template order
  int focus_id = 0;                         // the control with the focus, 0 for none
  int default_button =
      1;  // the button Enter presses (the focused push button, else the default one)
};
// What the user did with a dialog: set texts of combo boxes (by id), then
// press a button (IDOK, IDCANCEL) or Escape (IDCANCEL).
struct DialogAction {
  std::vector<std::pair<int, std::string>> texts;
  int button = 1;
};

struct FileDialogRequest {
  std::string initial_name;  // e.g. "C:\\Vorlagen\\*.DWT"
  std::string default_ext;
  std::string filter;              // "Vorlage waehlen:  (*.DWT) | *.DWT||"
  bool open_mode = true;           // an open dialog, not a save-as dialog
  uint32_t flags = 0;              // the OFN_ flags the program passed
  std::string folder;              // the host folder the initial name points to, "" if none
  std::vector<std::string> files;  // names of the folder's files matching the filter, sorted
  // The folder as the program wrote it (e.g. "C:\\Vorlagen") and the
  // separator that ends it; a chosen entry's full path is PathOf(name).
  std::string folder_text;
  char separator = '\\';
  std::string PathOf(const std::string& name) const { return folder_text + separator + name; }
};

// A dimension the reference pick may choose, described for the user.
struct PickCandidate {
  std::string handle;
  std::string layout;
  std::string description;  // type, position, measured value, DIMLFAC override
  std::optional<double> dimlfac;
};

class UserChannel {
 public:
  virtual ~UserChannel() = default;
  // Command-line output, in code page 1252.
  virtual void Print(const std::string& text) = 0;
  // A message box with an OK button; returns IDOK.
  virtual int MessageBox(const std::string& text, const std::string& caption) = 0;
  virtual DialogAction RunDialog(const DialogView& dialog) = 0;
  // The chosen path, or nullopt for cancel.
  virtual std::optional<std::string> FileDialog(const FileDialogRequest& request) = 0;
  // The handle of the chosen entity, or nullopt for cancel.
  virtual std::optional<std::string> PickEntity(const std::string& prompt,
                                                const std::vector<PickCandidate>& candidates) = 0;
  // Whether the pick's candidates are shown, layout and description too. A
  // channel that picks by itself reads only their handles and factors, and
  // a drawing may offer a hundred thousand of them.
  virtual bool ShowsPickCandidates() const { return true; }
};

}  // namespace host
