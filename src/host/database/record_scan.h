// Reading single values out of a record's text without splitting it all,
// and splicing a changed value back in; shared by the drawing's parts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dxf/document.h"
#include "host/host_only.h"

namespace host {

// The first value of a code in a record (after its "0" tag), up to the
// extended data (1001), or nullopt.
std::optional<std::string_view> FindValue(std::string_view text, int code);

// The same within an entity's common data only: stops at the subclass
// marker after AcDbEntity, so that a code the entity's own subclass uses
// with another meaning is not taken. Records without an AcDbEntity marker
// (R12, or writers that leave markers out) are searched up to the extended
// data.
std::optional<std::string_view> FindCommonValue(std::string_view text, int code);

// The record's text with one tag's value replaced; the tag is a view into
// text (from a TagCursor or SplitTags over it).
std::string ReplaceValue(std::string_view text, const dxf::TagView& tag, std::string_view value);

// A hex handle's number; nullopt for anything that is not 1 to 16 hex digits
// (some writers put "*" or nothing in objects of add-on classes).
std::optional<uint64_t> ParseHandle(std::string_view text);
std::string FormatHandle(uint64_t handle);

}  // namespace host
