// Forms: the close protocol, modal showing through the simulated backend, and release.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/Exception.h"

namespace {

using FormTest = ToolkitTest;

TEST_F(FormTest, CloseAsksCloseQueryThenRunsOnCloseAndHides) {
    CountDialog* form = app.CreateOwnedForm<CountDialog>();
    form->Show();
    bool allow = false;
    std::vector<std::string> calls;
    form->OnCloseQuery = [&](TObject*, bool& canClose) {
        calls.push_back("query");
        canClose = allow;
    };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        calls.push_back(action == caHide ? "close:hide" : "close:?");
    };
    form->Close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(calls, (std::vector<std::string>{"query", "query", "close:hide"}));
    EXPECT_FALSE(app.Terminated());  // not the main form
}

TEST_F(FormTest, ClosingTheMainFormTerminatesUnlessAHandlerFails) {
    TForm* main = nullptr;
    app.CreateForm(main, "Form1");
    main->Show();
    main->OnCloseQuery = [](TObject*, bool&) { throw Exception("書き込めません"); };
    sim.CloseByUser(*main);
    EXPECT_TRUE(main->Visible());
    EXPECT_FALSE(app.Terminated());
    ASSERT_EQ(sim.messageBoxes.size(), 1u);
    EXPECT_EQ(sim.messageBoxes[0].text, "書き込めません.");

    main->OnCloseQuery = nullptr;
    main->OnClose = [](TObject*, TCloseAction& action) { action = caNone; };
    main->Close();
    EXPECT_FALSE(app.Terminated());
    main->OnClose = nullptr;
    main->Close();
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(main->Visible());
}

TEST_F(FormTest, ModalResultComesFromTheClickedButton) {
    CountDialog* dialog = app.CreateOwnedForm<CountDialog>();
    int resultInHandler = -1;
    dialog->ok.OnClick = [&](TObject*) { resultInHandler = dialog->ModalResult(); };
    sim.onModal = [&](TForm& form) {
        EXPECT_TRUE(form.Visible());
        EXPECT_TRUE(dialog->Modal());
        dialog->edit.SetText("3");
        sim.Click(dialog->check);
        sim.Click(dialog->ok);
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(resultInHandler, mrOk);  // set before the handler ran
    EXPECT_EQ(dialog->edit.Text(), "3");
    EXPECT_TRUE(dialog->check.Checked());
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());
    EXPECT_EQ(sim.formEvents, (std::vector<std::string>{"show CountDialog", "hide CountDialog"}));

    sim.onModal = nullptr;  // the user closes the box
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(FormTest, ModalCloseRefusedOrFailingResumesTheLoop) {
    CountDialog* dialog = app.CreateOwnedForm<CountDialog>();
    int rounds = 0;
    sim.onModal = [&](TForm&) {
        ++rounds;
        sim.Click(dialog->ok);
    };
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) {
        if (rounds == 1) throw Exception("x");
        canClose = rounds > 2;
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(rounds, 3);
    EXPECT_EQ(sim.messageBoxes.size(), 1u);
}

TEST_F(FormTest, ReleasedDialogIsDestroyedOnlyWhenQueuedMessagesAreHandled) {
    CountDialog::destroyed = 0;
    CountDialog* dialog = app.CreateOwnedForm<CountDialog>();
    // The loop dialog's close handler: Close (modal: only the result) and Release.
    dialog->OnClose = [&](TObject*, TCloseAction& action) {
        dialog->Close();
        dialog->Release();
        EXPECT_EQ(action, caHide);
    };
    sim.onModal = [&](TForm&) { sim.Click(dialog->ok); };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(CountDialog::destroyed, 0);
    EXPECT_FALSE(dialog->Visible());
    app.ProcessMessages();
    EXPECT_EQ(CountDialog::destroyed, 1);

    CountDialog unowned;  // not the application's: Release leaves it alone
    unowned.Release();
    app.ProcessMessages();
    EXPECT_EQ(CountDialog::destroyed, 1);
}

TEST_F(FormTest, ControlsAreListedInCreationOrderAndLeaveWithTheirForm) {
    CountDialog dialog;
    std::vector<std::string> names;
    for (TControl* control : dialog.Controls()) names.push_back(control->Name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Label1", "Edit1", "CheckBox1", "Button1", "Button2"}));
    {
        TButton extra{&dialog, "Extra"};
        dialog.SetActiveControl(&extra);
        EXPECT_EQ(dialog.Controls().back(), &extra);
    }
    EXPECT_EQ(dialog.Controls().size(), 5u);
    EXPECT_EQ(dialog.ActiveControl(), nullptr);
}

}  // namespace
