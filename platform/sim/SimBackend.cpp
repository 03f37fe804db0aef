#include "platform/sim/SimBackend.h"

#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

void SimBackend::Click(TControl& control) {
    Application->Dispatch([&control] { control.Click(); });
}

void SimBackend::CloseByUser(TForm& form) {
    Application->Dispatch([&form] { form.Close(); });
}

void SimBackend::RunModal(TForm& form) {
    if (onModal) Application->Dispatch([this, &form] { onModal(form); });
    if (form.ModalResult() == mrNone) form.SetModalResult(modalResult);
}

bool SimBackend::ExecuteFileDialog(TFileDialog& dialog) {
    fileDialogTitles.push_back(dialog.Title);
    if (fileAnswers_.empty()) return false;
    std::optional<std::string> answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    if (!answer) return false;
    dialog.FileName = dialog.WithDefaultExt(*answer);
    return true;
}

int SimBackend::ShowMessageBox(const std::string& text, const std::string& caption,
                               uint32_t flags) {
    messageBoxes.push_back(MessageBoxCall{text, caption, flags});
    return kIdOk;
}

bool SimBackend::ShowHelp(const std::string& file, uint32_t command, uintptr_t data) {
    helpCalls.push_back(HelpCall{file, command, data});
    return true;
}

bool SimBackend::WaitForEvents() {
    if (!scheduled_.empty()) {
        std::function<void()> action = std::move(scheduled_.front());
        scheduled_.pop_front();
        Application->Dispatch(action);
        return true;
    }
    SimJournal& journal = SimJournal::Instance();
    bool played = journal.IsInstalled(JournalHookType::Playback);
    if (played) journal.RunPlayback(playback);
    return MovePostedMessages() > 0 || played;
}

std::size_t SimBackend::MovePostedMessages() {
    SimJournal& journal = SimJournal::Instance();
    std::deque<PostedMessage>& posted = journal.PostedMessages();
    std::size_t moved = posted.size();
    for (const PostedMessage& message : posted) {
        Application->Post(
            TMsg{0, message.message, message.wParam, message.lParam, journal.Tick(), {}});
    }
    posted.clear();
    return moved;
}
