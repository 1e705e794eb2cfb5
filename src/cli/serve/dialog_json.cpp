#include "cli/serve/dialog_json.h"

#include "host/platform/resources.h"
#include "host/ui/text_encoding.h"

namespace cli::serve {

nlohmann::json DialogJson(const host::DialogView& dialog) {
  using nlohmann::json;
  auto utf8 = [](const std::string& text) { return host::Cp1252ToUtf8(text); };
  json entry = {{"id", dialog.resource_id}, {"caption", utf8(dialog.caption)}};
  if (const DialogTemplate* resource = host::FindDialogTemplate(dialog.resource_id, nullptr)) {
    entry["width"] = resource->width;
    entry["height"] = resource->height;
  }
  json controls = json::array();
  for (const host::DialogControlView& control : dialog.controls) {
    static const char* const kKinds[] = {"button", "default_button", "static", "combo"};
    json items = json::array();
    for (const std::string& item : control.items) items.push_back(utf8(item));
    controls.push_back({{"kind", kKinds[static_cast<int>(control.kind)]},
                        {"id", control.id},
                        {"text", utf8(control.text)},
                        {"items", items},
                        {"selection", control.selection},
                        {"x", control.x},
                        {"y", control.y},
                        {"width", control.width},
                        {"height", control.height}});
  }
  entry["controls"] = controls;
  return entry;
}

}  // namespace cli::serve
