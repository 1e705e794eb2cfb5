// acdbEntMod: writes a chain back into its entity's record.
//
// The chain is paired with the record it was read from (item_pairing.h):
// unchanged items keep their original text, changed ones are written
// canonically, and when nothing changed the record is not touched at all -
// the conversion hands back every entity of the drawing, most unchanged.
// Groups -1, 5, 330 (the owner), 67 and 410 are never written from the chain:
// owner and space follow from where the entity lives, and the record keeps
// the tags it had for them, in their places.
#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "host/api/api_state.h"
#include "host/api/entity_chain.h"
#include "host/api/entity_change_hooks.h"
#include "host/api/item_pairing.h"
#include "host/api/item_values.h"
#include "host/api/layer_records.h"
#include "host/api/text_util.h"
#include "host/dimension_regen.h"

namespace host::api {

namespace {

struct XdataBlock {
  std::string app;   // code page 1252
  size_t begin = 0;  // items of the block: chain items or record items
  size_t end = 0;
  size_t pairs_begin = 0;  // its paired items in Scratch::xdata_pairs
  size_t pairs_end = 0;
  bool found = false;  // an incoming block whose application the record has
};

// Buffers reused from call to call: the conversion calls acdbEntMod once for
// every entity of the drawing.
struct Scratch {
  ParsedRecord rec;
  std::vector<const resbuf*> main_items;
  std::vector<const resbuf*> xdata_items;
  std::vector<uint32_t> old_main;
  std::vector<uint32_t> fixed_tags;
  std::vector<PairedItem> pairs;
  std::vector<PairedItem> xdata_pairs;
  std::vector<PairedItem> block_pairs;
  std::vector<uint32_t> old_block_items;
  std::vector<XdataBlock> in_blocks;
  std::vector<XdataBlock> old_blocks;
  std::vector<dxf::TagView> out;  // the new version of the record
  std::deque<dxf::Tag> fresh;     // the tags of it written afresh
};
thread_local Scratch t_scratch;

// Splits the chain into the items to write (main part and extended data).
// Returns false for a chain the host cannot take.
bool SplitChain(const resbuf* chain, Scratch* s, const resbuf** name_item,
                const resbuf** type_item) {
  s->main_items.clear();
  s->xdata_items.clear();
  bool in_group = false, owner_seen = false, handle_seen = false, space_seen = false,
       layout_seen = false, data_seen = false, in_xdata = false;
  for (const resbuf* item = chain; item != nullptr; item = item->rbnext) {
    int code = item->restype;
    if (in_xdata) {
      if (!IsXdataCode(code)) return false;
      if (s->xdata_items.empty() && code != 1001) return false;
      s->xdata_items.push_back(item);
      continue;
    }
    switch (code) {
      case -1:
        if (*name_item == nullptr) *name_item = item;
        continue;
      case -2:  // a SEQEND's main entity
      case -5:  // persistent reactors
        continue;
      case -3:
        in_xdata = true;
        continue;
      case 0:
        if (*type_item != nullptr) return false;
        *type_item = item;
        continue;
      default:
        break;
    }
    if (code < 0 || code > 999) return false;
    if (code == 102) {
      const char* text = ItemText(item);
      if (text[0] == '{') in_group = true;
      if (text[0] == '}') in_group = false;
    }
    if (code == 330 && !owner_seen && !in_group && !data_seen) {
      owner_seen = true;
      continue;
    }
    if (code == 5 && !handle_seen) {
      handle_seen = true;
      continue;
    }
    if (code == 67 && !space_seen) {
      space_seen = true;
      continue;
    }
    if (code == 410 && !layout_seen) {
      layout_seen = true;
      continue;
    }
    if (code == 100 || code == 8) data_seen = true;
    s->main_items.push_back(item);
  }
  return true;
}

// The extended-data blocks of a list of chain items.
bool SplitChainBlocks(const std::vector<const resbuf*>& items, std::vector<XdataBlock>* blocks) {
  blocks->clear();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->restype != 1001) continue;
    if (!blocks->empty()) blocks->back().end = i;
    XdataBlock block;
    block.app = ItemText(items[i]);
    block.begin = i;
    for (const XdataBlock& other : *blocks) {
      if (EqualsNoCase(other.app, block.app)) return false;  // one block per application
    }
    blocks->push_back(block);
  }
  if (!blocks->empty()) blocks->back().end = items.size();
  return true;
}

void SplitRecordBlocks(const Drawing& drawing, const ParsedRecord& rec,
                       std::vector<XdataBlock>* blocks) {
  blocks->clear();
  std::string scratch;
  for (size_t i = rec.layout.xdata; i < rec.items.size(); ++i) {
    if (rec.items[i].code != 1001) continue;
    if (!blocks->empty()) blocks->back().end = i;
    XdataBlock block;
    block.app = std::string(DecodeText(drawing, TrimBlanks(rec.items[i].text), &scratch));
    block.begin = i;
    blocks->push_back(block);
  }
  if (!blocks->empty()) blocks->back().end = rec.items.size();
}

