#pragma once
// Captions mark their keyboard accelerator with "&" before the letter ("&Open", "キャンセル(&C)");
// "&&" stands for a literal "&".
#include <string>
#include <string_view>

// The accelerator of caption, lower-cased; 0 when it has none or marks a non-ASCII character.
char AcceleratorOf(std::string_view caption);
// The caption as shown: marks removed, "&&" shown as "&".
std::string CaptionWithoutAmpersand(std::string_view caption);
