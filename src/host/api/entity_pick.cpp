// acedEntSel: the user picks one entity. There is no graphics screen, so the
// user channel is asked with the list of dimensions that can serve as the
// reference dimension; it answers with a handle (any main entity of a space
// may be named) or cancels. An answer that names no entity is a pick that
// missed: the prompt comes again, as on a screen.
#include <string>

#include "host/api/api_state.h"
#include "host/api/entity_chain.h"
#include "host/api/pick_candidates.h"
#include "host/api/text_util.h"
#include "host/cmdline/command_line.h"
#include "host/session.h"
#include "host/ui/user_channel.h"

extern "C" int acedEntSel(const char* prompt, ads_name entres, ads_point ptres) {
  host::api::ApiState* state = host::api::CurrentState();
  if (state == nullptr || entres == nullptr) return RTERROR;
  host::Session& session = state->session();
  std::string prompt_text = prompt != nullptr ? prompt : "";
  session.command_line().Print(prompt_text);

  const host::Drawing& drawing = state->drawing();
  std::vector<host::api::PickChoice> choices =
      host::api::DimensionCandidates(drawing, session.user().ShowsPickCandidates());
  std::vector<host::PickCandidate> candidates;
  candidates.reserve(choices.size());
  for (const host::api::PickChoice& choice : choices) candidates.push_back(choice.candidate);

  std::optional<std::string> answer;
  host::EntityId picked = host::kNoEntity;
  double point[3] = {0, 0, 0};
  // A channel that kept missing would keep the command waiting: after this
  // many misses the pick fails.
  constexpr int kMisses = 100;
  for (int miss = 0; picked == host::kNoEntity; ++miss) {
    if (miss == kMisses) return RTERROR;
    if (miss > 0) {
      session.command_line().Message("Kein Objekt mit dem Griff \"" + *answer + "\" gefunden.");
      session.command_line().Print(prompt_text);
    }
    answer = session.user().PickEntity(prompt_text, candidates);
    if (!answer) return RTCAN;
    for (const host::api::PickChoice& choice : choices) {
      if (host::api::EqualsNoCase(choice.candidate.handle, *answer)) {
        picked = choice.entity;
        for (int k = 0; k < 3; ++k) point[k] = choice.point[k];
        break;
      }
    }
    if (picked == host::kNoEntity) picked = host::api::FindEntityByHandle(drawing, *answer);
  }

  // Name the pick where a person would have clicked: after the prompt.
  std::string type(drawing.EntityType(picked));
  std::string layout(host::api::SpaceOf(drawing, picked).layout_name);
  session.command_line().Print(" " + type + " " + *answer + " (" + layout + ")");
  state->EntityName(picked, entres);
  if (ptres != nullptr) {
    for (int k = 0; k < 3; ++k) ptres[k] = point[k];
  }
  return RTNORM;
}
