#pragma once
// The system's file dialogs (GetOpenFileNameA / GetSaveFileNameA) for a TFileDialog. File
// names stay in the ANSI functions, as the program's paths are code page bytes.
#include <string>
#include <vector>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Dialogs.h"

// The filter as the dialog takes it: "text\0pattern\0...\0\0".
std::string FilterBuffer(const std::vector<TFileFilter>& filters);
// The OFN_ flags for the dialog's options (always the Explorer-style dialog).
DWORD FileDialogFlags(TOpenOptions options);
// The default extension the system may add: only a save dialog adds one, as
// TFileDialog::WithDefaultExt does; null for none.
const char* SystemDefaultExt(const TFileDialog& dialog);

// Shows the dialog above owner; on OK stores the chosen path in dialog.FileName.
bool RunFileDialog(TFileDialog& dialog, HWND owner);
