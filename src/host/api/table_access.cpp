// acdbTblNext and acdbTblSearch over the symbol tables and the block
// definitions. Each table keeps its own place in the session's state.
#include <string>
#include <vector>

#include "host/api/api_state.h"
#include "host/api/layer_records.h"
#include "host/api/table_chain.h"
#include "host/api/text_util.h"

namespace host::api {

namespace {

// The items a table walk goes through: record ids for a symbol table,
// container ids for BLOCK (model space and layouts left out).
bool TableEntries(const Drawing& drawing, const std::string& table, std::vector<uint32_t>* out) {
  out->clear();
  if (table == "BLOCK") {
    for (ContainerId id : drawing.BlockDefinitions()) {
      if (!drawing.container(id).erased) out->push_back(id);
    }
    return true;
  }
  const Table* symbols = drawing.FindTable(table);
  if (symbols == nullptr) return false;
  for (TableRecordId id : symbols->records) {
    if (!drawing.table_record(id).erased) out->push_back(id);
  }
  return true;
}

bool IsLive(const Drawing& drawing, const std::string& table, uint32_t entry) {
  return table == "BLOCK" ? !drawing.container(entry).erased : !drawing.table_record(entry).erased;
}

resbuf* ChainOf(ApiState& state, const std::string& table, uint32_t entry) {
  if (table == "BLOCK") return BuildBlockChain(state, entry, false);
  return BuildTableRecordChain(state, entry);
}

}  // namespace

}  // namespace host::api

using host::api::ApiState;

extern "C" {

resbuf* acdbTblNext(const char* tblname, int rewind) {
  ApiState* state = host::api::CurrentState();
  if (state == nullptr || tblname == nullptr) return nullptr;
  std::string table = host::api::ToUpper1252(tblname);
  host::api::TableCursor& cursor = state->Cursor(table);
  if (rewind != 0 || !cursor.loaded) {
    if (!host::api::TableEntries(state->drawing(), table, &cursor.entries)) return nullptr;
    cursor.loaded = true;
    cursor.next = 0;
  }
  while (cursor.next < cursor.entries.size()) {
    uint32_t entry = cursor.entries[cursor.next++];
    if (host::api::IsLive(state->drawing(), table, entry)) {
      return host::api::ChainOf(*state, table, entry);
    }
  }
  return nullptr;
}

resbuf* acdbTblSearch(const char* tblname, const char* sym, int setnext) {
  ApiState* state = host::api::CurrentState();
  if (state == nullptr || tblname == nullptr || sym == nullptr) return nullptr;
  std::string table = host::api::ToUpper1252(tblname);
  std::vector<uint32_t> entries;
  const host::Drawing& drawing = state->drawing();
  if (!host::api::TableEntries(drawing, table, &entries)) return nullptr;
  uint32_t wanted = table == "BLOCK" ? drawing.FindBlock(sym) : drawing.FindTableRecord(table, sym);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] != wanted) continue;
    if (setnext != 0) {
      host::api::TableCursor& cursor = state->Cursor(table);
      cursor.entries = entries;
      cursor.loaded = true;
      cursor.next = i + 1;
    }
    return host::api::ChainOf(*state, table, entries[i]);
  }
  return nullptr;
}

}  // extern "C"