// Whether a point of that code is written without z in this record: as the
// record's other points of the code are.
bool FlatLikeOthers(const ParsedRecord& rec, int code) {
  for (const RecordItem& item : rec.items) {
    if (item.code == code && item.kind == ItemKind::kPoint) return item.flat;
  }
  return false;
}

// Puts the new version of a record together as views: of the record's own
// tags where they are kept, of the tags written afresh (in *fresh, where
// they stay put as more are added) where not.
class RecordWriter {
 public:
  RecordWriter(ApiState& state, const ParsedRecord& rec, std::vector<dxf::TagView>* out,
               std::deque<dxf::Tag>* fresh)
      : state_(state), rec_(rec), out_(out), fresh_(fresh) {}

  void CopyTags(size_t first, size_t count) {
    for (size_t t = first; t < first + count && t < rec_.tags.size(); ++t) {
      out_->push_back(rec_.tags[t]);
    }
  }

  void Emit(const PairedItem& pair, const std::string* layer_text) {
    const RecordItem* old = pair.old >= 0 ? &rec_.items[pair.old] : nullptr;
    if (pair.same) {
      CopyTags(old->first_tag, old->tag_count);
      return;
    }
    const resbuf* in = pair.in;
    switch (in->restype) {
      case 8:
        if (layer_text != nullptr) {
          Write(8, *layer_text);
          return;
        }
        break;
      case 6: {
        // ByLayer is what an entity without 6 has: the host drops the group,
        // as it drops 62 256 and 370 -1.
        std::string_view name = ItemText(in);
        if (EqualsNoCase(name, "BYLAYER")) return;
        if (EqualsNoCase(name, "BYBLOCK")) {
          Write(6, "BYBLOCK");
          return;
        }
        TableRecordId id = FindLiveRecord(state_.drawing(), "LTYPE", name);
        if (id != kNoRecord) {
          Write(6, RecordName(state_.drawing(), id));
          return;
        }
        break;
      }
      case 62:
        if (in->resval.rint == 256) return;
        break;
      case 370:
        if (in->resval.rint == -1) return;
        break;
      default:
        break;
    }
    bool flat = old != nullptr ? old->flat : FlatLikeOthers(rec_, in->restype);
    written_.clear();
    AppendItemTags(state_, in, flat, old, rec_.tags, &written_);
    for (dxf::Tag& tag : written_) Write(tag.code, std::move(tag.value));
  }

 private:
  void Write(int code, std::string value) {
    fresh_->emplace_back(code, std::move(value));
    View(fresh_->back());
  }
  void View(const dxf::Tag& tag) { out_->push_back(dxf::TagView{tag.code, {}, tag.value}); }

  ApiState& state_;
  const ParsedRecord& rec_;
  std::vector<dxf::TagView>* out_;
  std::deque<dxf::Tag>* fresh_;
  dxf::Tags written_;
};

bool IsKnownLinetype(const Drawing& drawing, std::string_view name) {
  if (EqualsNoCase(name, "BYLAYER") || EqualsNoCase(name, "BYBLOCK")) return true;
  return FindLiveRecord(drawing, "LTYPE", name) != kNoRecord;
}

