// acedGetVar for the system variables the module and scripts ask for.
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "host/api/api_state.h"
#include "host/api/result_buffers.h"
#include "host/api/text_util.h"
#include "host/platform/platform.h"

namespace host::api {

namespace {

// The profile of a fresh installation; the platform's registry holds no
// other unless the user made one.
constexpr char kDefaultProfile[] = "<<Unnamed Profile>>";

// The host's own release, whatever the drawing's version.
constexpr char kHostVersion[] = "15.0";

std::optional<std::string> HeaderText(const Drawing& drawing, std::string_view name) {
  std::optional<dxf::Tags> values = drawing.HeaderVar(name);
  if (!values || values->empty()) return std::nullopt;
  return std::string(TrimBlanks(values->front().value));
}

bool SetString(resbuf* result, std::string_view text) {
  char* copy = MallocString(text);
  if (copy == nullptr) return false;
  result->restype = RTSTR;
  result->resval.rstring = copy;
  return true;
}

}  // namespace

}  // namespace host::api

extern "C" int acedGetVar(const char* sym, resbuf* result) {
  using namespace host::api;
  ApiState* state = CurrentState();
  if (state == nullptr || sym == nullptr || result == nullptr) return RTERROR;
  const host::Drawing& drawing = state->drawing();
  std::string name = ToUpper1252(sym);
  std::string scratch;
  if (name == "CPROFILE") {
    std::string profile = state->session().platform().CurrentProfileName();
    return SetString(result, profile.empty() ? kDefaultProfile : profile) ? RTNORM : RTERROR;
  }
  if (name == "ACADVER") return SetString(result, kHostVersion) ? RTNORM : RTERROR;
  if (name == "TILEMODE") {
    std::optional<std::string> value = HeaderText(drawing, "$TILEMODE");
    result->restype = RTSHORT;
    result->resval.rint = static_cast<short>(value ? ParseInteger(*value) : 1);
    return RTNORM;
  }
  if (name == "CLAYER") {
    std::optional<std::string> value = HeaderText(drawing, "$CLAYER");
    std::string raw = value ? *value : std::string("0");
    if (drawing.encoding().utf8()) raw = drawing.encoding().Decode(raw);
    return SetString(result, raw) ? RTNORM : RTERROR;
  }
  if (name == "HANDSEED") {
    std::optional<std::string> value = HeaderText(drawing, "$HANDSEED");
    if (!value) return RTERROR;
    return SetString(result, *value) ? RTNORM : RTERROR;
  }
  if (name == "DWGNAME" || name == "DWGPREFIX") {
    std::filesystem::path path(drawing.file_name());
    if (name == "DWGNAME") return SetString(result, path.filename().string()) ? RTNORM : RTERROR;
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(path, error).parent_path();
    std::string prefix = folder.string();
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    return SetString(result, prefix) ? RTNORM : RTERROR;
  }
  return RTERROR;
}
