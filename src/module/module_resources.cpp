#include "module/module_resources.h"

#include "module/resource_ids.h"

namespace {

constexpr uint32_t kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr uint32_t kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr uint32_t kStatic = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr uint32_t kCombo = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN;
constexpr int kGerman = 1031;
constexpr int kStaticId = -1;

// Dialog 200: the line weights for AM_0, AM_3 and AM_4. The combo boxes are
// drop-downs with an edit field, unsorted, filled at run time.
constexpr DialogControl kStrichStControls[] = {
    {ControlClass::kButton, IDOK, kButton | BS_DEFPUSHBUTTON, 126, 7, 45, 14, "OK"},
    {ControlClass::kButton, IDCANCEL, kButton | BS_PUSHBUTTON, 126, 24, 45, 14, "Abbrechen"},
    {ControlClass::kStatic, kStaticId, kStatic, 7, 24, 30, 14, "AM_0 <- "},
    {ControlClass::kStatic, kStaticId, kStatic, 44, 11, 39, 11, "Linienstärke"},
    {ControlClass::kStatic, kStaticId, kStatic, 7, 42, 30, 14, "AM_3 <- "},
    {ControlClass::kStatic, kStaticId, kStatic, 7, 60, 30, 14, "AM_4 <- "},
    {ControlClass::kComboBox, IDC_COMBO_AM0, kCombo, 42, 23, 56, 42, nullptr},
    {ControlClass::kComboBox, IDC_COMBO_AM3, kCombo, 41, 41, 56, 42, nullptr},
    {ControlClass::kComboBox, IDC_COMBO_AM4, kCombo, 41, 59, 56, 42, nullptr},
};

// Dialog 201: coarse or fine Genius layers. Both buttons end the dialog
// through the standard OK and Cancel ids.
constexpr DialogControl kGenLayControls[] = {
    {ControlClass::kButton, IDOK, kButton | BS_DEFPUSHBUTTON, 11, 7, 50, 14, "Layer->grob"},
    {ControlClass::kButton, IDCANCEL, kButton | BS_PUSHBUTTON, 11, 24, 50, 14, "Layer->fein"},
    {ControlClass::kStatic, kStaticId, kStatic, 68, 27, 41, 9, "( *A Layer )"},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_STRICHST, kGerman, "Linienstärke auf Layer", kDialogStyle, 8, "MS Sans Serif", 178, 95,
     kStrichStControls, sizeof(kStrichStControls) / sizeof(kStrichStControls[0])},
    {IDD_GENLAY, kGerman, "GenLayer", kDialogStyle, 8, "MS Sans Serif", 116, 50, kGenLayControls,
     sizeof(kGenLayControls) / sizeof(kGenLayControls[0])},
};

// The module has no string resources: every command passes resource id -1.
constexpr ResourceModule kModule = {kModuleFileName, kDialogs,
                                    sizeof(kDialogs) / sizeof(kDialogs[0]), nullptr, 0};

}  // namespace

HINSTANCE ModuleInstance() { return &kModule; }
