#include "ui/ProgramEntry.h"

#include "engine/Recorder.h"
#include "toolkit/Application.h"
#include "ui/CommandLine.h"
#include "ui/MainForm.h"

int RunProgram(std::vector<std::string> arguments, TIniQuillSystem settingsSystem) {
    SetProgramArguments(std::move(arguments));
    TRecorder::Create();
    {
        TApplication application;
        application.Title = "Tapewright";
        application.CreateForm(Form1, std::move(settingsSystem));
        if (ParamStr(4) == "/D") application.ShowMainForm = false;
        application.Run();
        // The engine goes first: a last notification still finds the window alive.
        delete Recorder;
    }
    Form1 = nullptr;
    return 0;
}
