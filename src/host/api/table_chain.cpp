#include "host/api/table_chain.h"

#include "host/api/entity_chain.h"
#include "host/api/record_items.h"
#include "host/api/result_buffers.h"
#include "host/api/text_util.h"

namespace host::api {

namespace {

// The first item of that code before the extended data, or null.
const RecordItem* FirstOfCode(const ParsedRecord& rec, int code) {
  for (size_t i = 1; i < rec.layout.xdata; ++i) {
    if (rec.items[i].code == code) return &rec.items[i];
  }
  return nullptr;
}

}  // namespace

resbuf* BuildTableRecordChain(ApiState& state, TableRecordId id) {
  ParsedRecord rec;
  state.drawing().TableRecordTags(id, &rec.tags);
  ParseRecordItems(&rec, RecordKind::kTableRecord);
  if (rec.items.empty()) return nullptr;
  ChainBuilder chain;
  chain.AddString(0, TrimBlanks(rec.items[0].text));
  const RecordItem* name = FirstOfCode(rec, 2);
  const RecordItem* flags = FirstOfCode(rec, 70);
  if (name != nullptr) AddRecordItem(state, *name, &chain);
  if (flags != nullptr) AddRecordItem(state, *flags, &chain);
  bool in_group = false;
  for (size_t i = 1; i < rec.layout.xdata; ++i) {
    const RecordItem& item = rec.items[i];
    if (item.code == 102) {
      in_group = !item.text.empty() && item.text[0] == '{';
      continue;
    }
    if (in_group || &item == name || &item == flags || i == rec.layout.handle || item.code == 330 ||
        item.code == 360 || item.code == 100 || item.code == 999) {
      continue;
    }
    AddRecordItem(state, item, &chain);
  }
  return chain.Release();
}

resbuf* BuildBlockChain(ApiState& state, ContainerId id, bool with_name) {
  const Drawing& drawing = state.drawing();
  const Container& block = drawing.container(id);
  ParsedRecord rec;
  drawing.BlockTags(id, &rec.tags);
  ParseRecordItems(&rec, RecordKind::kTableRecord);

  ChainBuilder chain;
  ads_name name;
  if (with_name) {
    state.ContainerName(id, name);
    chain.AddName(-1, name);
  }
  chain.AddString(0, "BLOCK");
  const RecordItem* block_name = FirstOfCode(rec, 2);
  if (block_name != nullptr) {
    AddRecordItem(state, *block_name, &chain);
  } else {
    chain.AddString(2, block.block_name);
  }
  const RecordItem* flags = FirstOfCode(rec, 70);
  chain.AddShort(70, flags != nullptr ? static_cast<short>(flags->integer) : 0);
  const RecordItem* base = FirstOfCode(rec, 10);
  if (base != nullptr && base->kind == ItemKind::kPoint) {
    chain.AddPoint(10, base->real[0], base->real[1], base->real[2]);
  } else {
    chain.AddPoint(10, 0, 0, 0);
  }
  if (block.kind == ContainerKind::kBlock) {
    for (EntityId entity : block.entities) {
      if (entity == block.endblk) break;
      if (drawing.entity(entity).erased) continue;
      state.EntityName(entity, name);
      chain.AddName(-2, name);
      break;
    }
  }
  return chain.Release();
}

}  // namespace host::api
