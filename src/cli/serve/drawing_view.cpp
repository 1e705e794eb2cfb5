#include "cli/serve/drawing_view.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/command.h"
#include "cli/convert_one.h"
#include "cli/drawing_io.h"
#include "cli/drawing_survey.h"
#include "cli/host_run.h"
#include "cli/serve/dialog_json.h"
#include "host/geometry/entity_extents.h"
#include "host/render/render_svg.h"
#include "host/ui/answers_channel.h"
#include "host/ui/text_encoding.h"

namespace cli::serve {

namespace {

using nlohmann::json;

std::string Utf8(const std::string& text_1252) { return host::Cp1252ToUtf8(text_1252); }

// The answers channel with the default answers, noting besides what it
// shows the pick's candidates and each dialog's size from its resource.
class RecordingChannel : public host::AnswersChannel {
 public:
  using AnswersChannel::AnswersChannel;

  host::DialogAction RunDialog(const host::DialogView& dialog) override {
    json entry = DialogJson(dialog);
    // A dialog shown twice (a second conversion step) is shown once.
    bool known = std::any_of(dialogs.begin(), dialogs.end(),
                             [&](const json& seen) { return seen["id"] == dialog.resource_id; });
    if (!known) dialogs.push_back(entry);
    return AnswersChannel::RunDialog(dialog);
  }

  std::optional<std::string> PickEntity(
      const std::string& prompt, const std::vector<host::PickCandidate>& candidates) override {
    if (picks.empty()) {
      for (const host::PickCandidate& candidate : candidates) {
        json entry = {{"handle", candidate.handle},
                      {"layout", Utf8(candidate.layout)},
                      {"description", Utf8(candidate.description)}};
        entry["dimlfac"] = candidate.dimlfac ? json(*candidate.dimlfac) : json(nullptr);
        picks.push_back(entry);
      }
      prompt_text = Utf8(prompt);
    }
    return AnswersChannel::PickEntity(prompt, candidates);
  }
  bool ShowsPickCandidates() const override { return true; }

  json dialogs = json::array();
  json picks = json::array();
  std::string prompt_text;
};

// The space a conversion starts from: the current layout, or model space
// when $TILEMODE makes that current.
host::ContainerId CurrentSpace(const host::Drawing& drawing, const DrawingSurvey& survey) {
  if (survey.tilemode || drawing.active_layout() == host::kNoContainer)
    return drawing.model_space();
  return drawing.active_layout();
}

// Each DIMENSION of the space with the box of its definition points, in the
// picture's coordinates (y downwards).
json DimensionBoxes(const host::Drawing& drawing, host::ContainerId space,
                    const DrawingSurvey& survey) {
  std::map<std::string, const DimensionFacts*> facts;
  for (const DimensionFacts& dimension : survey.dimensions)
    if (!dimension.handle.empty()) facts[dimension.handle] = &dimension;
  json boxes = json::array();
  std::vector<dxf::TagView> tags;
  for (host::EntityId id = drawing.FirstEntity(); id != host::kNoEntity;
       id = drawing.NextEntity(id)) {
    const host::Entity& entity = drawing.entity(id);
    if (entity.parent != host::kNoEntity || entity.container != space) continue;
    if (drawing.EntityType(id) != "DIMENSION") continue;
    std::string handle(drawing.EntityHandle(id));
    drawing.EntityTags(id, &tags);
    double min_x = INFINITY, min_y = INFINITY, max_x = -INFINITY, max_y = -INFINITY;
    for (int code : {10, 11, 13, 14, 15, 16}) {
      std::optional<host::geometry::Vec3> point = host::geometry::OwnPoint(tags, code);
      if (!point || !std::isfinite(point->x) || !std::isfinite(point->y)) continue;
      min_x = std::min(min_x, point->x);
      max_x = std::max(max_x, point->x);
      min_y = std::min(min_y, -point->y);
      max_y = std::max(max_y, -point->y);
    }
    if (!(min_x <= max_x)) continue;
    json entry = {{"handle", handle}, {"box", {min_x, min_y, max_x, max_y}}};
    auto known = facts.find(handle);
    const DimensionFacts* fact = known == facts.end() ? nullptr : known->second;
    entry["dimlfac"] =
        fact && fact->override_dimlfac ? json(*fact->override_dimlfac) : json(nullptr);
    if (fact && fact->measurement) entry["measurement"] = *fact->measurement;
    boxes.push_back(entry);
  }
  return boxes;
}

}  // namespace

int PrintDrawingView(const std::string& path, const std::string& target_name, std::ostream& out,
                     std::ostream& err) {
  const Target* target = FindTarget(target_name);
  if (!target) {
    err << "dravolin serve: error: unknown target '" << target_name << "'\n";
    return kExitUsage;
  }
  std::string problem;
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(path, &problem);
  if (!drawing) {
    err << "dravolin: error: " << problem << "\n";
    return kExitInputError;
  }
  DrawingSurvey survey = SurveyDrawing(*drawing);
  json view;
  host::ContainerId space = CurrentSpace(*drawing, survey);
  if (const SpaceFacts* current = survey.current_space())
    view["space"] = Utf8(current->model ? "Model" : current->layout);
  if (space != host::kNoContainer) {
    host::render::SvgPicture picture = host::render::RenderSvg(*drawing, space, {});
    view["svg"] = picture.svg;
    view["truncated"] = picture.truncated;
    view["dimensions"] = DimensionBoxes(*drawing, space, survey);
  } else {
    view["svg"] = "";
    view["dimensions"] = json::array();
  }
  const DimensionFacts* pick = AutoReference(survey);
  view["auto"] = pick ? json(pick->handle) : json(nullptr);
  json weights = json::object();
  for (const auto& [weight, count] : survey.entity_lineweights)
    weights[std::to_string(weight)] = count;
  view["lineweights"] = weights;

  // The conversion's questions, asked by the module itself; the file
  // dialog is cancelled, so nothing is written whatever happens.
  host::Answers answers;
  answers.references = {"auto"};
  answers.templates = {std::nullopt};
  RecordingChannel channel(answers);
  {
    std::unique_ptr<HostRun> run = HostRun::Start(std::move(drawing), &channel, &problem);
    if (run) run->RunCommand(target->command);
  }
  view["dialogs"] = channel.dialogs;
  view["candidates"] = channel.picks;
  view["prompt"] = channel.prompt_text;
  out << view.dump(-1, ' ', false, json::error_handler_t::replace) << "\n";
  return kExitOk;
}

}  // namespace cli::serve
