#pragma once
// The system's common dialogs: open and save file dialogs, and the message box.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Control.h"

enum TOpenOption : uint32_t {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofNoValidate = 1u << 4,
    ofPathMustExist = 1u << 5,
    ofFileMustExist = 1u << 6,
    ofCreatePrompt = 1u << 7,
    ofNoReadOnlyReturn = 1u << 8,
    ofEnableSizing = 1u << 9,
};
using TOpenOptions = uint32_t;  // TOpenOption flags

enum class FileDialogKind { Open, Save };

// One entry of a dialog's filter: the text shown and its patterns ("*.mcr;*.mlf").
struct TFileFilter {
    std::string text;
    std::string pattern;

    friend bool operator==(const TFileFilter&, const TFileFilter&) = default;
};

class TFileDialog : public TObject {
  public:
    explicit TFileDialog(FileDialogKind kind) : kind_(kind) {}

    std::string Title;
    // "text|pattern|text|pattern..."
    std::string Filter;
    // 1-based index of the filter selected when the dialog opens.
    int FilterIndex = 1;
    // Appended, after a ".", to a name without extension typed into a save dialog.
    std::string DefaultExt;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
    // The chosen path after Execute returned true.
    std::string FileName;

    FileDialogKind Kind() const { return kind_; }
    // Filter split into its entries; a text without a pattern is dropped.
    std::vector<TFileFilter> Filters() const;
    // The name a save dialog returns for the typed path: with DefaultExt when its file name
    // has no extension. An open dialog returns the chosen file as it is.
    std::string WithDefaultExt(const std::string& path) const;

    // Shows the dialog through the backend; false when the user cancelled.
    bool Execute();

  private:
    FileDialogKind kind_;
};

class TOpenDialog : public TFileDialog {
  public:
    TOpenDialog() : TFileDialog(FileDialogKind::Open) {}
};

class TSaveDialog : public TFileDialog {
  public:
    TSaveDialog() : TFileDialog(FileDialogKind::Save) {}
};

// Message box flags and answers, with the system's values.
inline constexpr uint32_t kMbOk = 0x00;
inline constexpr uint32_t kMbOkCancel = 0x01;
inline constexpr uint32_t kMbButtonMask = 0x0F;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbIconMask = 0xF0;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Shows a message box through the backend and returns the button pressed.
int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags);
