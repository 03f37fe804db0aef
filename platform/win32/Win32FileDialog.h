#pragma once
// The system's file dialogs (GetOpenFileNameW / GetSaveFileNameW) for a TFileDialog. The
// chosen path comes back in the system's ANSI code page, as the program's paths are bytes
// of that code page for the ANSI file functions.
#include <string>
#include <vector>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Dialogs.h"

// The filter as the dialog takes it: "text\0pattern\0...\0\0".
std::string FilterBuffer(const std::vector<TFileFilter>& filters);
// The OFN_ flags for the dialog's options (always the Explorer-style dialog).
DWORD FileDialogFlags(TOpenOptions options);
// The default extension the system adds to a typed name that has none, in an open dialog
// as in a save dialog (where TFileDialog::WithDefaultExt applies it too); null for none.
const char* SystemDefaultExt(const TFileDialog& dialog);

// Shows the dialog above owner; on OK stores the chosen path in dialog.FileName.
bool RunFileDialog(TFileDialog& dialog, HWND owner);
