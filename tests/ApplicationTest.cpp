// The application object: the error report, queued errors, the message filter, the
// message loop and form creation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitFixture.h"
#include "engine/Journal.h"
#include "toolkit/Exception.h"

namespace {

using ApplicationTest = ToolkitTest;

TEST_F(ApplicationTest, ErrorBoxAppendsStopWhenLastCharacterSortsAfterIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "abc."},
        {"x.", "x."},
        {"x-", "x-"},
        {"(1)", "(1)"},
        {"x/", "x/."},
        {"", ""},
        {"ファイル C:\\a.mcr は開けません", "ファイル C:\\a.mcr は開けません."},
        {"再生できません。", "再生できません。."},
    };
    for (const auto& [text, shown] : cases) {
        app.HandleException(Exception(text));
        ASSERT_FALSE(sim.messageBoxes.empty());
        EXPECT_EQ(sim.messageBoxes.back(),
                  (SimBackend::MessageBoxCall{shown, "Tapewright", kMbOk | kMbIconError}))
            << text;
    }
}

TEST_F(ApplicationTest, DispatchReportsWhatAHandlerThrows) {
    TForm form;
    TButton button{&form, "Button"};
    int clicks = 0;
    button.OnClick = [&](TObject*) {
        ++clicks;
        throw Exception("'x' は数値ではありません");
    };
    sim.Click(button);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(sim.messageBoxes.size(), 1u);
    EXPECT_EQ(sim.messageBoxes[0].text, "'x' は数値ではありません.");
    EXPECT_TRUE(app.Dispatch([] {}));
    EXPECT_FALSE(app.Dispatch([] { throw 42; }));
    EXPECT_EQ(sim.messageBoxes.back().text, "?.");
}

// At logout nobody answers a message box: one would keep the program from ending.
TEST_F(ApplicationTest, EndingSessionRunsTheCloseQueryAndShowsNoErrorBox) {
    TForm* form = nullptr;
    app.CreateForm(form);
    int queries = 0;
    form->OnCloseQuery = [&](TObject*, bool&) {
        ++queries;
        throw Exception("Tapewright.ini に書き込めません");
    };
    app.EndSession();
    EXPECT_EQ(queries, 1);
    app.QueueError("later");
    app.ProcessMessages();
    EXPECT_TRUE(sim.messageBoxes.empty());
}

TEST_F(ApplicationTest, QueuedErrorsAreShownOnceFromTheMessageLoopOrAfterIt) {
    app.QueueError("マクロを記録できません");
    app.QueueError("second");
    EXPECT_TRUE(sim.messageBoxes.empty());  // never from inside the callback
    app.ProcessMessages();
    ASSERT_EQ(sim.messageBoxes.size(), 2u);
    EXPECT_EQ(sim.messageBoxes[0].text, "マクロを記録できません.");
    EXPECT_EQ(sim.messageBoxes[1].text, "second.");
    app.ProcessMessages();
    EXPECT_EQ(sim.messageBoxes.size(), 2u);

    // Queued when no message loop will run again.
    app.QueueError("third");
    app.QueueError("fourth");
    app.ShowQueuedErrors();
    app.ProcessMessages();
    ASSERT_EQ(sim.messageBoxes.size(), 4u);
    EXPECT_EQ(sim.messageBoxes[2].text, "third.");
    EXPECT_EQ(sim.messageBoxes[3].text, "fourth.");
}

TEST_F(ApplicationTest, FilterSeesEveryMessageBeforeItsDispatch) {
    std::vector<uint32_t> seen;
    std::size_t boxesWhenSeen = 99;
    app.OnMessage = [&](TMsg& message, bool& handled) {
        seen.push_back(message.message);
        if (message.message == msg::kShowQueuedError) {
            boxesWhenSeen = sim.messageBoxes.size();
            handled = message.wParam % 2 == 0;  // the second error is swallowed
        }
    };
    SimJournal::Instance().PostedMessages().push_back(PostedMessage{msg::kCancelJournal, 0, 0});
    app.QueueError("one");
    app.QueueError("two");
    app.ProcessMessages();
    EXPECT_EQ(seen, (std::vector<uint32_t>{msg::kShowQueuedError, msg::kShowQueuedError,
                                           msg::kCancelJournal}));
    EXPECT_EQ(boxesWhenSeen, 1u);
    ASSERT_EQ(sim.messageBoxes.size(), 1u);
    EXPECT_EQ(sim.messageBoxes[0].text, "one.");
    EXPECT_TRUE(SimJournal::Instance().PostedMessages().empty());
}

class FailingCreateForm : public TForm {
  public:
    FailingCreateForm() : TForm("Form1") {
        OnCreate = [this](TObject*) {
            mainDuringCreate = Application->MainForm();
            throw Exception("作成できません");
        };
    }
    TForm* mainDuringCreate = this;
};

TEST_F(ApplicationTest, CreationErrorIsShownAndTheFormStaysMain) {
    FailingCreateForm* form = nullptr;
    app.CreateForm(form);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->mainDuringCreate, nullptr);
    EXPECT_EQ(app.MainForm(), form);
    ASSERT_EQ(sim.messageBoxes.size(), 1u);
    EXPECT_EQ(sim.messageBoxes[0].text, "作成できません.");
    CountDialog* second = nullptr;
    app.CreateForm(second);
    EXPECT_EQ(app.MainForm(), form);
}

int32_t EndlessPlayback(int32_t code, uintptr_t, intptr_t lParam) {
    if (code == kHookGetNext) *reinterpret_cast<EVENTMSG*>(lParam) = EVENTMSG{msg::kMouseMove};
    return 0;
}

TEST_F(ApplicationTest, RunDrivesPlaybackUntilTheJournalCancelClosesTheMainForm) {
    TForm* main = nullptr;
    app.CreateForm(main, "Form1");
    app.OnMessage = [&](TMsg& message, bool&) {
        if (message.message == msg::kCancelJournal) main->Close();
    };
    SimJournal& journal = SimJournal::Instance();
    journal.Install(JournalHookType::Playback, EndlessPlayback);
    sim.playback.onDelivered = [&](const SimJournal::Delivery&) {
        if (journal.Deliveries().size() == 3) journal.CancelJournal();
    };
    app.Run();
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(journal.Deliveries().size(), 3u);
    EXPECT_EQ(sim.formEvents, (std::vector<std::string>{"show Form1", "hide Form1"}));
}

TEST_F(ApplicationTest, RunEndsWhenNothingCanHappenAndMayKeepTheMainFormHidden) {
    TForm* main = nullptr;
    app.CreateForm(main, "Form1");
    app.ShowMainForm = false;
    int actions = 0;
    sim.Schedule([&] { ++actions; });
    app.Run();
    EXPECT_EQ(actions, 1);
    EXPECT_FALSE(app.Terminated());
    EXPECT_FALSE(main->Visible());
    EXPECT_TRUE(sim.formEvents.empty());
}

TEST_F(ApplicationTest, HelpCommandAsksTheBackendForTheHelpFile) {
    app.HelpFile = "TAPEWRT.HLP";
    app.HelpCommand(kHelpContents, 0);
    EXPECT_EQ(sim.helpCalls,
              (std::vector<SimBackend::HelpCall>{{"TAPEWRT.HLP", kHelpContents, 0}}));
}

}  // namespace
