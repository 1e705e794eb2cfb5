// The small part of the Windows API the module uses: handles, message boxes,
// the registry and file search. The host's platform layer implements it.
#pragma once

#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef long LONG;
typedef unsigned char BYTE;
typedef DWORD REGSAM;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef char* LPSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A window. The host's main window is the only real one.
struct HWND__;
typedef HWND__* HWND;

// A module instance: it names where the dialog resources of a module live.
struct ResourceModule;
typedef const ResourceModule* HINSTANCE;

// Registry keys are opaque handles issued by the host.
struct HKEY__;
typedef HKEY__* HKEY;
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))

enum : LONG {
  ERROR_SUCCESS = 0,
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_ACCESS_DENIED = 5,
  ERROR_INVALID_HANDLE = 6,
  ERROR_INVALID_PARAMETER = 87,
  ERROR_BAD_PATHNAME = 161,
  ERROR_MORE_DATA = 234
};
enum : DWORD { REG_NONE = 0, REG_SZ = 1 };
enum : REGSAM { KEY_ALL_ACCESS = 0xF003F, KEY_READ = 0x20019 };
enum : DWORD { REG_OPTION_NON_VOLATILE = 0 };
enum : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// Message box types and results.
enum : UINT { MB_OK = 0 };
enum : int { IDOK = 1, IDCANCEL = 2 };

extern "C" {
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR key_class, DWORD options,
                     REGSAM sam_desired, void* security_attributes, HKEY* result,
                     LPDWORD disposition);
// Reads a value. data_size holds the buffer's size on entry and the value's
// size (terminating zero included) on return. A buffer that is too small
// gets ERROR_MORE_DATA and is left untouched; a null data asks for the size.
LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD data_size);
LONG RegCloseKey(HKEY key);

// Starts a program the way the operating system's command interpreter would
// for "start PROGRAM": as a separate process, without waiting. The host never
// involves a shell; it only understands "start" followed by one program path.
int WinCommandInterpreter(LPCSTR command_line);
}
