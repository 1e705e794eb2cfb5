#include "host/api/item_kinds.h"

#include <array>

#include "sdk/adslib.h"

namespace host::api {

namespace {

constexpr ItemKind KindOfTypeUncached(int type) {
  // ADS type codes, used by application lists, filters and system variables.
  switch (type) {
    case RTREAL:
    case RTANG:
    case RTORINT:
      return ItemKind::kReal;
    case RTPOINT:
    case RT3DPOINT:
      return ItemKind::kPoint;
    case RTSHORT:
      return ItemKind::kShort;
    case RTLONG:
      return ItemKind::kLong;
    case RTSTR:
    case RTDXF0:
      return ItemKind::kString;
    case RTENAME:
    case RTPICKS:
      return ItemKind::kName;
    default:
      break;
  }
  if (type == -1 || type == -2 || type == -5) return ItemKind::kName;
  if (type == -4) return ItemKind::kString;  // filter operators such as "<AND"
  if (type < 0) return ItemKind::kNone;
  if (IsPointItemCode(type)) return ItemKind::kPoint;
  if (type <= 9) return ItemKind::kString;
  if (type <= 59) return ItemKind::kReal;  // 20-39 stand alone only in odd data
  if (type <= 79) return ItemKind::kShort;
  if (type >= 90 && type <= 99) return ItemKind::kLong;
  if (type >= 100 && type <= 109) return ItemKind::kString;  // 100, 101, 102, 105
  if (type >= 110 && type <= 149) return ItemKind::kReal;
  if (type >= 160 && type <= 169) return ItemKind::kLong;  // 64-bit: long is 64 bits here
  if (type >= 170 && type <= 179) return ItemKind::kShort;
  if (type >= 210 && type <= 239) return ItemKind::kReal;
  if (type >= 270 && type <= 299) return ItemKind::kShort;  // 290-299 booleans as 0/1
  if (type >= 300 && type <= 309) return ItemKind::kString;
  if (type >= 310 && type <= 319) return ItemKind::kBinary;
  if (type >= 320 && type <= 329) return ItemKind::kString;  // handles taken as they are
  if (type >= 330 && type <= 369) return ItemKind::kName;
  if (type >= 370 && type <= 389) return ItemKind::kShort;
  if (type >= 390 && type <= 399) return ItemKind::kName;
  if (type >= 400 && type <= 409) return ItemKind::kShort;
  if (type >= 410 && type <= 419) return ItemKind::kString;
  if (type >= 420 && type <= 429) return ItemKind::kLong;
  if (type >= 430 && type <= 439) return ItemKind::kString;
  if (type >= 440 && type <= 459) return ItemKind::kLong;
  if (type >= 460 && type <= 469) return ItemKind::kReal;
  if (type >= 470 && type <= 479) return ItemKind::kString;
  if (type == 480 || type == 481) return ItemKind::kName;
  if (type == 999) return ItemKind::kString;
  if (type == 1004) return ItemKind::kBinary;
  if (type >= 1000 && type <= 1009) return ItemKind::kString;
  if (type >= 1010 && type <= 1059) return ItemKind::kReal;
  if (type >= 1060 && type <= 1070) return ItemKind::kShort;
  if (type == 1071) return ItemKind::kLong;
  // Codes outside the DXF ranges: whatever a writer put there travels as
  // its text.
  return type <= 1071 ? ItemKind::kString : ItemKind::kNone;
}

constexpr std::array<ItemKind, kLastGroupCode + 1> MakeGroupCodeKinds() {
  std::array<ItemKind, kLastGroupCode + 1> kinds{};
  for (int code = 0; code <= kLastGroupCode; ++code) kinds[code] = KindOfTypeUncached(code);
  return kinds;
}

}  // namespace

constinit const std::array<ItemKind, kLastGroupCode + 1> kGroupCodeKinds = MakeGroupCodeKinds();

ItemKind KindOfOtherType(int type) { return KindOfTypeUncached(type); }

}  // namespace host::api
