#pragma once
// A macro as editable text, one line per record, and back:
//   TIME MESSAGE ...                 time in milliseconds from time 0
//   120 WM_KEYDOWN A scan=1E         key messages: key name (or vk=HH), scan code, "ext"
//   130 WM_MOUSEMOVE 512 -4          pointer messages: screen x and y
//   140 WM_MOUSEWHEEL 512 384 -120   the wheel: x, y and the delta
//   150 0x0113 paramL=0x1 paramH=0x0 hwnd=0x0   any other message, every field
//   trailing 07 07 07                bytes after the last whole record
// Fields that differ from the usual ones follow as paramL=, paramH=, hwnd= (hex), so that
// text made from any file builds back to the same bytes. Lines starting with # are comments.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/EventMsg.h"

// A line that cannot be read; what() says which line and what was expected.
class MacroTextError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The name of a message the journal records ("WM_KEYDOWN"), or empty.
std::string MessageName(uint32_t message);

// The text line of one record, without a line end.
std::string FormatRecord(const EVENTMSG& record);
// The text of a whole macro file's bytes.
std::string FormatMacro(const std::vector<uint8_t>& bytes);
// The bytes of a macro file from its text. Throws MacroTextError.
std::vector<uint8_t> ParseMacro(const std::string& text);