int EntMod(ApiState& state, const resbuf* chain) {
  Drawing& drawing = state.drawing();
  Scratch& s = t_scratch;
  const resbuf* name_item = nullptr;
  const resbuf* type_item = nullptr;
  if (!SplitChain(chain, &s, &name_item, &type_item) || name_item == nullptr) return RTERROR;
  EntityId id = state.EntityOfName(name_item->resval.rlname);
  if (id == kNoEntity || drawing.entity(id).erased) return RTERROR;
  if (EntModRefused(drawing, id)) return RTERROR;

  const ParsedRecord* recent = RecentRecord(drawing, id);
  if (recent == nullptr) ReadEntityRecord(drawing, id, &s.rec);
  const ParsedRecord& rec = recent != nullptr ? *recent : s.rec;
  if (rec.items.empty()) return RTERROR;
  std::string_view type = TrimBlanks(rec.items[0].text);
  if (EqualsNoCase(type, "VIEWPORT")) return RTERROR;
  if (type_item != nullptr && !EqualsNoCase(ItemText(type_item), type)) return RTERROR;

  // The record's items the chain stands for, and the tags it leaves alone.
  const RecordLayout& layout = rec.layout;
  s.old_main.clear();
  s.fixed_tags.clear();
  for (size_t i = 1; i < layout.xdata; ++i) {
    const RecordItem& item = rec.items[i];
    if (LeftOutOfChain(rec, i)) {
      for (uint32_t t = 0; t < item.tag_count; ++t) s.fixed_tags.push_back(item.first_tag + t);
    } else {
      s.old_main.push_back(static_cast<uint32_t>(i));
    }
  }
  bool changed = PairItems(state, s.main_items, rec, s.old_main, &s.pairs);

  // Extended data: each application in the chain replaces that
  // application's block; the others stay as they are.
  if (!SplitChainBlocks(s.xdata_items, &s.in_blocks)) return RTERROR;
  SplitRecordBlocks(drawing, rec, &s.old_blocks);
  s.xdata_pairs.clear();
  for (XdataBlock& block : s.in_blocks) {
    std::vector<const resbuf*> items(s.xdata_items.begin() + block.begin,
                                     s.xdata_items.begin() + block.end);
    s.old_block_items.clear();
    for (const XdataBlock& old : s.old_blocks) {
      if (!EqualsNoCase(old.app, block.app)) continue;
      block.found = true;
      for (size_t i = old.begin; i < old.end; ++i) {
        s.old_block_items.push_back(static_cast<uint32_t>(i));
      }
    }
    if (!block.found) {
      const Table* appids = drawing.FindTable("APPID");
      if (appids != nullptr && FindLiveRecord(drawing, "APPID", block.app) == kNoRecord) {
        return RTERROR;  // extended data needs its application registered
      }
    }
    if (PairItems(state, items, rec, s.old_block_items, &s.block_pairs)) changed = true;
    block.pairs_begin = s.xdata_pairs.size();
    s.xdata_pairs.insert(s.xdata_pairs.end(), s.block_pairs.begin(), s.block_pairs.end());
    block.pairs_end = s.xdata_pairs.size();
  }
  if (!changed) return RTNORM;

  // Refusals, before anything is changed.
  const PairedItem* layer = nullptr;
  for (const PairedItem& pair : s.pairs) {
    if (pair.same) {
      if (pair.in->restype == 8 && layer == nullptr) layer = &pair;
      continue;
    }
    if (pair.in->restype == 8) {
      if (!IsValidSymbolName(ItemText(pair.in))) return RTERROR;
      if (layer == nullptr) layer = &pair;
    }
    if (pair.in->restype == 6 && !IsKnownLinetype(drawing, ItemText(pair.in))) return RTERROR;
  }

  // The layer: an unknown name makes a new layer; a known one is written as
  // the layer table spells it.
  std::string layer_text;  // as written in the file
  if (layer != nullptr) {
    std::string scratch;
    std::string name =
        layer->same
            ? std::string(DecodeText(drawing, TrimBlanks(rec.items[layer->old].text), &scratch))
            : std::string(ItemText(layer->in));
    layer_text = layer->same ? std::string(TrimBlanks(rec.items[layer->old].text))
                             : drawing.encoding().Encode(name);
    TableRecordId record = FindLiveRecord(drawing, "LAYER", name);
    if (record == kNoRecord) {
      CreateLayer(drawing, layer_text, 7, ContinuousLinetype(drawing));
    } else if (!layer->same) {
      std::string spelled = RecordName(drawing, record);
      if (!spelled.empty()) layer_text = spelled;
    }
  }

  s.out.clear();
  s.fresh.clear();
  RecordWriter writer(state, rec, &s.out, &s.fresh);
  writer.CopyTags(0, 1);
  size_t next_fixed = 0;
  for (const PairedItem& pair : s.pairs) {
    if (pair.old >= 0) {
      uint32_t first = rec.items[pair.old].first_tag;
      while (next_fixed < s.fixed_tags.size() && s.fixed_tags[next_fixed] < first) {
        writer.CopyTags(s.fixed_tags[next_fixed++], 1);
      }
    }
    writer.Emit(pair, &pair == layer ? &layer_text : nullptr);
  }
  while (next_fixed < s.fixed_tags.size()) writer.CopyTags(s.fixed_tags[next_fixed++], 1);

  for (const XdataBlock& old : s.old_blocks) {
    const XdataBlock* replacement = nullptr;
    for (const XdataBlock& block : s.in_blocks) {
      if (EqualsNoCase(old.app, block.app)) replacement = &block;
    }
    if (replacement == nullptr) {
      size_t first = rec.items[old.begin].first_tag;
      size_t end = old.end < rec.items.size() ? rec.items[old.end].first_tag : rec.tags.size();
      writer.CopyTags(first, end - first);
      continue;
    }
    for (size_t p = replacement->pairs_begin; p < replacement->pairs_end; ++p) {
      writer.Emit(s.xdata_pairs[p], nullptr);
    }
  }
  for (const XdataBlock& block : s.in_blocks) {
    if (block.found) continue;
    for (size_t p = block.pairs_begin; p < block.pairs_end; ++p) {
      writer.Emit(s.xdata_pairs[p], nullptr);
    }
  }
  bool dimension = IsDimensionType(type);
  // rec still reads as the record does (nothing above changes the entity).
  drawing.SetEntityTags(id, s.out, rec.text, rec.tags);
  if (dimension) MarkForRegeneration(drawing, id);
  return RTNORM;
}

}  // namespace
}  // namespace host::api

extern "C" int acdbEntMod(const resbuf* ent) {
  host::api::CountEntModCall();
  host::api::ApiState* state = host::api::CurrentState();
  if (state == nullptr || ent == nullptr) return RTERROR;
  return host::api::EntMod(*state, ent);
}
