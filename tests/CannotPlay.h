#pragma once
// The engine's error when a macro list is played as a macro: as the engine raises it, and as
// the message box shows it (the application adds a "." to a text that does not end in one).
#include <string>

inline const std::string kCannotPlay =
    "マクロを再生できません。マクロリストファイルを指定した場合は [List Play] "
    "ボタンで再生です。";
inline const std::string kCannotPlayShown = kCannotPlay + ".";
