#include "host/api/record_items.h"

#include <numbers>

#include "host/api/text_util.h"

namespace host::api {

namespace {

// ReadScalar's work, inline in the loop over a record's tags.
[[gnu::always_inline]] inline void ReadScalarInline(int code, std::string_view text,
                                                    RecordItem* item) {
  item->code = code;
  item->kind = KindOfType(code);
  item->text = text;
  switch (item->kind) {
    case ItemKind::kReal:
    case ItemKind::kPoint:  // a lone y or z code; read as a real
      item->kind = ItemKind::kReal;
      item->real[0] = ParseReal(text);
      if (IsAngleCode(code)) item->real[0] *= std::numbers::pi / 180.0;
      break;
    case ItemKind::kShort:
      item->integer = static_cast<short>(ParseInteger(text));
      break;
    case ItemKind::kLong:
      item->integer = ParseInteger(text);
      break;
    case ItemKind::kName:
      item->integer = static_cast<long long>(ParseHandle(text));
      break;
    case ItemKind::kNone:
      // A code no chain item carries: keep its text so that it travels back
      // unchanged.
      item->kind = ItemKind::kString;
      break;
    default:
      break;
  }
}

}  // namespace

void ReadScalar(int code, std::string_view text, RecordItem* item) {
  ReadScalarInline(code, text, item);
}

void ParseRecordItems(ParsedRecord* rec, RecordKind kind) {
  // A record has at most as many items as tags: the list is made that long
  // at once and cut to the items read at the end.
  const std::vector<dxf::TagView>& tags = rec->tags;
  rec->items.clear();
  rec->items.resize(tags.size());
  RecordItem* const items = rec->items.data();
  size_t count = 0;
  rec->layout = RecordLayout{};
  RecordLayout& layout = rec->layout;
  bool in_group = false;  // inside a 102 "{..." group
  bool in_xdata = false;
  for (size_t t = 0; t < tags.size();) {
    const dxf::TagView& tag = tags[t];
    const size_t index = count++;
    RecordItem& item = items[index];
    item.first_tag = static_cast<uint32_t>(t);
    if (tag.code == 1001 && !in_xdata) {
      in_xdata = true;
      layout.xdata = index;
    }
    if (IsPointItemCode(tag.code)) {
      item.code = tag.code;
      item.kind = ItemKind::kPoint;
      item.real[0] = ParseReal(tag.value);
      size_t next = t + 1;
      if (next < tags.size() && tags[next].code == tag.code + 10) {
        item.real[1] = ParseReal(tags[next].value);
        ++next;
        if (next < tags.size() && tags[next].code == tag.code + 20) {
          item.real[2] = ParseReal(tags[next].value);
          ++next;
        } else {
          item.flat = true;
        }
      } else {
        item.flat = true;
      }
      item.tag_count = static_cast<uint32_t>(next - t);
      t = next;
    } else {
      ReadScalarInline(tag.code, tag.value, &item);
      ++t;
    }
    if (!in_xdata) {
      switch (item.code) {
        case 102:
          if (!item.text.empty() && item.text[0] == '{') in_group = true;
          if (!item.text.empty() && item.text[0] == '}') in_group = false;
          break;
        case 5:
        case 105:
          // A table record's handle directly follows its 0 tag (in a
          // DIMSTYLE record 5 further on is DIMBLK, a block name); some R12
          // writers put an entity's handle further down.
          if (layout.handle == RecordLayout::npos && !in_group &&
              (index == 1 || (kind == RecordKind::kEntity && item.code == 5))) {
            layout.handle = index;
          }
          break;
        case 330:
          if (!in_group && layout.owner == RecordLayout::npos &&
              layout.first_marker == RecordLayout::npos && layout.layer == RecordLayout::npos) {
            layout.owner = index;
          }
          break;
        case 67:
          if (layout.space == RecordLayout::npos) layout.space = index;
          break;
        case 410:
          if (layout.layout == RecordLayout::npos) layout.layout = index;
          break;
        case 8:
          if (!in_group && layout.layer == RecordLayout::npos) layout.layer = index;
          break;
        case 100:
          if (layout.first_marker == RecordLayout::npos) layout.first_marker = index;
          break;
        default:
          break;
      }
    }
    item.left_out = item.code == 999 || item.code < 0;
  }
  rec->items.resize(count);
  if (!in_xdata) layout.xdata = rec->items.size();
  for (size_t apart : {layout.handle, layout.owner, layout.space, layout.layout}) {
    if (apart != RecordLayout::npos) rec->items[apart].left_out = true;
  }
}

}  // namespace host::api
