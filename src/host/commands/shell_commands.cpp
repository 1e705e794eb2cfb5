// The file commands of the interactive shell. Saving and opening are the
// shell's business (where a drawing may be written, what replaces it); the
// commands ask for the path and hand it to the hooks the shell has set.
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/stand_in_commands.h"
#include "host/session.h"

namespace host::commands {

namespace {
constexpr char kNotHere[] = "In dieser Sitzung nicht verfügbar.";

// Before the drawing is left (_quit, _open): with unsaved changes, asks
// whether to save them. True to go on (saved, or not to be saved); false to
// stay, when cancelled or when the save failed.
bool SaveChangesFirst(CommandLine& cl) {
  const ShellHooks& hooks = cl.shell_hooks();
  if (!hooks.unsaved || !hooks.unsaved()) return true;
  while (true) {
    std::optional<std::string> answer = cl.Ask("Änderungen speichern? [Ja/Nein/Abbrechen] <Ja>: ");
    if (!answer) return false;
    std::string word = dxf::UpperCase1252(dxf::TrimBlanks(*answer));
    if (word.empty() || word == "J" || word == "JA" || word == "Y" || word == "YES")
      return hooks.save && hooks.save("");
    if (word == "N" || word == "NEIN" || word == "NO") return true;
    if (word == "A" || word == "ABBRECHEN" || word == "C" || word == "CANCEL") return false;
    cl.Message("Ja, Nein oder Abbrechen eingeben.");
  }
}

}  // namespace

void QuickSave(Session& session) {
  CommandLine& cl = session.command_line();
  if (!cl.shell_hooks().save) {
    cl.Message(kNotHere);
    return;
  }
  cl.shell_hooks().save("");
}

void SaveAs(Session& session) {
  CommandLine& cl = session.command_line();
  std::optional<std::string> path = cl.Ask("Dateiname angeben: ");
  if (!path) return;
  if (!cl.shell_hooks().save) {
    cl.Message(kNotHere);
    return;
  }
  // Enter saves where _qsave would.
  cl.shell_hooks().save(dxf::TrimBlanks(*path).empty() ? std::string() : *path);
}

void Quit(Session& session) {
  CommandLine& cl = session.command_line();
  if (SaveChangesFirst(cl)) cl.RequestQuit();
}

void Open(Session& session) {
  CommandLine& cl = session.command_line();
  if (!SaveChangesFirst(cl)) return;
  std::optional<std::string> path = cl.Ask("Zu öffnende Zeichnung angeben: ");
  if (!path || dxf::TrimBlanks(*path).empty()) return;
  if (!cl.shell_hooks().open) {
    cl.Message(kNotHere);
    return;
  }
  cl.shell_hooks().open(*path);
}

}  // namespace host::commands
