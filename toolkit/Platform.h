#pragma once
// What the program entry needs of the platform it runs on. Each platform folder realises
// these; the entry itself is the same everywhere.
#include <memory>
#include <string>
#include <vector>

class Backend;

// Prepares the platform (display connection, fonts, path rules) and returns the backend of
// its controls. Throws Exception with one line saying why the program cannot run here.
std::unique_ptr<Backend> StartPlatform();

// The program's arguments as the platform hands them over, index 0 being the program.
std::vector<std::string> PlatformArguments(int argc, char** argv);
