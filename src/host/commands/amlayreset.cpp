// amlayreset: the add-on's layers AM_0 .. AM_12 get its standard colour,
// linetype and line weight, as the bundled Mech6 template defines them;
// missing AM_ layers are created.
#include "host/cmdline/command_line.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/template_import.h"
#include "host/session.h"

namespace host::commands {

void AmLayReset(Session& session) {
  CommandLine& cl = session.command_line();
  std::string error;
  std::unique_ptr<Drawing> standard = LoadTemplate(DefaultTemplate(session), &error);
  if (!standard) {
    cl.Fail(error);
    cl.Message("AM-Layer nicht zurückgesetzt.");
    return;
  }
  TemplateImporter importer(*standard, session.drawing());
  int created = 0;
  int layers = importer.ApplyAmLayerStandards(&created);
  cl.Message(std::to_string(layers) + " AM-Layer auf Standard gesetzt, " + std::to_string(created) +
             " davon neu erstellt.");
}

}  // namespace host::commands
