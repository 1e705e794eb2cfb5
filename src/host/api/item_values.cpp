#include "host/api/item_values.h"

#include <cstring>
#include <numbers>

#include "host/api/entity_chain.h"
#include "host/api/text_util.h"

namespace host::api {

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool SameBinary(const ads_binary& in, std::string_view hex) {
  hex = TrimBlanks(hex);
  size_t bytes = 0;
  while (bytes * 2 + 1 < hex.size() && HexDigit(hex[bytes * 2]) >= 0 &&
         HexDigit(hex[bytes * 2 + 1]) >= 0) {
    ++bytes;
  }
  if (in.clen < 0 || static_cast<size_t>(in.clen) != bytes) return false;
  for (size_t i = 0; i < bytes; ++i) {
    int byte = HexDigit(hex[i * 2]) * 16 + HexDigit(hex[i * 2 + 1]);
    if (static_cast<unsigned char>(in.buf[i]) != byte) return false;
  }
  return true;
}

std::string HexOf(const ads_binary& in) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  if (in.buf == nullptr || in.clen <= 0) return hex;
  hex.reserve(static_cast<size_t>(in.clen) * 2);
  for (short i = 0; i < in.clen; ++i) {
    unsigned char byte = static_cast<unsigned char>(in.buf[i]);
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 15]);
  }
  return hex;
}

}  // namespace

bool SameValue(ApiState& state, const resbuf* in, const RecordItem& old) {
  switch (old.kind) {
    case ItemKind::kReal:
      return SameBits(in->resval.rreal, old.real[0]);
    case ItemKind::kPoint:
      return SameBits(in->resval.rpoint[0], old.real[0]) &&
             SameBits(in->resval.rpoint[1], old.real[1]) &&
             SameBits(in->resval.rpoint[2], old.real[2]);
    case ItemKind::kShort:
      return in->resval.rint == static_cast<short>(old.integer);
    case ItemKind::kLong:
      return in->resval.rlong == old.integer;
    case ItemKind::kName:
      return KindOfName(in->resval.rlname) == NameKind::kHandle &&
             in->resval.rlname[0] == static_cast<long>(old.integer);
    case ItemKind::kBinary:
      return SameBinary(in->resval.rbinary, old.text);
    case ItemKind::kString:
    case ItemKind::kNone: {
      std::string scratch;
      return DecodeText(state.drawing(), old.text, &scratch) == ItemText(in);
    }
  }
  return false;
}

std::string HandleTextOfName(ApiState& state, const long name[2]) {
  Drawing& drawing = state.drawing();
  switch (KindOfName(name)) {
    case NameKind::kHandle:
      return FormatHandle(static_cast<uint64_t>(name[0]));
    case NameKind::kEntity: {
      EntityId id = state.EntityOfName(name);
      if (id == kNoEntity) break;
      std::string_view handle = TrimBlanks(drawing.EntityHandle(id));
      if (!handle.empty()) return std::string(handle);
      break;
    }
    case NameKind::kContainer: {
      ContainerId id = state.ContainerOfName(name);
      if (id != kNoContainer && !drawing.container(id).block_record_handle.empty()) {
        return drawing.container(id).block_record_handle;
      }
      break;
    }
    default:
      break;
  }
  return "0";
}

void AppendItemTags(ApiState& state, const resbuf* in, bool flat, const RecordItem* old,
                    const std::vector<dxf::TagView>& old_tags, dxf::Tags* out) {
  int code = in->restype;
  switch (KindOfType(code)) {
    case ItemKind::kReal: {
      double value = in->resval.rreal;
      if (IsAngleCode(code)) value *= 180.0 / std::numbers::pi;
      out->emplace_back(code, dxf::FormatDouble(value));
      break;
    }
    case ItemKind::kPoint: {
      int count = flat ? 2 : 3;
      for (int k = 0; k < count; ++k) {
        double value = in->resval.rpoint[k];
        // A coordinate that kept its value keeps its text too.
        if (old != nullptr && static_cast<uint32_t>(k) < old->tag_count &&
            SameBits(value, old->real[k])) {
          out->emplace_back(code + 10 * k, std::string(old_tags[old->first_tag + k].value));
        } else {
          out->emplace_back(code + 10 * k, dxf::FormatDouble(value));
        }
      }
      break;
    }
    case ItemKind::kShort:
      out->emplace_back(code, dxf::FormatInt(in->resval.rint));
      break;
    case ItemKind::kLong:
      out->emplace_back(code, dxf::FormatInt(in->resval.rlong));
      break;
    case ItemKind::kName:
      out->emplace_back(code, HandleTextOfName(state, in->resval.rlname));
      break;
    case ItemKind::kBinary:
      out->emplace_back(code, HexOf(in->resval.rbinary));
      break;
    case ItemKind::kString:
    case ItemKind::kNone:
      out->emplace_back(code, state.drawing().encoding().Encode(ItemText(in)));
      break;
  }
}

}  // namespace host::api
