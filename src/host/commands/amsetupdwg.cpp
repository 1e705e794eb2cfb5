// amsetupdwg: the drawing is set up from a template: linetypes, text styles,
// dimension styles and layers it lacks are copied, and the AM_ layers get
// the add-on's standard properties. Both answers (the template, Enter for
// the default, and the confirmation) are read before anything is loaded, so
// that a script stays in step even when the template cannot be read.
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/prompt_input.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/template_import.h"
#include "host/session.h"

namespace host::commands {

namespace {
constexpr Keyword kConfirm[] = {{"Ja", "Yes", 1}};
}

void AmSetupDwg(Session& session) {
  CommandLine& cl = session.command_line();
  std::optional<std::string> path = cl.Ask("Vorlagendatei angeben <Mech6.dwt>: ");
  if (!path) return;
  std::optional<std::string> confirm =
      cl.Ask("Zeichnung mit dieser Vorlage einrichten? [Ja/Nein] <Nein>: ");
  if (!confirm) return;
  if (MatchKeyword(*confirm, kConfirm) != 1) {
    cl.Fail("Einrichtung abgebrochen.");
    return;
  }
  std::string file =
      dxf::TrimBlanks(*path).empty() ? DefaultTemplate(session) : HostPath(session, *path);
  std::string error;
  std::unique_ptr<Drawing> source = LoadTemplate(file, &error);
  if (!source) {
    cl.Fail(error);
    cl.Message("Die Zeichnung bleibt unverändert.");
    return;
  }
  TemplateImporter importer(*source, session.drawing());
  int linetypes = importer.CopyMissing("LTYPE");
  int styles = importer.CopyMissing("STYLE");
  int dimension_styles = importer.CopyMissing("DIMSTYLE");
  int layers = importer.CopyMissing("LAYER");
  int created = 0;
  int am_layers = importer.ApplyAmLayerStandards(&created);
  cl.Message("Aus der Vorlage übernommen: " + std::to_string(linetypes) + " Linientypen, " +
             std::to_string(styles) + " Textstile, " + std::to_string(dimension_styles) +
             " Bemaßungsstile, " + std::to_string(layers + created) + " Layer; " +
             std::to_string(am_layers) + " AM-Layer auf Standard gesetzt.");
}

}  // namespace host::commands
