#pragma once
// Macro files (.mcr): the stream's bytes, no header, no count, no trailer.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class InputFile;
class MacroStream;

// Replaces the macro in the stream by the file's content; the position ends at the end.
// On any failure the stream keeps the macro it held. Throws Exception with
// "ファイル %s は開けません", "ストリームからの読み込みエラー" or the stream's memory error,
// the latter also when the file is larger than the memory the system can still give.
void LoadMacroFile(MacroStream& stream, const std::string& fileName);
// The same for a file its caller has opened already (the copy step alone).
void LoadMacroFile(MacroStream& stream, InputFile& file);
// Told how far a load has come, after each part it reads once the load has taken longer than
// a moment; the window shows it. Installed once, for every load; an empty function: none.
using LoadProgress = std::function<void(uint64_t done, uint64_t total)>;
void SetLoadProgress(LoadProgress observer,
                     std::chrono::milliseconds after = std::chrono::milliseconds(300));

// Writes the whole stream to the file (ReplaceFileContents tells how the file is replaced);
// the position ends at the end. Throws "ファイル %s を作成できません" or
// "ストリームへの書き込みエラー"; the position then stays where it was.
void SaveMacroFile(MacroStream& stream, const std::string& fileName);

// The same on the global engine's stream.
void LoadMacroFile(const std::string& fileName);
void SaveMacroFile(const std::string& fileName);
