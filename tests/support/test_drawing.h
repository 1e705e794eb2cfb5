// Builds small R2000 drawings as DXF text for the module's tests: the
// tables, block definitions, model space, the layout "Layout1" and the
// objects a host needs to open them. Entities get handles and owners on the
// way; each adder returns the entity's handle.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace dravolin_test {

using Items = std::vector<std::pair<int, std::string>>;

enum class Space { kModel, kLayout };

class TestDrawing {
 public:
  TestDrawing& Layer(const std::string& name, int color = 7,
                     const std::string& linetype = "Continuous") {
    layers_.push_back({name, color, linetype});
    return *this;
  }
  TestDrawing& Linetype(const std::string& name) {
    linetypes_.push_back(name);
    return *this;
  }
  TestDrawing& DimStyle(const std::string& name, int clrd = 0, int clre = 0, int clrt = 0) {
    dimstyles_.push_back({name, clrd, clre, clrt});
    return *this;
  }
  // A block definition; each entity's items begin with {0, type}.
  std::vector<std::string> Block(const std::string& name, const std::vector<Items>& entities) {
    BlockDef block{name, NewHandle(), {}};
    std::vector<std::string> handles;
    for (const Items& items : entities) {
      block.entities.push_back(WithHandle(items, block.record_handle, false));
      handles.push_back(last_handle_);
    }
    blocks_.push_back(std::move(block));
    return handles;
  }
  // The layout's name ("Layout1" unless given).
  TestDrawing& LayoutName(const std::string& name) {
    layout_name_ = name;
    return *this;
  }
  // An entity of model space or of the layout, in ENTITIES order.
  std::string Entity(const Items& items, Space space = Space::kLayout) {
    bool paper = space == Space::kLayout;
    entities_.push_back(WithHandle(items, paper ? kPaperRecord : kModelRecord, paper));
    return last_handle_;
  }
  std::string Model(const Items& items) { return Entity(items, Space::kModel); }
  std::string Paper(const Items& items) { return Entity(items, Space::kLayout); }

