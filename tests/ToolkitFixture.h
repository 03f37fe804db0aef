#pragma once
// A headless toolkit for each test: a clean simulated journal, the simulated backend
// installed and an application titled "Tapewright".
#include <gtest/gtest.h>

#include "platform/sim/SimBackend.h"
#include "platform/sim/SimJournal.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"

class ToolkitTest : public ::testing::Test {
  public:
    ToolkitTest() {
        SimJournal::Instance().Reset();
        SetBackend(&sim);
        app.Title = "Tapewright";
    }
    ~ToolkitTest() override { SetBackend(nullptr); }

    SimBackend sim;
    TApplication app;
};

// A dialog laid out like the loop dialog; counts its destructions.
class CountDialog : public TForm {
  public:
    CountDialog() : TForm("CountDialog") {
        label.SetCaption("回数を指定してください。(&R)");
        label.SetFocusControl(&edit);
        check.SetCaption("無限に再生(&A)");
        ok.SetCaption("OK");
        ok.SetModalResult(mrOk);
        cancel.SetCaption("キャンセル(&C)");
        cancel.SetModalResult(mrCancel);
    }
    ~CountDialog() override { ++destroyed; }

    TLabel label{this, "Label1"};
    TEdit edit{this, "Edit1"};
    TCheckBox check{this, "CheckBox1"};
    TButton ok{this, "Button1"};
    TButton cancel{this, "Button2"};

    inline static int destroyed = 0;
};
