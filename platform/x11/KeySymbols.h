#pragma once
// The X key symbol names (XK_...), for code and tests that speak of keys by name.
#include <X11/XF86keysym.h>
#include <X11/keysym.h>
