#pragma once
// Every control of the toolkit, for the windows that use several kinds.
#include "toolkit/Accelerator.h"
#include "toolkit/Buttons.h"
#include "toolkit/Control.h"
#include "toolkit/Displays.h"
#include "toolkit/Edit.h"
#include "toolkit/Lists.h"
