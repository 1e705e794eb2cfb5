#include "host/render/layer_styles.h"

#include <cstdlib>

#include "dxf/text_case.h"

namespace host::render {

namespace {

std::optional<Rgb> TrueColour(std::string_view value) {
  std::optional<long long> v = dxf::ParseInt(value);
  if (!v || *v < 0) return std::nullopt;
  return static_cast<Rgb>(*v & 0xFFFFFF);
}

}  // namespace

CommonProperties ReadCommonProperties(const std::vector<dxf::TagView>& tags,
                                      const dxf::Encoding& encoding) {
  CommonProperties props;
  // The common part ends at the first subclass marker after AcDbEntity;
  // files without markers (R12) keep it among the entity's data, where the
  // first occurrence is the common one.
  for (size_t i = 1; i < tags.size(); ++i) {
    const dxf::TagView& tag = tags[i];
    if (tag.code == 1001) break;
    if (tag.code == 100 && dxf::TrimBlanks(tag.value) != "AcDbEntity") break;
    if (tag.code == 102 && dxf::TrimBlanks(tag.value).starts_with("{")) {
      while (i + 1 < tags.size() && !(tags[i].code == 102 && dxf::TrimBlanks(tags[i].value) == "}"))
        ++i;
      continue;
    }
    switch (tag.code) {
      case 8:
        props.layer = encoding.Decode(dxf::TrimBlanks(tag.value));
        break;
      case 62:
        props.colour = static_cast<int>(dxf::ParseInt(tag.value).value_or(kByLayer));
        break;
      case 420:
        props.true_colour = TrueColour(tag.value);
        break;
      case 60:
        props.invisible = dxf::ParseInt(tag.value).value_or(0) == 1;
        break;
      default:
        break;
    }
  }
  return props;
}

LayerStyles::LayerStyles(const Drawing& drawing) {
  const Table* table = drawing.FindTable("LAYER");
  if (!table) return;
  std::vector<dxf::TagView> tags;
  for (TableRecordId id : table->records) {
    if (drawing.table_record(id).erased) continue;
    drawing.TableRecordTags(id, &tags);
    std::string name;
    Layer layer;
    int index = 7;
    std::optional<Rgb> true_colour;
    for (const dxf::TagView& tag : tags) {
      if (tag.code == 1001) break;
      if (tag.code == 2 && name.empty())
        name = drawing.encoding().Decode(dxf::TrimBlanks(tag.value));
      if (tag.code == 62) index = static_cast<int>(dxf::ParseInt(tag.value).value_or(7));
      if (tag.code == 420) true_colour = TrueColour(tag.value);
      if (tag.code == 70) layer.shown = (dxf::ParseInt(tag.value).value_or(0) & 1) == 0;
    }
    if (name.empty()) continue;
    if (index < 0) layer.shown = false;  // a layer turned off keeps its colour negated
    layer.colour = true_colour ? *true_colour : IndexColour(std::abs(index));
    layers_.emplace(dxf::UpperCase1252(name), layer);
  }
}

const LayerStyles::Layer* LayerStyles::Find(std::string_view layer) const {
  auto it = layers_.find(dxf::UpperCase1252(layer));
  return it == layers_.end() ? nullptr : &it->second;
}

bool LayerStyles::Shown(std::string_view layer) const {
  const Layer* found = Find(layer);
  return !found || found->shown;
}

Rgb LayerStyles::Colour(std::string_view layer) const {
  const Layer* found = Find(layer);
  return found ? found->colour : IndexColour(7);
}

std::string LayerStyles::EffectiveLayer(const CommonProperties& entity, const Inherited& context,
                                        bool in_block) const {
  if (in_block && entity.layer == "0") return context.layer;
  return entity.layer;
}

Rgb LayerStyles::EffectiveColour(const CommonProperties& entity, const std::string& effective_layer,
                                 const Inherited& context) const {
  if (entity.true_colour) return *entity.true_colour;
  if (entity.colour == kByBlock) return context.colour;
  if (entity.colour == kByLayer || entity.colour < 0 || entity.colour > 256)
    return Colour(effective_layer);
  return IndexColour(entity.colour);
}

}  // namespace host::render
