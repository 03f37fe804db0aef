#pragma once
// Chooses where the pointer's position comes from while recording: the desktop's own
// source where the environment names one (Hyprland, Wayfire, GNOME, KDE) or the compositor
// offers cursor capture sessions (wlroots 0.19 and later), else the estimate from relative
// motion, which every desktop allows.
#include <memory>
#include <string>

#include "platform/wayland/PointerSource.h"

// Starts the first source that answers, with report; estimate is the last resort and always
// starts. refusals says, for the user, why a desktop's source did not (empty when none did
// not).
std::unique_ptr<PointerSource> StartPointerSource(const PointerSource::Report& report,
                                                  std::unique_ptr<PointerSource> estimate,
                                                  std::string& refusals);
