#pragma once
// The program's texts are code page 932 bytes; the system's wide functions show them right
// whatever the system's own ANSI code page is.
#include <string>

std::wstring WideFromProgramText(const std::string& text);
std::string ProgramTextFromWide(const std::wstring& text);
