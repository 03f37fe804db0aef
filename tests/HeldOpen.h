#pragma once
// Whether this process holds the file at path open (realised per platform).
#include <string>

bool HeldOpen(const std::string& path);
