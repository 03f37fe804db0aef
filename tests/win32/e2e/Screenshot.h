#pragma once
// Keeps what the screen shows of a window as a BMP file, for a person to look at. False,
// and no file, while the window is not drawn whole yet (a block of it still solid black).
#include <string>

#include "platform/win32/WindowsApi.h"

bool SaveScreenshot(HWND window, const std::string& path);
