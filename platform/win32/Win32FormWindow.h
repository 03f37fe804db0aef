#pragma once
// The window of one toolkit form: it carries the form's frame (caption, client size,
// position, border, stacking) and one native control per toolkit control, and hands the
// user's requests back to the toolkit: closing through TForm::Close (the end of the session
// through TForm::CloseQuery and a journal cancel), accelerator keys
// through TForm::PressAccelerator, a moved window to Left/Top, a focused control to
// ActiveControl. Everything reaches the toolkit through Application->Dispatch.
//
// Keys: the message loop is the plain one, so the window moves the focus on Tab itself and
// matches Alt+letter (and a bare letter while a button has the focus) through the toolkit.
// There is no default button: Enter presses only a focused push button.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Form.h"

class ToolTips;
class Win32Mirror;

class Win32FormWindow {
  public:
    // owner: the window that a dialog stays above (the main form's), or null.
    Win32FormWindow(TForm& form, HWND owner);
    ~Win32FormWindow();
    Win32FormWindow(const Win32FormWindow&) = delete;
    Win32FormWindow& operator=(const Win32FormWindow&) = delete;

    HWND Handle() const { return window_; }

    // The form's own properties changed.
    void Sync();
    // control (one of the form's) changed; its window is made when it has none.
    void SyncControl(TControl& control);
    // Removes control's window; false when it has none here.
    bool DropControl(const TControl* control);
    // The form is gone: nothing may reach it any more.
    void Orphan() { form_ = nullptr; }

    void ShowForm();
    void HideForm();

  private:
    struct Geometry {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };
    struct Mirrored {
        Win32Mirror* mirror = nullptr;
        int32_t tabOrder = 0;
    };
    struct Styles {
        DWORD style = 0;
        DWORD extended = 0;
        friend bool operator==(const Styles&, const Styles&) = default;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleKey(Win32Mirror* from, UINT message, WPARAM key);
    bool PressAccelerator(char letter);
    void Command(HWND child, WORD code);
    void ChildFocused(HWND child);
    void Activated(WPARAM state);
    void RequestClose();
    bool IsMainWindow() const;
    bool QueryEndSession();
    void EndSession();

    Win32Mirror* MirrorOf(HWND child) const;
    void AddMirror(TControl& control);
    void AddMissingMirrors();
    void SortByTabOrder();
    void UpdateTabStops();
    void SyncStyles();
    void SyncGeometry();
    void SyncFocus();
    void MoveFocus(bool backwards);
    void FocusControlWindow(Win32Mirror& mirror, bool selectAll);
    void CentreOnScreen();
    void FeedBackPosition();

    TForm* form_;
    HWND window_ = nullptr;
    std::map<TControl*, Mirrored> mirrors_;
    std::unique_ptr<ToolTips> tips_;
    std::wstring caption_;
    Styles styles_;
    Geometry applied_;
    bool everShown_ = false;
    TControl* activeApplied_ = nullptr;
    HWND focusOnDeactivation_ = nullptr;
    bool applying_ = false;     // a move of ours, not the user's
    bool feedingBack_ = false;  // the toolkit is being told of a move
};
