// Dialog resources as data: what a resource script's DIALOG statement holds.
// A module lists its dialogs in a ResourceModule; its HINSTANCE points there.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32.h"

enum : uint32_t {
  WS_POPUP = 0x80000000u,
  WS_CHILD = 0x40000000u,
  WS_VISIBLE = 0x10000000u,
  WS_CAPTION = 0x00C00000u,
  WS_VSCROLL = 0x00200000u,
  WS_SYSMENU = 0x00080000u,
  WS_GROUP = 0x00020000u,
  WS_TABSTOP = 0x00010000u,
  DS_SETFONT = 0x40u,
  DS_MODALFRAME = 0x80u,
  BS_PUSHBUTTON = 0x0u,
  BS_DEFPUSHBUTTON = 0x1u,
  SS_LEFT = 0x0u,
  CBS_DROPDOWN = 0x2u,
  CBS_SORT = 0x100u,
};

enum class ControlClass { kButton, kStatic, kComboBox, kEdit };

struct DialogControl {
  ControlClass control_class;
  int id;  // -1 for IDC_STATIC
  uint32_t style;
  int x, y, width, height;
  const char* text;  // nullptr when the control has none
};

struct DialogTemplate {
  int id;
  int language;  // 1031 German
  const char* caption;
  uint32_t style;
  int font_points;
  const char* font_name;
  int width, height;
  const DialogControl* controls;
  size_t control_count;
};

struct StringResource {
  int id;
  const char* text;
};

// The resources of one module, in place of a DLL's resource section.
struct ResourceModule {
  const char* file_name;  // e.g. "QUARNDravolin1.arx"
  const DialogTemplate* dialogs;
  size_t dialog_count;
  const StringResource* strings;
  size_t string_count;
};
