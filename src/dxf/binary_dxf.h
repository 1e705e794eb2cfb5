// Binary DXF: recognised by its sentinel and turned into the equivalent ASCII
// DXF text, which the reader then splits like any other file.
#pragma once

#include <string>
#include <string_view>

#include "dxf/document.h"

namespace dxf {

// The fixed first 22 bytes of every binary DXF file.
inline constexpr std::string_view kBinarySentinel("AutoCAD Binary DXF\r\n\x1a\0", 22);

bool IsBinaryDxf(std::string_view data);

// Converts binary DXF into ASCII DXF text: group codes right-aligned in three
// columns, CRLF line endings, reals in their shortest round-trip form,
// binary chunks as upper-case hex. Line breaks inside a text value, which
// ASCII DXF cannot carry, become the DXF escapes ^J and ^M. Bytes after the
// EOF tag are dropped. On bad data fills err (naming the byte offset) and
// returns false.
bool ConvertBinaryDxf(std::string_view data, const std::string& name, std::string* ascii,
                      Error* err);

}  // namespace dxf
