#include "module/module_state.h"

#include "genius/layer_array.h"
#include "module/command_stack.h"

double BemFaktor = 0.0;
CString csStrichAM0;
CString csStrichAM3;
CString csStrichAM4;
CString csAmSetupDwgCmd;

void ResetModuleState() {
  BemFaktor = 0.0;
  csStrichAM0.Empty();
  csStrichAM3.Empty();
  csStrichAM4.Empty();
  csAmSetupDwgCmd.Empty();
  ClearLayerArray();
  // A host class descriptor found in an earlier load belongs to that load.
  ForgetHostClasses();
}
