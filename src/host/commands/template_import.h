// Taking table records from a drawing template (a DXF file): linetypes, text
// styles, dimension styles and layers that the drawing lacks, and the
// add-on's standard properties of the layers AM_0 to AM_12. What the drawing
// has already wins; records are found by name without regard to case.
//
// A copied record gets a new handle and the drawing's table as owner;
// handles it refers to (a dimension style's text style 340 and arrow blocks
// 341-344, a linetype's shape style 340, a layer's plot style 390) are mapped
// to the drawing's records of the same name or dropped, so that no record
// points into the template. Records are cut down to the groups the drawing's
// version knows.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host {
class Session;
}

namespace host::commands {

// The add-on's default template: Mech6.dwt in the bundled templates folder.
std::string DefaultTemplate(Session& session);
// Where a typed path lies on this machine: a Windows path ("C:\Vorlagen\a.dwt")
// through the session's drive map; other paths as typed, or with "\" read
// as "/" when the path as typed does not exist (a folder from the profile
// joined to a file name with a Windows separator).
std::string HostPath(Session& session, const std::string& typed);

// Reads a template; nullptr with error ("FILE:LINE: group code N: ...") when
// it cannot be read.
std::unique_ptr<Drawing> LoadTemplate(const std::string& path, std::string* error);

class TemplateImporter {
 public:
  TemplateImporter(const Drawing& source, Drawing& target);

  // Copies the records of the table that the target lacks; returns how many.
  int CopyMissing(std::string_view table);
  // Makes sure the target has the named record (name in code page 1252),
  // copying it from the source when needed. Returns the name as the
  // target's record writes it (the file's encoding), "" when neither
  // drawing has it.
  std::string Ensure(std::string_view table, std::string_view name);
  // Gives the layers AM_0 .. AM_12 the source's colour, linetype and line
  // weight (a layer switched off stays off); creates the missing ones.
  // Returns the number of layers set; created counts the new ones.
  int ApplyAmLayerStandards(int* created);

 private:
  void Copy(std::string_view table, TableRecordId source_record);
  dxf::Tags Convert(std::string_view table, const dxf::Tags& tags);
  // The target's handle for a record the source refers to, "" if none.
  std::string MapHandle(std::string_view source_handle);
  std::string Recode(const std::string& source_text) const;

  const Drawing& source_;
  Drawing& target_;
  // Source handle (upper case) → table and name (1252) of the record.
  std::unordered_map<std::string, std::pair<std::string, std::string>> source_names_;
  std::string plot_style_;             // the handle the target's layers use for 390
  std::set<std::string> target_apps_;  // registered applications, upper case
  bool recode_ = false;                // the two files encode text differently
};

}  // namespace host::commands