  std::string Text() const {
    std::string out;
    auto tag = [&out](int code, const std::string& value) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%3d\n", code);
      out += buf;
      out += value;
      out += "\n";
    };
    auto tags = [&tag](const Items& items) {
      for (const auto& [code, value] : items) tag(code, value);
    };
    // Above every handle in use, the block records' BLOCK/ENDBLK included.
    size_t highest = std::max(next_handle_, 0x2000 + 2 * blocks_.size());
    std::string seed = Hex(highest + 1);
    tags({{0, "SECTION"},
          {2, "HEADER"},
          {9, "$ACADVER"},
          {1, "AC1015"},
          {9, "$HANDSEED"},
          {5, seed},
          {9, "$TILEMODE"},
          {70, "0"},
          {0, "ENDSEC"}});
    tags({{0, "SECTION"}, {2, "TABLES"}});
    Table(tags, "VPORT", "8", 1);
    tags({{0, "VPORT"},
          {5, "29"},
          {330, "8"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbViewportTableRecord"},
          {2, "*Active"},
          {70, "0"},
          {10, "0.0"},
          {20, "0.0"},
          {11, "1.0"},
          {21, "1.0"},
          {12, "0.0"},
          {22, "0.0"},
          {40, "10.0"},
          {41, "1.5"}});
    tags({{0, "ENDTAB"}});
    Table(tags, "LTYPE", "5", 3 + linetypes_.size());
    Ltype(tags, "14", "ByBlock");
    Ltype(tags, "15", "ByLayer");
    Ltype(tags, "16", "Continuous");
    for (size_t i = 0; i < linetypes_.size(); ++i) Ltype(tags, Hex(0x40 + i), linetypes_[i]);
    tags({{0, "ENDTAB"}});
    Table(tags, "LAYER", "2", 1 + layers_.size());
    LayerRecord(tags, "10", {"0", 7, "Continuous"});
    for (size_t i = 0; i < layers_.size(); ++i) LayerRecord(tags, Hex(0x60 + i), layers_[i]);
    tags({{0, "ENDTAB"}});
    Table(tags, "STYLE", "3", 1);
    tags({{0, "STYLE"},
          {5, "11"},
          {330, "3"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbTextStyleTableRecord"},
          {2, "Standard"},
          {70, "0"},
          {40, "0.0"},
          {41, "1.0"},
          {50, "0.0"},
          {71, "0"},
          {42, "2.5"},
          {3, "txt"},
          {4, ""}});
    tags({{0, "ENDTAB"}});
    Table(tags, "VIEW", "6", 0);
    tags({{0, "ENDTAB"}});
    Table(tags, "UCS", "7", 0);
    tags({{0, "ENDTAB"}});
    Table(tags, "APPID", "9", 1);
    tags({{0, "APPID"},
          {5, "12"},
          {330, "9"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbRegAppTableRecord"},
          {2, "ACAD"},
          {70, "0"}});
    tags({{0, "ENDTAB"}});
    tags({{0, "TABLE"},
          {2, "DIMSTYLE"},
          {5, "A"},
          {330, "0"},
          {100, "AcDbSymbolTable"},
          {70, std::to_string(1 + dimstyles_.size())},
          {100, "AcDbDimStyleTable"}});
    DimStyleRecord(tags, "27", {"Standard", 0, 0, 0});
    for (size_t i = 0; i < dimstyles_.size(); ++i)
      DimStyleRecord(tags, Hex(0x80 + i), dimstyles_[i]);
    tags({{0, "ENDTAB"}});
    Table(tags, "BLOCK_RECORD", "1", 2 + blocks_.size());
    BlockRecord(tags, kModelRecord, "*Model_Space", "22");
    BlockRecord(tags, kPaperRecord, "*Paper_Space", "1E");
    for (const BlockDef& block : blocks_) BlockRecord(tags, block.record_handle, block.name, "0");
    tags({{0, "ENDTAB"}, {0, "ENDSEC"}});

    tags({{0, "SECTION"}, {2, "BLOCKS"}});
    BlockBegin(tags, "20", kModelRecord, "*Model_Space", false);
    tags({{0, "ENDBLK"},
          {5, "21"},
          {330, kModelRecord},
          {100, "AcDbEntity"},
          {8, "0"},
          {100, "AcDbBlockEnd"}});
    BlockBegin(tags, "1C", kPaperRecord, "*Paper_Space", true);
    tags({{0, "ENDBLK"},
          {5, "1D"},
          {330, kPaperRecord},
          {100, "AcDbEntity"},
          {67, "1"},
          {8, "0"},
          {100, "AcDbBlockEnd"}});
    for (const BlockDef& block : blocks_) {
      BlockBegin(tags, Hex(0x2000 + (&block - blocks_.data()) * 2), block.record_handle, block.name,
                 false);
      for (const Items& entity : block.entities) tags(entity);
      tags({{0, "ENDBLK"},
            {5, Hex(0x2001 + (&block - blocks_.data()) * 2)},
            {330, block.record_handle},
            {100, "AcDbEntity"},
            {8, "0"},
            {100, "AcDbBlockEnd"}});
    }
    tags({{0, "ENDSEC"}});

    tags({{0, "SECTION"}, {2, "ENTITIES"}});
    for (const Items& entity : entities_) tags(entity);
    tags({{0, "ENDSEC"}});

    tags({{0, "SECTION"}, {2, "OBJECTS"}});
    tags({{0, "DICTIONARY"},
          {5, "C"},
          {330, "0"},
          {100, "AcDbDictionary"},
          {281, "1"},
          {3, "ACAD_LAYOUT"},
          {350, "1A"}});
    tags({{0, "DICTIONARY"},
          {5, "1A"},
          {330, "C"},
          {100, "AcDbDictionary"},
          {281, "1"},
          {3, layout_name_},
          {350, "1E"},
          {3, "Model"},
          {350, "22"}});
    Layout(tags, "1E", layout_name_, kPaperRecord, "1");
    Layout(tags, "22", "Model", kModelRecord, "0");
    tags({{0, "ENDSEC"}, {0, "EOF"}});
    return out;
  }

 private:
  struct LayerDef {
    std::string name;
    int color;
    std::string linetype;
  };
  struct DimStyleDef {
    std::string name;
    int clrd, clre, clrt;
  };
  struct BlockDef {
    std::string name;
    std::string record_handle;
    std::vector<Items> entities;
  };
  static constexpr const char* kModelRecord = "1F";
  static constexpr const char* kPaperRecord = "1B";

  static std::string Hex(size_t value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%zX", value);
    return buf;
  }
  std::string NewHandle() { return Hex(next_handle_++); }

  Items WithHandle(const Items& items, const std::string& owner, bool paper) {
    last_handle_ = NewHandle();
    Items out = {items.front(), {5, last_handle_}, {330, owner}, {100, "AcDbEntity"}};
    if (paper) out.push_back({67, "1"});
    out.insert(out.end(), items.begin() + 1, items.end());
    return out;
  }

  template <typename Tags>
  static void Table(Tags& tags, const std::string& name, const std::string& handle, size_t count) {
    tags({{0, "TABLE"},
          {2, name},
          {5, handle},
          {330, "0"},
          {100, "AcDbSymbolTable"},
          {70, std::to_string(count)}});
  }
  template <typename Tags>
  static void Ltype(Tags& tags, const std::string& handle, const std::string& name) {
    tags({{0, "LTYPE"},
          {5, handle},
          {330, "5"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbLinetypeTableRecord"},
          {2, name},
          {70, "0"},
          {3, ""},
          {72, "65"},
          {73, "0"},
          {40, "0.0"}});
  }
  template <typename Tags>
  static void LayerRecord(Tags& tags, const std::string& handle, const LayerDef& layer) {
    tags({{0, "LAYER"},
          {5, handle},
          {330, "2"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbLayerTableRecord"},
          {2, layer.name},
          {70, "0"},
          {62, std::to_string(layer.color)},
          {6, layer.linetype},
          {370, "-3"}});
  }
  template <typename Tags>
  static void DimStyleRecord(Tags& tags, const std::string& handle, const DimStyleDef& style) {
    tags({{0, "DIMSTYLE"},
          {105, handle},
          {330, "A"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbDimStyleTableRecord"},
          {2, style.name},
          {70, "0"},
          {176, std::to_string(style.clrd)},
          {177, std::to_string(style.clre)},
          {178, std::to_string(style.clrt)}});
  }
  template <typename Tags>
  static void BlockRecord(Tags& tags, const std::string& handle, const std::string& name,
                          const std::string& layout) {
    tags({{0, "BLOCK_RECORD"},
          {5, handle},
          {330, "1"},
          {100, "AcDbSymbolTableRecord"},
          {100, "AcDbBlockTableRecord"},
          {2, name},
          {340, layout}});
  }
  template <typename Tags>
  static void BlockBegin(Tags& tags, const std::string& handle, const std::string& owner,
                         const std::string& name, bool paper) {
    Items items = {{0, "BLOCK"}, {5, handle}, {330, owner}, {100, "AcDbEntity"}};
    if (paper) items.push_back({67, "1"});
    Items rest = {{8, "0"},    {100, "AcDbBlockBegin"},
                  {2, name},   {70, "0"},
                  {10, "0.0"}, {20, "0.0"},
                  {30, "0.0"}, {3, name},
                  {1, ""}};
    items.insert(items.end(), rest.begin(), rest.end());
    tags(items);
  }
  template <typename Tags>
  static void Layout(Tags& tags, const std::string& handle, const std::string& name,
                     const std::string& record, const std::string& order) {
    tags({{0, "LAYOUT"},
          {5, handle},
          {330, "1A"},
          {100, "AcDbPlotSettings"},
          {1, ""},
          {70, "688"},
          {100, "AcDbLayout"},
          {1, name},
          {70, "1"},
          {71, order},
          {330, record}});
  }

  std::vector<LayerDef> layers_;
  std::vector<std::string> linetypes_;
  std::vector<DimStyleDef> dimstyles_;
  std::vector<BlockDef> blocks_;
  std::vector<Items> entities_;
  size_t next_handle_ = 0x100;
  std::string layout_name_ = "Layout1";
  std::string last_handle_;
};

// Entities as the tests need them.
inline Items Line(const std::string& layer, Items extra = {}) {
  Items items = {{0, "LINE"}, {8, layer}};
  items.insert(items.end(), extra.begin(), extra.end());
  Items geometry = {{100, "AcDbLine"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
                    {11, "10.0"},      {21, "0.0"}, {31, "0.0"}};
  items.insert(items.end(), geometry.begin(), geometry.end());
  return items;
}

// A dimension with an "ACAD" DSTYLE override list: the given pairs between
// "{" and "}". No pairs at all: no extended data.
inline Items Dimension(const std::string& layer, const Items& override_pairs,
                       const std::string& text = "<>") {
  Items items = {{0, "DIMENSION"},
                 {8, layer},
                 {100, "AcDbDimension"},
                 {10, "0.0"},
                 {20, "0.0"},
                 {30, "0.0"},
                 {11, "5.0"},
                 {21, "1.0"},
                 {31, "0.0"},
                 {70, "32"},
                 {1, text},
                 {3, "Standard"},
                 {100, "AcDbAlignedDimension"},
                 {13, "0.0"},
                 {23, "0.0"},
                 {33, "0.0"},
                 {14, "10.0"},
                 {24, "0.0"},
                 {34, "0.0"}};
  if (!override_pairs.empty()) {
    Items xdata = {{1001, "ACAD"}, {1000, "DSTYLE"}, {1002, "{"}};
    xdata.insert(xdata.end(), override_pairs.begin(), override_pairs.end());
    xdata.push_back({1002, "}"});
    items.insert(items.end(), xdata.begin(), xdata.end());
  }
  return items;
}

inline Items Dimlfac(const std::string& value) { return {{1070, "144"}, {1040, value}}; }

}  // namespace dravolin_test
