#pragma once
// The one error type of the program: it carries the text shown to the user.
#include <stdexcept>
#include <string>
#include <string_view>

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Replaces the first "%s" or "%d" in pattern by argument.
std::string FormatText(std::string_view pattern, std::string_view argument);
