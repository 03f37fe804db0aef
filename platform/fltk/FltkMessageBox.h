#pragma once
// The message box: a modal window captioned as asked, an icon drawn for its kind (an error
// is a red disc with a white cross), the text, and OK (with Cancel for kMbOkCancel). Enter
// presses OK; Escape and the close box answer Cancel, or OK when there is no Cancel.
#include <cstdint>
#include <string>

// Returns kIdOk or kIdCancel.
int RunMessageBox(const std::string& text, const std::string& caption, uint32_t flags);
