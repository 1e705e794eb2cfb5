// Ids of the module's dialog resources and their controls.
#pragma once

// The line-weight dialog and its three combo boxes.
constexpr int IDD_STRICHST = 200;
constexpr int IDC_COMBO_AM0 = 201;
constexpr int IDC_COMBO_AM3 = 203;
constexpr int IDC_COMBO_AM4 = 204;

// The Genius layer dialog.
constexpr int IDD_GENLAY = 201;
