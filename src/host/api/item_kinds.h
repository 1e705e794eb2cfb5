// How a result-buffer item carries its value. The type of an item is a DXF
// group code (entity chains, filters) or an ADS type code (RTSTR, RTSHORT,
// ...), and the union member it uses follows from that type alone, so the
// chain builders, acdbEntMod and acutRelRb all read items through this table.
#pragma once

#include <array>
#include <cstdint>

#include "host/host_only.h"

namespace host::api {

enum class ItemKind : uint8_t {
  kNone,    // no value: the -3 extended-data sentinel, list markers
  kReal,    // rreal
  kPoint,   // rpoint: x, y, z
  kShort,   // rint
  kLong,    // rlong
  kString,  // rstring, malloc'ed
  kName,    // rlname: an entity name or an object reference
  kBinary,  // rbinary, its buffer malloc'ed
};

// Every chain item of every record asks for its kind, as it is made and as
// it is released: the group codes are looked up in a table, inline.
inline constexpr int kLastGroupCode = 1071;
extern const std::array<ItemKind, kLastGroupCode + 1> kGroupCodeKinds;
ItemKind KindOfOtherType(int type);  // ADS type codes and negative codes

inline ItemKind KindOfType(int type) {
  if (type >= 0 && type <= kLastGroupCode) return kGroupCodeKinds[type];
  return KindOfOtherType(type);
}

// The x code of a point: 10-18, 110-112, 210 (extrusion), 1010-1013. Its y
// and z stand under code+10 and code+20 in a file.
constexpr bool IsPointItemCode(int code) {
  return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 ||
         (code >= 1010 && code <= 1013);
}

// Angles 50-58 are degrees in files and radians in chains.
inline bool IsAngleCode(int code) { return code >= 50 && code <= 58; }

// Codes of the extended data (1000-1071).
inline bool IsXdataCode(int code) { return code >= 1000 && code <= 1071; }

}  // namespace host::api
