#include "ui/ProgramEntry.h"

#include <cstdio>

#include "engine/HookErrors.h"
#include "engine/Recorder.h"
#include "toolkit/Application.h"
#include "ui/CommandLine.h"
#include "ui/MainForm.h"

void RouteHookErrorsToApplication() {
    SetHookErrorSink([](const std::string& message) {
        if (Application != nullptr) {
            Application->QueueError(message);
        } else {
            std::fprintf(stderr, "%s\n", message.c_str());
        }
    });
}

int RunProgram(std::vector<std::string> arguments, TIniQuillSystem settingsSystem) {
    SetProgramArguments(std::move(arguments));
    RouteHookErrorsToApplication();
    TRecorder::Create();
    {
        TApplication application;
        application.Title = "Tapewright";
        application.CreateForm(Form1, std::move(settingsSystem));
        if (ParamStr(4) == "/D") application.ShowMainForm = false;
        application.Run();
        // The engine goes first: a last notification still finds the window alive, and an
        // error it raises, queued after the message loop, is still shown.
        delete Recorder;
        application.ShowQueuedErrors();
    }
    Form1 = nullptr;
    return 0;
}
