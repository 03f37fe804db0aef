#pragma once
// The drop-down list (a COMBOBOX with CBS_DROPDOWNLIST) and the list box. The user's
// selection is fed back to the control's ItemIndex.
#include <string>
#include <vector>

#include "platform/win32/Win32ControlMirror.h"

class TComboBox;
class TListBox;

// Height is the closed box's; its list drops below it, as many items high as a drop-down
// shows.
class ComboBoxMirror : public Win32Mirror {
  public:
    ComboBoxMirror(TComboBox& combo, HWND parent);

    void Update() override;
    void Command(WORD code) override;

  private:
    void SetItems(const std::vector<std::string>& items);

    TComboBox& combo_;
    std::vector<std::string> items_;
    int height_ = -1;  // the closed box's height as applied
};

class ListBoxMirror : public Win32Mirror {
  public:
    ListBoxMirror(TListBox& list, HWND parent);

    void Update() override;
    void Command(WORD code) override;

  private:
    void SetItems(const std::vector<std::string>& items);

    TListBox& list_;
    std::vector<std::string> items_;
};
