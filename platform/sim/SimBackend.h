#pragma once
// The headless backend: controls exist only as toolkit state. File dialogs, message boxes
// and modal loops answer from a script that a test sets, and what would have been shown is
// recorded. The message loop is fed by the simulated journal (playback runs, posted
// journal messages) and by scheduled user actions. Install it with SetBackend(&backend).
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimJournal.h"
#include "toolkit/Backend.h"
#include "toolkit/Form.h"

class SimBackend : public Backend {
  public:
    struct MessageBoxCall {
        std::string text;
        std::string caption;
        uint32_t flags = 0;

        friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
    };
    struct HelpCall {
        std::string file;
        uint32_t command = 0;
        uintptr_t data = 0;

        friend bool operator==(const HelpCall&, const HelpCall&) = default;
    };

    // Script. File dialogs take the answers in order; with none left they are cancelled.
    void AnswerFileDialog(std::string path) { fileAnswers_.emplace_back(std::move(path)); }
    void CancelFileDialog() { fileAnswers_.emplace_back(std::nullopt); }
    // The user's actions while a form is modal (set ModalResult, click its buttons...).
    std::function<void(TForm&)> onModal;
    // The modal result when onModal leaves none, as if the user closed the box.
    int modalResult = mrCancel;
    // How WaitForEvents drives an installed playback hook.
    SimJournal::PlaybackOptions playback;
    // A user action for a later WaitForEvents, run through Application->Dispatch.
    void Schedule(std::function<void()> action) { scheduled_.push_back(std::move(action)); }

    // What the user does, delivered as a platform delivers it.
    void Click(TControl& control);
    void CloseByUser(TForm& form);

    // Records.
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<HelpCall> helpCalls;
    std::vector<std::string> fileDialogTitles;
    std::vector<std::string> formEvents;  // "show <name>" and "hide <name>", in order
    int controlChanges = 0;

    // Backend.
    void ControlChanged(TControl&) override { ++controlChanges; }
    void ControlDestroyed(TControl&) override {}
    void FormShown(TForm& form) override { formEvents.push_back("show " + form.Name()); }
    void FormHidden(TForm& form) override { formEvents.push_back("hide " + form.Name()); }
    void RunModal(TForm& form) override;
    bool ExecuteFileDialog(TFileDialog& dialog) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t flags) override;
    bool ShowHelp(const std::string& file, uint32_t command, uintptr_t data) override;
    // Called for each repaint a handler asks for.
    std::function<void()> onRepaint;
    void Repaint() override {
        if (onRepaint) onRepaint();
    }
    // Moves the journal's posted messages into the application's queue.
    void PumpEvents() override { MovePostedMessages(); }
    // Runs the next scheduled action; else drives an installed playback hook and moves the
    // posted messages. False when there was nothing to do.
    bool WaitForEvents() override;

  private:
    std::size_t MovePostedMessages();

    std::deque<std::optional<std::string>> fileAnswers_;
    std::deque<std::function<void()>> scheduled_;
};
