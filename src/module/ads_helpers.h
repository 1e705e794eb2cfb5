// Small helpers over the host's entity names and result-buffer items.
#pragma once

#include <cstring>

#include "adslib.h"

inline void CopyName(ads_name to, const ads_name from) {
  to[0] = from[0];
  to[1] = from[1];
}

// The string of an item that carries one; never null, so that a chain item
// whose string the host left null reads as empty.
inline const char* ItemString(const resbuf* item) {
  return item->resval.rstring != nullptr ? item->resval.rstring : "";
}

inline bool IsStringItem(const resbuf* item, short code, const char* text) {
  return item->restype == code && std::strcmp(ItemString(item), text) == 0;
}

inline bool Contains(const char* text, const char* part) {
  return std::strstr(text, part) != nullptr;
}

inline bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Makes item a one-item application list naming "ACAD": handed to
// acdbEntGetX, it brings an entity's chain with that application's extended
// data (where the dimension-style overrides live).
inline void SetAcadAppName(resbuf* item) {
  item->rbnext = nullptr;
  item->restype = RTSTR;
  item->resval.rstring = const_cast<char*>("ACAD");
}
