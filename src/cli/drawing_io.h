// Reading a drawing file into the host's database and writing it back.
#pragma once

#include <memory>
#include <string>

#include "host/database/drawing.h"

namespace cli {

// Reads and loads a DXF file. On failure err holds the one-line message
// "FILE:LINE: group code N: ..." (or "FILE: <system error>").
std::unique_ptr<host::Drawing> LoadDrawing(const std::string& path, std::string* err);

// Writes the drawing through a temporary file that replaces path only when
// everything was written; on failure path is untouched and err says why.
// A mark (see OutputMark) is kept with the file.
bool SaveDrawing(const host::Drawing& drawing, const std::string& path, std::string* err,
                 const std::string& mark = "");

}  // namespace cli
