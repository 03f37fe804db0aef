#pragma once
// The Windows API, named in one place under platform/: the Windows layer and its own
// Windows-only tests include it from here.
#include <windows.h>
