// Drawings written one tag a line as "CODE VALUE" (the value is everything
// after the first blank and may be empty), turned into DXF text and loaded
// into a drawing database.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "dxf/document.h"
#include "host/database/drawing.h"

namespace host::testing {

// "0 SECTION\n2 HEADER\n..." -> "0\nSECTION\n2\nHEADER\n..." with LF line
// ends; codes left-aligned, or right-aligned to three places as CAD
// programs write them. Blank lines and leading blanks are skipped.
inline std::string PairLines(std::string_view pairs, bool right_aligned) {
  std::string out;
  size_t pos = 0;
  while (pos < pairs.size()) {
    size_t end = pairs.find('\n', pos);
    if (end == std::string_view::npos) end = pairs.size();
    std::string_view line = pairs.substr(pos, end - pos);
    pos = end + 1;
    size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    size_t blank = line.find(' ');
    std::string code(line.substr(0, blank));
    if (right_aligned) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "%3d", std::atoi(code.c_str()));
      code = buffer;
    }
    out += code;
    out += '\n';
    if (blank != std::string_view::npos) out.append(line.substr(blank + 1));
    out += '\n';
  }
  return out;
}

// Codes left-aligned.
inline std::string TagLines(std::string_view pairs) { return PairLines(pairs, false); }
// Codes right-aligned.
inline std::string DxfFromPairs(std::string_view pairs) { return PairLines(pairs, true); }

// Parses and loads DXF text; a failure is reported to the running test and
// in *err when given.
inline std::unique_ptr<Drawing> LoadDrawing(const std::string& text, dxf::Error* err = nullptr,
                                            const std::string& name = "in.dxf") {
  dxf::RawFile file;
  dxf::Error local;
  dxf::Error* error = err == nullptr ? &local : err;
  if (!dxf::ParseBuffer(text, name, &file, error)) {
    ADD_FAILURE() << error->ToString();
    return nullptr;
  }
  std::unique_ptr<Drawing> drawing = Drawing::Load(std::move(file), error);
  if (!drawing && err == nullptr) ADD_FAILURE() << error->ToString();
  return drawing;
}

// Reads and loads a DXF file; a failure is reported to the running test.
inline std::unique_ptr<Drawing> LoadDrawingFile(const std::string& path) {
  dxf::RawFile file;
  dxf::Error err;
  if (!dxf::ReadFile(path, &file, &err)) {
    ADD_FAILURE() << err.ToString();
    return nullptr;
  }
  std::unique_ptr<Drawing> drawing = Drawing::Load(std::move(file), &err);
  if (!drawing) ADD_FAILURE() << err.ToString();
  return drawing;
}

inline std::unique_ptr<Drawing> LoadDrawingText(const std::string& dxf_text,
                                                const std::string& name = "input.dxf") {
  return LoadDrawing(dxf_text, nullptr, name);
}

}  // namespace host::testing

namespace host::api {
// Codes left-aligned.
inline std::string DxfText(std::string_view lines) { return testing::TagLines(lines); }
}  // namespace host::api
