#pragma once
// The program's texts are code page 932 bytes; the system's wide functions show them right
// whatever the system's own ANSI code page is. Paths are bytes of the system's ANSI code
// page, as the file functions take and give them.
#include <string>

std::wstring WideFromProgramText(const std::string& text);
std::string ProgramTextFromWide(const std::wstring& text);

std::wstring WideFromSystemText(const std::string& text);
// The path in the system's ANSI code page. A name that code page cannot spell is given by its
// short (8.3) form where the file system keeps one; otherwise its unspellable characters
// become "?", which no file name holds, so that the file functions refuse it rather than
// reach another file through a look-alike character.
std::string SystemPathFromWide(const std::wstring& path);
