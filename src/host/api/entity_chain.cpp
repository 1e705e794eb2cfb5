#include "host/api/entity_chain.h"

#include "dxf/document.h"
#include "host/api/result_buffers.h"
#include "host/api/text_util.h"
#include "host/api/wildcard.h"

namespace host::api {

EntitySpace SpaceOf(const Drawing& drawing, EntityId id) {
  EntitySpace where;
  const Entity& entity = drawing.entity(id);
  if (entity.container == kNoContainer) {
    where.layout_name = "Model";
    return where;
  }
  const Container& container = drawing.container(entity.container);
  switch (container.kind) {
    case ContainerKind::kModelSpace:
      where.layout_name = "Model";
      break;
    case ContainerKind::kLayout:
      where.space = 1;
      where.layout_name = container.layout_name;
      break;
    case ContainerKind::kBlock:
      where.in_block = true;
      break;
  }
  return where;
}

// A split sizes the list of tags itself; a list kept from the last record
// is not emptied first, so that its places are not cleared before they are
// written.
void ReadEntityRecord(const Drawing& drawing, EntityId id, ParsedRecord* rec) {
  rec->text = drawing.entity(id).text.text();
  drawing.EntityTags(id, &rec->tags);
  ParseRecordItems(rec, RecordKind::kEntity);
}

std::string EntityHandleText(const Drawing& drawing, EntityId id, const ParsedRecord& rec) {
  if (rec.layout.handle != RecordLayout::npos) {
    return std::string(TrimBlanks(rec.items[rec.layout.handle].text));
  }
  if (!drawing.has_handles()) return FormatHandle(uint64_t{id} + 1);
  return std::string();
}

std::string_view DecodeText(const Drawing& drawing, std::string_view raw, std::string* scratch) {
  if (!drawing.encoding().utf8()) return raw;
  bool ascii = true;
  for (char c : raw) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return raw;
  *scratch = drawing.encoding().Decode(raw);
  return *scratch;
}

bool AppRequested(const resbuf* apps, std::string_view app) {
  for (const resbuf* item = apps; item != nullptr; item = item->rbnext) {
    if (KindOfType(item->restype) != ItemKind::kString || item->resval.rstring == nullptr) continue;
    if (WildcardMatch(item->resval.rstring, app)) return true;
  }
  return false;
}

void AddRecordItem(ApiState& state, const RecordItem& item, ChainBuilder* chain) {
  switch (item.kind) {
    case ItemKind::kReal:
      chain->AddReal(item.code, item.real[0]);
      break;
    case ItemKind::kPoint:
      chain->AddPoint(item.code, item.real[0], item.real[1], item.real[2]);
      break;
    case ItemKind::kShort:
      chain->AddShort(item.code, static_cast<short>(item.integer));
      break;
    case ItemKind::kLong:
      chain->AddLong(item.code, static_cast<long>(item.integer));
      break;
    case ItemKind::kName: {
      ads_name name;
      // The item holds the handle's value, read from its text.
      state.HandleName(static_cast<uint64_t>(item.integer), name);
      chain->AddName(item.code, name);
      break;
    }
    case ItemKind::kBinary:
      chain->AddBinaryHex(item.code, TrimBlanks(item.text));
      break;
    case ItemKind::kString:
    case ItemKind::kNone: {
      std::string scratch;
      chain->AddString(item.code, DecodeText(state.drawing(), item.text, &scratch));
      break;
    }
  }
}

namespace {

// 67 and 410 where the chain shows them, just before the layer.
void AddSpaceItems(ApiState& state, const EntitySpace& where, const ParsedRecord& rec,
                   ChainBuilder* chain) {
  if (!where.in_block) {
    chain->AddShort(67, where.space);
    chain->AddString(410, where.layout_name);
    return;
  }
  if (rec.layout.space != RecordLayout::npos) {
    AddRecordItem(state, rec.items[rec.layout.space], chain);
  }
  if (rec.layout.layout != RecordLayout::npos) {
    AddRecordItem(state, rec.items[rec.layout.layout], chain);
  }
}

void AddXdata(ApiState& state, const ParsedRecord& rec, const resbuf* apps, ChainBuilder* chain) {
  bool sentinel = false;
  bool wanted = false;
  std::string scratch;
  for (size_t i = rec.layout.xdata; i < rec.items.size(); ++i) {
    const RecordItem& item = rec.items[i];
    if (item.code == 1001) {
      wanted = AppRequested(apps, DecodeText(state.drawing(), TrimBlanks(item.text), &scratch));
      if (wanted && !sentinel) {
        chain->AddNone(-3);
        sentinel = true;
      }
    }
    if (wanted && item.code >= 0) AddRecordItem(state, item, chain);
  }
}

// An unchanged record views the drawing's file buffer, which stays as it
// is for as long as the drawing lives: the parse views the record itself,
// and the record is the one read while it still views the same bytes. A
// changed record's text goes when it is changed again, so its parse views
// a copy, compared with the record to tell whether it still holds.
struct RecentRead {
  uint64_t drawing_serial = 0;
  EntityId id = kNoEntity;
  bool copied = false;
  std::string copy;
  ParsedRecord rec;
};
thread_local RecentRead t_recent;

}  // namespace

const ParsedRecord* RecentRecord(const Drawing& drawing, EntityId id) {
  if (t_recent.drawing_serial != drawing.serial() || t_recent.id != id) return nullptr;
  const RecordText& now = drawing.entity(id).text;
  if (t_recent.copied) return now.text() == t_recent.copy ? &t_recent.rec : nullptr;
  bool same_bytes = !now.changed() && now.text().data() == t_recent.rec.text.data() &&
                    now.text().size() == t_recent.rec.text.size();
  return same_bytes ? &t_recent.rec : nullptr;
}

resbuf* BuildEntityChain(ApiState& state, EntityId id, const resbuf* apps) {
  const Drawing& drawing = state.drawing();
  const Entity& entity = drawing.entity(id);
  ParsedRecord& rec = t_recent.rec;
  // Passes read an entity more than once in a row (its properties first,
  // then the data to change): an unchanged record is not parsed again.
  if (RecentRecord(drawing, id) == nullptr) {
    t_recent.drawing_serial = drawing.serial();
    t_recent.id = id;
    t_recent.copied = entity.text.changed();
    if (t_recent.copied) {
      t_recent.copy.assign(entity.text.text());
      rec.text = t_recent.copy;
      entity.text.SplitCopy(t_recent.copy, &rec.tags);
    } else {
      rec.text = entity.text.text();
      entity.text.Split(&rec.tags);
    }
    ParseRecordItems(&rec, RecordKind::kEntity);
  }
  if (rec.items.empty()) return nullptr;
  const RecordLayout& layout = rec.layout;
  EntitySpace where = SpaceOf(drawing, id);

  ChainBuilder chain;
  ads_name name;
  state.EntityName(id, name);
  chain.AddName(-1, name);
  chain.AddString(0, TrimBlanks(rec.items[0].text));
  if (entity.parent != kNoEntity) {
    state.EntityName(entity.parent, name);
  } else {
    state.ContainerName(entity.container, name);
  }
  chain.AddName(330, name);
  std::string handle = EntityHandleText(drawing, id, rec);
  if (!handle.empty()) chain.AddString(5, handle);

  size_t anchor = layout.layer;
  if (anchor == RecordLayout::npos) {
    anchor = layout.first_marker != RecordLayout::npos ? layout.first_marker + 1 : 1;
  }
  bool space_added = false;
  for (size_t i = 1; i < layout.xdata; ++i) {
    if (i == anchor) {
      AddSpaceItems(state, where, rec, &chain);
      space_added = true;
    }
    if (LeftOutOfChain(rec, i)) continue;
    AddRecordItem(state, rec.items[i], &chain);
  }
  if (!space_added) AddSpaceItems(state, where, rec, &chain);
  if (entity.parent != kNoEntity && EqualsNoCase(TrimBlanks(rec.items[0].text), "SEQEND")) {
    state.EntityName(entity.parent, name);
    chain.AddName(-2, name);
  }
  if (apps != nullptr) AddXdata(state, rec, apps, &chain);
  return chain.Release();
}

}  // namespace host::api
