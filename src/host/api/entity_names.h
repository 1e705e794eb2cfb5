// Entity names (ads_name) as the host hands them out.
//
//   name[0]  what is named: entity id + 1, container id + 1, a handle's value,
//            or selection-set slot + 1; 0 is "no name".
//   name[1]  kind << 56 | serial. The serial is the API state's (one per
//            session and drawing) for entities, containers and handles, and
//            the set's own for selection sets, so a name from an earlier
//            session or a freed set is recognised as stale and refused.
//
// Names stay valid for the whole session, also after their entity is erased.
#pragma once

#include <cstdint>

#include "host/database/drawing.h"
#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

enum class NameKind : long {
  kNone = 0,
  kEntity = 1,        // an entity of a space or a block definition
  kContainer = 2,     // a space or block definition: the owner of entities
  kHandle = 3,        // another object, by its handle (reactors, dictionaries, styles)
  kSelectionSet = 4,  // a set made by acedSSGet
};

constexpr uint64_t kSerialMask = (uint64_t{1} << 56) - 1;

inline void MakeName(NameKind kind, long value, uint64_t serial, ads_name out) {
  out[0] = value;
  out[1] = static_cast<long>((static_cast<uint64_t>(kind) << 56) | (serial & kSerialMask));
}

inline NameKind KindOfName(const ads_name name) {
  return static_cast<NameKind>(static_cast<uint64_t>(name[1]) >> 56);
}

inline uint64_t SerialOfName(const ads_name name) {
  return static_cast<uint64_t>(name[1]) & kSerialMask;
}

inline bool IsNullName(const ads_name name) {
  return name == nullptr || (name[0] == 0 && name[1] == 0);
}

}  // namespace host::api
