#pragma once
// The whole program over the simulated journal and the headless backend: the engine, the
// application titled "Tapewright" and the main window, created and wired as the program
// entry does, with the settings file in a scratch directory.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "engine/EventMsg.h"
#include "engine/Recorder.h"
#include "platform/sim/SimBackend.h"
#include "platform/sim/SimJournal.h"
#include "toolkit/Application.h"
#include "ui/CommandLine.h"
#include "ui/MainForm.h"
#include "ui/ProgramEntry.h"

class UiTest : public ::testing::Test {
  public:
    UiTest() {
        SimJournal::Instance().Reset();
        SetBackend(&sim);
    }
    ~UiTest() override {
        delete Recorder;
        app.reset();
        Form1 = nullptr;
        SetBackend(nullptr);
    }

    // Creates the engine, the application and the main window with these arguments.
    void Start(std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), ExecutablePath());
        SetProgramArguments(std::move(arguments));
        RouteHookErrorsToApplication();
        TRecorder::Create();
        app = std::make_unique<TApplication>();
        app->Title = "Tapewright";
        app->CreateForm(Form1, Settings());
        form = Form1;
    }

    std::string ExecutablePath() const { return scratch.File("tapewright"); }
    std::string SettingsFile() const { return scratch.File("Tapewright.ini"); }
    // The settings store's system, beside the scratch executable; fixtures may replace parts.
    virtual TIniQuillSystem Settings() const {
        TIniQuillSystem system;
        std::string path = ExecutablePath();
        system.executablePath = [path] { return path; };
        return system;
    }

    // Opens a file through the Open button's file dialog.
    void Open(const std::string& path) {
        sim.AnswerFileDialog(path);
        sim.Click(form->Button1);
    }

    // A macro file of mouse moves stored at the given times.
    std::string MakeMacro(const std::string& name, const std::vector<uint32_t>& times) {
        std::string bytes;
        uint32_t x = 0;
        for (uint32_t time : times) {
            uint8_t record[kEventMsgSize];
            EncodeEvent(EVENTMSG{msg::kMouseMove, x++, 0, time, 0}, record);
            bytes.append(reinterpret_cast<const char*>(record), kEventMsgSize);
        }
        WriteBytes(scratch.File(name), bytes);
        return scratch.File(name);
    }

    // The enabled buttons among Play, Loop, Record, R-Stop, Save and Open.
    std::string Enabled() const {
        std::string names;
        auto add = [&](const TControl& button, const char* name) {
            if (!button.Enabled()) return;
            if (!names.empty()) names += ", ";
            names += name;
        };
        add(form->PlayButton, "Play");
        add(form->Loop, "Loop");
        add(form->RecordButton, "Record");
        add(form->StopButton, "R-Stop");
        add(form->New1, "Save");
        add(form->Button1, "Open");
        return names;
    }

    // Plays until `deliveries` records have reached the sink (a pass of n records ends with
    // its n-th delivery).
    void Deliver(std::size_t deliveries) {
        SimJournal::PlaybackOptions options;
        options.maxDeliveries = deliveries;
        journal.RunPlayback(options);
    }

    // The messages the platform would show, in order.
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& box : sim.messageBoxes) texts.push_back(box.text);
        return texts;
    }

    SimJournal& journal = SimJournal::Instance();
    SimBackend sim;
    ScratchDirectory scratch;
    std::unique_ptr<TApplication> app;
    TForm1* form = nullptr;
};
