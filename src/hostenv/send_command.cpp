#include "hostenv/send_command.h"

#include <utility>

#include "arx.h"

namespace {
std::function<void(const char*)> g_observer;
}  // namespace

void SendCommand(const char* text) {
  if (g_observer) g_observer(text);
  // Fetched afresh for every script: the current document may change
  // between two calls.
  AcApDocManager* manager = acDocManagerPtr();
  if (manager == nullptr) return;
  manager->sendStringToExecute(manager->curDocument(), text, /*activate=*/false,
                               /*wrap_up_inactive_doc=*/true, /*echo=*/true);
}

void SetScriptObserver(std::function<void(const char* text)> observer) {
  g_observer = std::move(observer);
}
