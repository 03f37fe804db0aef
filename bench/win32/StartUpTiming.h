#pragma once
// TAPEWRT.EXE from its start to its main window being shown, and its working set then.
#include <string>

struct StartUpFigures {
    int runs = 0;
    double medianMilliseconds = 0;
    double workingSetMegabytes = 0;  // of the last run
};

bool MeasureStartUp(const std::string& program, int runs, StartUpFigures& figures);
