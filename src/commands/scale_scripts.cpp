#include <cmath>

#include "commands/dravolin1_commands.h"

bool IsUsableFactor(double factor) { return factor != 0.0 && std::isfinite(factor); }

CString FormatFactor(double factor) {
  CString text;
  text.Format("%f", factor);
  return text;
}

CString ScaleScript(const CString& csDouble) {
  // The base point "0.0" is a lone number at a point prompt: the origin.
  return "._scale\n_all\n\n0.0\n" + csDouble + "\n";
}

CString ScaleText(double factor) {
  if (factor > 0.0) return "1:" + FormatFactor(factor);
  return FormatFactor(1.0 / factor) + ":1";
}

CString ScaleSettingScript(double factor) {
  return "(amgsetdwgsetting \"scale\" \"" + ScaleText(factor) + "\")\n";
}

CString DimScaleOverrideScript(const CString& csDouble) {
  return "bemüberschr\ndimscale\n" + csDouble + "\n\n_all\n\n";
}
