#include "hostenv/template_path.h"

#include <cstdlib>
#include <cstring>

#include "adslib.h"
#include "afxwin.h"
#include "arx.h"
#include "hostenv/reg_key.h"
#include "module/module_state.h"

namespace {

constexpr const char* kRootName = "HKEY_CURRENT_USER";
constexpr const char* kDefaultSetupScript = "amsetupdwg\n\nJA\n";
const char szFilter[] = "Vorlage waehlen:  (*.DWT) | *.DWT||";
// TemplatePath is read through a buffer of this many bytes, the terminating
// zero included.
constexpr DWORD lSize = 260;

// The current profile's registry path, as the host's profile manager gives
// it; empty when there is none.
CString ProfileRegistryKey() {
  resbuf profile = {};
  profile.restype = RTNONE;
  acedGetVar("CPROFILE", &profile);
  const char* profile_name = "";
  if (profile.restype == RTSTR && profile.resval.rstring != nullptr)
    profile_name = profile.resval.rstring;
  char* pstrKey = nullptr;
  if (AcApProfileManager* profiles = acProfileManagerPtr())
    profiles->ProfileRegistryKey(pstrKey, profile_name);
  if (profile.restype == RTSTR) std::free(profile.resval.rstring);
  if (pstrKey == nullptr) return CString();
  acutPrintf("\nThe profiles registry key is: %s", pstrKey);
  CString key(pstrKey);
  delete[] pstrKey;
  return key;
}

// A path that carries a control character (a newline above all) would end
// the script's answer early and type the rest as commands.
bool HasControlCharacter(const CString& path) {
  for (int i = 0; i < path.GetLength(); ++i) {
    unsigned char c = static_cast<unsigned char>(path.GetAt(i));
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

CString RegistryPathBelowCurrentUser(CString key) {
  const int root_length = static_cast<int>(std::strlen(kRootName));
  if (key.Left(root_length).CompareNoCase(kRootName) == 0) key = key.Mid(root_length);
  key.TrimLeft('\\');
  return key;
}

void mtemplatestemplatepath() {
  CString csTemplatePathReg = RegistryPathBelowCurrentUser(ProfileRegistryKey() + "\\GENERAL");

  CString csTemplatePathFile;
  {
    regKey key;
    key.Create(csTemplatePathReg);
    csTemplatePathFile = key.QueryString("TemplatePath", lSize);
  }
  csTemplatePathFile += "\\*.DWT";

  CString strFile;
  CFileDialog dialog(TRUE, "DWT", csTemplatePathFile, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     szFilter, nullptr);
  if (dialog.DoModal() == IDOK) {
    strFile = dialog.GetPathName();
    if (HasControlCharacter(strFile)) {
      AfxMessageBox("Ungültiger Dateiname!", MB_OK, 0);
      csAmSetupDwgCmd = kDefaultSetupScript;
      return;
    }
    if (strFile.Right(3).CompareNoCase("DWT") != 0) AfxMessageBox("File Extension error", MB_OK, 0);
  }

  if (strFile.IsEmpty()) {
    AfxMessageBox("Nichts gewählt! Verwende Vorgabe!", MB_OK, 0);
    csAmSetupDwgCmd = kDefaultSetupScript;
  } else {
    csAmSetupDwgCmd = "amsetupdwg\n" + strFile + "\nJA\n";
  }
}
