#pragma once
// The FLTK window of one toolkit form: it carries the form's frame (caption, client size,
// position, border, stacking, modality) and one widget per control, and hands the user's
// requests back to the toolkit: closing through TForm::Close, accelerator keys through
// TForm::PressAccelerator, a moved window to Left/Top, a focused widget to ActiveControl.
// Everything reaches the toolkit through Application->Dispatch.
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <map>

#include "toolkit/Form.h"

class ControlMirror;

class FormWindow : public Fl_Double_Window {
  public:
    explicit FormWindow(TForm& form);

    // The form's own properties changed.
    void Sync();
    // control (one of the form's) changed; its widget is made when it has none.
    void SyncControl(TControl& control);
    // Removes control's widget; false when it has none here.
    bool DropControl(const TControl* control);
    // The form is gone: nothing may reach it any more.
    void Orphan() { form_ = nullptr; }

    void ShowForm();
    void HideForm() { hide(); }

    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;
    void flush() override;

  private:
    struct Geometry {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };

    struct Mirrored {
        ControlMirror* mirror = nullptr;
        int32_t tabOrder = 0;
    };

    static void OnCloseRequest(Fl_Widget* widget, void* self);
    void AddMirror(TControl& control);
    void AddMissingMirrors();
    void SortByTabOrder();
    void SyncGeometry();
    void SyncFocus();
    void UpdateFocusable();
    void CentreOnScreen();
    void ApplyFrameHints();
    int HandleShortcut();
    bool PressAccelerator();
    bool BareLetterAllowed() const;
    void FeedBackFocus();
    void FeedBackPosition();

    TForm* form_;
    std::map<TControl*, Mirrored> mirrors_;
    Geometry applied_;
    TControl* activeApplied_ = nullptr;
    Fl_Widget* lastFocus_ = nullptr;
    bool applying_ = false;         // a resize of ours, not the window manager's
    bool feedingBack_ = false;      // the toolkit is being told of a move
    bool stayingOnTop_ = false;     // the window manager was asked to keep it above
    bool aboveRequestDue_ = false;  // ... and will be at the first flush
};
