// ZOOM Grenzen (extents) and Alles: the extents of the current space are
// written to $EXTMIN/$EXTMAX (model space) or $PEXTMIN/$PEXTMAX (a layout),
// and the view shows them: in model space the *ACTIVE viewport's centre (12)
// and height (40, fitted to its aspect ratio 41), in a layout the overall
// viewport's view centre (12) and height (45).
#include <algorithm>
#include <cmath>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/current_space.h"
#include "host/commands/entity_geometry.h"
#include "host/commands/layer_states.h"
#include "host/commands/prompt_input.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/session.h"

namespace host::commands {

namespace {

enum ZoomOption { kAll, kCenter, kDynamic, kExtents, kPrevious, kScale, kWindow };
constexpr Keyword kZoomOptions[] = {
    {"Alles", "All", kAll},
    {"Mitte", "Center", kCenter},
    {"Dynamisch", "Dynamic", kDynamic},
    {"Grenzen", "Extents", kExtents},
    {"Vorher", "Previous", kPrevious},
    {"FAktor", "Scale", kScale},
    {"Fenster", "Window", kWindow},
};

struct Window {
  double min_x, min_y, max_x, max_y;
};

std::optional<geometry::Vec3> HeaderPoint(const Drawing& drawing, std::string_view name) {
  std::optional<dxf::Tags> tags = drawing.HeaderVar(name);
  if (!tags) return std::nullopt;
  geometry::Vec3 point;
  bool has_x = false, has_y = false;
  for (const dxf::Tag& tag : *tags) {
    std::optional<double> value = ParseReal(tag.value);
    if (!value) continue;
    if (tag.code == 10) point.x = *value, has_x = true;
    if (tag.code == 20) point.y = *value, has_y = true;
    if (tag.code == 30) point.z = *value;
  }
  if (!has_x || !has_y) return std::nullopt;
  return point;
}

void SetHeaderPoint(Drawing& drawing, std::string_view name, const geometry::Vec3& point) {
  auto text = [](double v) { return dxf::FormatDouble(std::isfinite(v) ? v : 0.0); };
  drawing.SetHeaderVar(name, {dxf::Tag(10, text(point.x)), dxf::Tag(20, text(point.y)),
                              dxf::Tag(30, text(point.z))});
}

// The limits of the space, the view of an empty drawing.
std::optional<Window> Limits(const Drawing& drawing, bool model) {
  std::optional<geometry::Vec3> min = HeaderPoint(drawing, model ? "$LIMMIN" : "$PLIMMIN");
  std::optional<geometry::Vec3> max = HeaderPoint(drawing, model ? "$LIMMAX" : "$PLIMMAX");
  if (!min || !max) return std::nullopt;
  return Window{min->x, min->y, max->x, max->y};
}

void ShowWindow(Drawing& drawing, ContainerId space, const Window& window) {
  bool model = space == drawing.model_space();
  double width = window.max_x - window.min_x;
  double height = window.max_y - window.min_y;
  double centre_x = (window.min_x + window.max_x) / 2;
  double centre_y = (window.min_y + window.max_y) / 2;
  auto fitted = [&](double aspect) {
    if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
    return std::max(height, width / aspect);
  };
  double view_height = 0;
  if (model) {
    TableRecordId vport = drawing.FindTableRecord("VPORT", "*ACTIVE");
    if (vport != kNoRecord) {
      dxf::Tags tags = CopyTableRecordTags(drawing, vport);
      view_height = fitted(TagReal(tags, 41, 1.0));
      if (view_height > 0) {
        SetOrAppendTag(&tags, 12, dxf::FormatDouble(centre_x));
        SetOrAppendTag(&tags, 22, dxf::FormatDouble(centre_y));
        SetOrAppendTag(&tags, 40, dxf::FormatDouble(view_height));
        drawing.SetTableRecordTags(vport, tags);
      }
    }
  } else if (EntityId viewport = MainViewport(drawing, space); viewport != kNoEntity) {
    dxf::Tags tags = CopyEntityTags(drawing, viewport);
    double paper_height = TagReal(tags, 41, 0);
    double aspect = paper_height > 0 ? TagReal(tags, 40, 0) / paper_height : 1.0;
    view_height = fitted(aspect);
    if (view_height > 0) {
      SetOrAppendTag(&tags, 12, dxf::FormatDouble(centre_x));
      SetOrAppendTag(&tags, 22, dxf::FormatDouble(centre_y));
      SetOrAppendTag(&tags, 45, dxf::FormatDouble(view_height));
      drawing.SetEntityTags(viewport, tags);
    }
  }
  // The header's view of the current viewport follows, where the file has it.
  if (view_height > 0 && drawing.HeaderVar("$VIEWCTR")) {
    drawing.SetHeaderVar("$VIEWCTR", {dxf::Tag(10, dxf::FormatDouble(centre_x)),
                                      dxf::Tag(20, dxf::FormatDouble(centre_y))});
    if (drawing.HeaderVar("$VIEWSIZE")) {
      drawing.SetHeaderVar("$VIEWSIZE", {dxf::Tag(40, dxf::FormatDouble(view_height))});
    }
  }
}

// Zooms to the extents of the current space (with all: to the extents and
// the limits together).
void ZoomToExtents(CommandLine& cl, Drawing& drawing, bool with_limits) {
  ContainerId space = CurrentSpace(drawing);
  bool model = space == drawing.model_space();
  LayerStates layers(drawing);
  std::vector<EntityId> visible;
  std::vector<EntityId> mains = MainEntitiesOf(drawing, space);
  std::vector<LayerStates::State> states = layers.EntityStates(mains);
  for (size_t i = 0; i < mains.size(); ++i) {
    // Frozen layers are not regenerated, so they do not count.
    if (!states[i].frozen) visible.push_back(mains[i]);
  }
  geometry::Extents extents = ExtentsOf(drawing, visible);
  std::optional<Window> window;
  if (!extents.empty()) {
    auto z = [](double v) { return std::isfinite(v) ? v : 0.0; };
    SetHeaderPoint(drawing, model ? "$EXTMIN" : "$PEXTMIN",
                   {extents.min.x, extents.min.y, z(extents.min.z)});
    SetHeaderPoint(drawing, model ? "$EXTMAX" : "$PEXTMAX",
                   {extents.max.x, extents.max.y, z(extents.max.z)});
    window = Window{extents.min.x, extents.min.y, extents.max.x, extents.max.y};
  }
  if (with_limits || !window) {
    // An empty drawing shows its limits, as a real host does.
    if (std::optional<Window> limits = Limits(drawing, model)) {
      if (!window) {
        window = limits;
      } else {
        window->min_x = std::min(window->min_x, limits->min_x);
        window->min_y = std::min(window->min_y, limits->min_y);
        window->max_x = std::max(window->max_x, limits->max_x);
        window->max_y = std::max(window->max_y, limits->max_y);
      }
    }
  }
  if (!window) {
    cl.Message("Die Zeichnung ist leer; die Ansicht bleibt.");
    return;
  }
  ShowWindow(drawing, space, *window);
}

}  // namespace

void Zoom(Session& session) {
  CommandLine& cl = session.command_line();
  while (true) {
    std::optional<std::string> answer = cl.Ask(
        "Fensterecke angeben, Faktor eingeben (nX oder nXP) oder\n"
        "[Alles/Mitte/Dynamisch/Grenzen/Vorher/FAktor/Fenster] <Echtzeit>: ");
    if (!answer) return;
    // Echtzeit needs a pointing device; there is nothing to do without one.
    if (dxf::TrimBlanks(*answer).empty()) return;
    std::optional<int> option = MatchKeyword(*answer, kZoomOptions);
    if (option == kExtents || option == kAll) {
      ZoomToExtents(cl, session.drawing(), option == kAll);
      return;
    }
    if (option) {
      cl.Refuse("Diese Zoom-Option wird hier nicht unterstützt.");
      return;
    }
    cl.Refuse("Punkt oder Option-Schlüsselwort erforderlich.");
  }
}

}  // namespace host::commands
