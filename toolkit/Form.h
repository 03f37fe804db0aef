#pragma once
// A top-level window: its frame properties, its controls in creation order, and the
// show, close and modal protocol.
//
// A window class derives from TForm and holds its controls as members constructed with
// `this` as parent (TButton Button1{this, "Button1"};); each control registers itself, so
// Controls() lists them in declaration order. Handlers are bound in the constructor; the
// creation handler OnCreate runs when TApplication::CreateForm has built the form.
#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/Control.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint32_t;  // TBorderIcon flags
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter };
enum TCloseAction { caNone, caHide, caFree };

// Colours at or above 0x80000000 name a system colour.
using TColor = uint32_t;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clBtnFace = 0x8000000F;

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TControl {
  public:
    explicit TForm(std::string name = "");
    ~TForm() override;

    const std::vector<TControl*>& Controls() const { return controls_; }

    int32_t ClientWidth() const { return clientWidth_; }
    void SetClientWidth(int32_t value) { Assign(clientWidth_, value); }
    int32_t ClientHeight() const { return clientHeight_; }
    void SetClientHeight(int32_t value) { Assign(clientHeight_, value); }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value) { Assign(borderStyle_, value); }
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value) { Assign(borderIcons_, value); }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value) { Assign(formStyle_, value); }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition value) { Assign(position_, value); }
    // Whether the form sees key presses before its controls do.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { Assign(keyPreview_, value); }
    TColor Color() const { return color_; }
    void SetColor(TColor value) { Assign(color_, value); }
    // The control with the keyboard focus; none at first.
    TControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TControl* control) { Assign(activeControl_, control); }

    TNotifyEvent OnCreate;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    void SetVisible(bool value) override;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // OnCloseQuery's verdict; true without a handler.
    bool CloseQuery();
    // A modal form only gets ModalResult mrCancel. Otherwise, when OnCloseQuery allows,
    // OnClose runs with caHide and the action it leaves is taken; closing the application's
    // main form hides it and terminates the application. Errors of the handlers propagate
    // and so cancel the close.
    void Close();

    // Shows the form and runs the backend's modal loop until ModalResult is set, then runs
    // the close protocol (OnCloseQuery, OnClose; a refusal or an error resumes the loop),
    // hides the form and returns ModalResult. Needs the application object.
    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    // Destroys the form once the messages queued before have been handled. Only forms the
    // application owns (TApplication::CreateForm) are destroyed.
    void Release();

    // The accelerator letter was pressed: the first enabled, visible control whose caption
    // marks it reacts (a button clicks, a label focuses its FocusControl). False when none.
    bool PressAccelerator(char letter);

    // Identifies the form in messages (TMsg::hwnd).
    uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(this); }

  private:
    friend class TControl;
    void AddControl(TControl* control) { controls_.push_back(control); }
    void RemoveControl(TControl* control);
    void CloseModal();

    std::vector<TControl*> controls_;
    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    bool keyPreview_ = false;
    TColor color_ = clBtnFace;
    TControl* activeControl_ = nullptr;
    bool modal_ = false;
    int modalResult_ = mrNone;
};
