// File dialogs, window placement in the registry and the document type's
// association with the shell.
#pragma once

#include <windows.h>

#include <string>

namespace kurvana {

constexpr size_t kPathBytes = MAX_PATH;  // 260

// Show the open / save dialog with |path| as the initial name; true when
// the user chose a file, whose full path then replaces |path|.
bool choose_open_file(HWND owner, std::string* path);
bool choose_save_file(HWND owner, std::string* path);

// Moves |window| to the stored rectangle; false when none is stored.
bool restore_window_placement(HWND window);
// Stores the window's normal rectangle; false after showing a message.
bool save_window_placement(HWND window);

// Writes / removes the document type's keys under HKEY_CLASSES_ROOT.
bool register_file_type(HWND owner);
bool unregister_file_type();

}  // namespace kurvana
