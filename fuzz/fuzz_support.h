// What the fuzz targets share: reading a drawing from the fuzzer's bytes,
// and stopping with a message when a property that must hold does not.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "dxf/document.h"
#include "host/database/drawing.h"

namespace fuzz {

// Reads the bytes as a drawing file would be read: split into records, then
// sorted into the database. nullptr when the input is refused, which is a
// fine outcome; the error must still name the input.
inline std::unique_ptr<host::Drawing> LoadBytes(const uint8_t* data, size_t size,
                                                const std::string& name) {
  dxf::RawFile file;
  dxf::Error err;
  std::string buffer(reinterpret_cast<const char*>(data), size);
  if (!dxf::ParseBuffer(std::move(buffer), name, &file, &err)) return nullptr;
  return host::Drawing::Load(std::move(file), &err);
}

// A broken promise of the program: reported and turned into a crash, which
// libFuzzer keeps as a finding.
[[noreturn]] inline void Violated(const char* what, const std::string& detail = "") {
  std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, detail.c_str());
  std::abort();
}

// The first place two texts differ, for messages.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  size_t from = i > 40 ? i - 40 : 0;
  return "at byte " + std::to_string(i) + ":\n--- first\n" + a.substr(from, 80) + "\n--- second\n" +
         b.substr(from, 80);
}

}  // namespace fuzz
