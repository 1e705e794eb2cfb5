#include "afxwin.h"
#include "commands/dravolin1_commands.h"

void StartCloseDialogProgram() {
  CFileFind finder;
  if (finder.FindFile("C:\\CloseDialog\\CloseDialog.exe")) {
    // Started as a separate process without waiting; it closes the set-up
    // dialog that the queued "amsetupdwg" script opens.
    WinCommandInterpreter("start C:\\CloseDialog\\CloseDialog.exe");
  } else {
    AfxMessageBox(
        "Kann C:\\CloseDialog\\CloseDialog.exe nicht finden...\n"
        "Ist für Mech6 notwendig um den Amsetupdwg-Dialog zu schließen.\n"
        "Kann Auswirkungen auf das Konvertierungsergebnis haben ....",
        MB_OK, 0);
  }
  finder.Close();
}
