#include "host/api/selection_filter.h"

#include <optional>

#include "host/api/entity_chain.h"
#include "host/api/item_kinds.h"
#include "host/api/text_util.h"
#include "host/api/wildcard.h"

namespace host::api {

bool SelectionFilter::Parse(const resbuf* filter) {
  terms_.clear();
  for (const resbuf* item = filter; item != nullptr; item = item->rbnext) {
    FilterTerm term;
    term.code = item->restype == RTDXF0 ? 0 : item->restype;
    if (term.code < 0 || term.code > 999) return false;
    switch (KindOfType(term.code)) {
      case ItemKind::kString:
        term.pattern = WildcardPattern(item->resval.rstring != nullptr ? item->resval.rstring : "");
        break;
      case ItemKind::kShort:
        term.is_string = false;
        term.number = item->resval.rint;
        break;
      case ItemKind::kLong:
        term.is_string = false;
        term.number = item->resval.rlong;
        break;
      default:
        return false;
    }
    terms_.push_back(std::move(term));
  }
  return true;
}

namespace {

long long DefaultNumber(int code) {
  switch (code) {
    case 62:
      return 256;
    case 370:
      return -1;
    default:
      return 0;
  }
}

}  // namespace

bool SelectionFilter::Matches(const Drawing& drawing, EntityId id) const {
  // Asked of every entity of the drawing: each condition reads only what it
  // needs of the record.
  std::optional<EntitySpace> where;
  std::string scratch;
  for (const FilterTerm& term : terms_) {
    if (term.code == 0) {
      if (!term.pattern.Matches(drawing.EntityType(id))) return false;
      continue;
    }
    if (term.code == 67 || term.code == 410) {
      if (!where) where = SpaceOf(drawing, id);
      if (term.code == 67 && (term.is_string || term.number != where->space)) return false;
      if (term.code == 410 && !term.pattern.Matches(where->layout_name)) return false;
      continue;
    }
    // The first tag of the code before the extended data.
    std::optional<std::string_view> found = drawing.entity(id).text.Find(term.code);
    if (term.is_string) {
      std::string_view value;
      if (found) {
        value = DecodeText(drawing, TrimBlanks(*found), &scratch);
      } else if (term.code == 6) {
        value = "BYLAYER";
      } else if (term.code == 8) {
        value = "0";
      }
      if (!term.pattern.Matches(value)) return false;
    } else {
      long long value = found ? ParseInteger(*found) : DefaultNumber(term.code);
      if (value != term.number) return false;
    }
  }
  return true;
}

}  // namespace host::api
