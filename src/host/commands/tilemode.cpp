// TILEMODE typed as a command asks for its new value: 1 makes model space
// current, 0 the layout that was active last.
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/current_space.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/session.h"

namespace host::commands {

void TileMode(Session& session) {
  CommandLine& cl = session.command_line();
  Drawing& drawing = session.drawing();
  bool on = TileModeOn(drawing);
  long long value = 0;
  while (true) {
    std::optional<std::string> answer =
        cl.Ask(std::string("Neuen Wert für TILEMODE eingeben <") + (on ? "1" : "0") + ">: ");
    if (!answer) return;
    if (dxf::TrimBlanks(*answer).empty()) return;  // the value stays
    std::optional<long long> number = ParseInteger(*answer);
    if (number && (*number == 0 || *number == 1)) {
      value = *number;
      break;
    }
    cl.Refuse("Erfordert eine Ganzzahl zwischen 0 und 1.");
  }
  if (value == 0 && drawing.active_layout() == kNoContainer) {
    cl.Fail("Die Zeichnung hat kein Layout; TILEMODE bleibt 1.");
    return;
  }
  if ((value == 1) != on) SetTileMode(drawing, value == 1);
}

}  // namespace host::commands
