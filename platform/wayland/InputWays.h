#pragma once
// Opens the way in that the compositor offers, in this order: the wlroots protocols, KWin's
// fake input, Mutter's remote desktop, then uinput. TAPEWRIGHT_INPUT_WAY=wlroots, kwin,
// mutter or uinput asks for one.
#include <memory>
#include <string>

#include "platform/wayland/InputWay.h"

// nullptr when none can be opened; refusals then says, for the user, why each was refused.
std::unique_ptr<InputWay> OpenInputWay(std::string& refusals);

// Each way's opener: nullptr, with why in refusal, when the compositor lacks it or refuses.
std::unique_ptr<InputWay> OpenWlrootsWay(std::string& refusal);
std::unique_ptr<InputWay> OpenKwinWay(std::string& refusal);
std::unique_ptr<InputWay> OpenMutterWay(std::string& refusal);
std::unique_ptr<InputWay> OpenUinputWay(std::string& refusal);
