#include "platform/fltk/FltkFormWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>

#include <algorithm>
#include <vector>

#include "platform/fltk/ControlMirror.h"
#include "platform/fltk/X11WindowHints.h"
#include "toolkit/Application.h"

namespace {

// The accelerator letter of a key code ('a'..'z', '0'..'9'); 0 for any other key.
char LetterOf(int key) {
    bool letter = key >= 'a' && key <= 'z';
    bool digit = key >= '0' && key <= '9';
    return letter || digit ? static_cast<char>(key) : 0;
}

bool IsEnter(int key) {
    return key == FL_Enter || key == FL_KP_Enter;
}

}  // namespace

FormWindow::FormWindow(TForm& form)
    : Fl_Double_Window(form.Left(), form.Top(), std::max(form.ClientWidth(), 1),
                       std::max(form.ClientHeight(), 1)),
      form_(&form),
      applied_{form.Left(), form.Top(), form.ClientWidth(), form.ClientHeight()} {
    end();
    resizable(nullptr);
    callback(OnCloseRequest, this);
    AddMissingMirrors();
    Sync();
}

void FormWindow::OnCloseRequest(Fl_Widget*, void* self) {
    // Escape is no close request for these windows; the title bar's close box is.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    TForm* form = static_cast<FormWindow*>(self)->form_;
    if (form != nullptr && Application != nullptr) Application->Dispatch([form] { form->Close(); });
}

void FormWindow::AddMirror(TControl& control) {
    Fl_Group::current(nullptr);  // the widget is placed below, not in whatever group is open
    ControlMirror* mirror = MakeMirror(control);
    if (mirror == nullptr) return;
    mirrors_[&control] = Mirrored{mirror, control.TabOrder()};
    add(mirror->Widget());
}

// Every control of the form gets its widget, also one that was made after the window and
// never changed since.
void FormWindow::AddMissingMirrors() {
    std::size_t before = mirrors_.size();
    for (TControl* control : form_->Controls()) {
        if (!mirrors_.contains(control)) AddMirror(*control);
    }
    if (mirrors_.size() == before) return;
    SortByTabOrder();
    UpdateFocusable();
}

// FLTK moves the focus through the children in their order: that order follows TabOrder.
void FormWindow::SortByTabOrder() {
    std::vector<std::pair<TControl*, Fl_Widget*>> order;
    for (TControl* control : form_->Controls()) {
        auto found = mirrors_.find(control);
        if (found != mirrors_.end()) order.emplace_back(control, &found->second.mirror->Widget());
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.first->TabOrder() < b.first->TabOrder();
    });
    for (std::size_t i = 0; i < order.size(); ++i) insert(*order[i].second, static_cast<int>(i));
}

void FormWindow::Sync() {
    if (form_ == nullptr) return;
    if (label() == nullptr || form_->Caption() != label()) copy_label(form_->Caption().c_str());
    if (!feedingBack_) SyncGeometry();
    if (!shown()) {
        if (form_->BorderStyle() == bsNone) clear_border();
        if (form_->Modal()) {
            set_modal();
        } else {
            clear_modal_states();
        }
    }
    if (shown() && form_->FormStyle() == fsStayOnTop && !stayingOnTop_) {
        stayingOnTop_ = true;
        RequestStayOnTop(*this);
    }
    SyncFocus();
}

void FormWindow::SyncControl(TControl& control) {
    auto found = mirrors_.find(&control);
    if (found == mirrors_.end()) {
        AddMissingMirrors();
        return;
    }
    found->second.mirror->Update(control);
    UpdateFocusable();
    if (found->second.tabOrder != control.TabOrder()) {
        found->second.tabOrder = control.TabOrder();
        SortByTabOrder();
    }
}

bool FormWindow::DropControl(const TControl* control) {
    auto found = mirrors_.find(const_cast<TControl*>(control));
    if (found == mirrors_.end()) return false;
    Fl_Widget& widget = found->second.mirror->Widget();
    mirrors_.erase(found);
    if (activeApplied_ == control) activeApplied_ = nullptr;
    remove(widget);
    redraw();
    // Deleted from the event loop: the widget may be inside its own callback now.
    Fl::delete_widget(&widget);
    return true;
}

void FormWindow::SyncGeometry() {
    Geometry wanted{form_->Left(), form_->Top(), form_->ClientWidth(), form_->ClientHeight()};
    if (wanted == applied_) return;
    bool moved = wanted.left != applied_.left || wanted.top != applied_.top;
    bool resized = wanted.width != applied_.width || wanted.height != applied_.height;
    applied_ = wanted;
    applying_ = true;
    if (moved) force_position(1);
    resize(moved ? wanted.left : x(), moved ? wanted.top : y(), std::max(wanted.width, 1),
           std::max(wanted.height, 1));
    applying_ = false;
    if (resized) UpdateFocusable();
    if (resized && shown()) ApplyFrameHints();  // FLTK rewrote them for the new size
}

// Controls outside the client area are never seen, and so never get the focus.
void FormWindow::UpdateFocusable() {
    for (auto& [control, mirrored] : mirrors_) {
        Fl_Widget& widget = mirrored.mirror->Widget();
        bool inside = widget.x() < w() && widget.y() < h() && widget.x() + widget.w() > 0 &&
                      widget.y() + widget.h() > 0;
        widget.visible_focus(mirrored.mirror->Focusable() && inside ? 1 : 0);
    }
}

void FormWindow::SyncFocus() {
    TControl* active = form_->ActiveControl();
    if (active == activeApplied_) return;
    activeApplied_ = active;
    auto found = mirrors_.find(active);
    if (found != mirrors_.end()) found->second.mirror->Widget().take_focus();
}

void FormWindow::CentreOnScreen() {
    int left = 0, top = 0, width = 0, height = 0;
    Fl::screen_work_area(left, top, width, height, 0);
    applying_ = true;
    position(left + (width - w()) / 2, top + (height - h()) / 2);
    applying_ = false;
}

void FormWindow::ShowForm() {
    if (form_ == nullptr) return;
    AddMissingMirrors();
    Sync();
    bool mapping = !shown();
    if (mapping && form_->Position() == poScreenCenter) CentreOnScreen();
    show();
    if (!mapping) return;
    KeepOwnPosition(*this);
    // As a dialog does when it opens: the first control in tab order takes the focus.
    if (activeApplied_ == nullptr && !contains(Fl::focus())) take_focus();
    ApplyFrameHints();
    stayingOnTop_ = form_->FormStyle() == fsStayOnTop;
    if (stayingOnTop_) {
        SetStayOnTopProperty(*this);
        aboveRequestDue_ = true;
    }
    FeedBackPosition();
}

void FormWindow::ApplyFrameHints() {
    if (form_ != nullptr) SetFrameHints(*this, form_->BorderStyle(), form_->BorderIcons());
}

int FormWindow::handle(int event) {
    int handled = event == FL_SHORTCUT ? HandleShortcut() : Fl_Double_Window::handle(event);
    if (form_ != nullptr) FeedBackFocus();
    return handled;
}

// A key that the focused widget left. These windows have no default button: Enter that no
// control takes does nothing. FLTK's groups would move the focus on, onto a button that the
// next Enter presses.
int FormWindow::HandleShortcut() {
    if (PressAccelerator() || IsEnter(Fl::event_key())) return 1;
    return Fl_Double_Window::handle(FL_SHORTCUT);
}

// Alt+letter always; the letter alone only while the focus is on a button (or nowhere),
// which, unlike lists and fields, has no use for typed letters.
bool FormWindow::PressAccelerator() {
    if (form_ == nullptr || Application == nullptr) return false;
    if (Fl::event_state(FL_CTRL | FL_META) != 0) return false;
    char letter = LetterOf(Fl::event_key());
    if (letter == 0) return false;
    if (Fl::event_state(FL_ALT) == 0 && !BareLetterAllowed()) return false;
    bool pressed = false;
    TForm* form = form_;
    Application->Dispatch([form, letter, &pressed] { pressed = form->PressAccelerator(letter); });
    return pressed;
}

bool FormWindow::BareLetterAllowed() const {
    Fl_Widget* focus = Fl::focus();
    return focus == nullptr || focus->window() != this ||
           dynamic_cast<Fl_Button*>(focus) != nullptr;
}

void FormWindow::FeedBackFocus() {
    if (Application == nullptr) return;
    Fl_Widget* focus = Fl::focus();
    if (focus == lastFocus_) return;
    lastFocus_ = focus;
    for (auto& [control, mirrored] : mirrors_) {
        if (&mirrored.mirror->Widget() != focus) continue;
        activeApplied_ = control;
        TForm* form = form_;
        TControl* active = control;
        Application->Dispatch([form, active] { form->SetActiveControl(active); });
        return;
    }
}

void FormWindow::resize(int x, int y, int w, int h) {
    Fl_Double_Window::resize(x, y, w, h);
    if (!applying_) FeedBackPosition();
}

// The window manager placed or moved the window: Left and Top follow.
void FormWindow::FeedBackPosition() {
    if (form_ == nullptr || Application == nullptr) return;
    if (x() == applied_.left && y() == applied_.top) return;
    applied_.left = x();
    applied_.top = y();
    TForm* form = form_;
    int left = x();
    int top = y();
    feedingBack_ = true;
    Application->Dispatch([form, left, top] {
        form->SetLeft(left);
        form->SetTop(top);
    });
    feedingBack_ = false;
}

// The first flush comes after the first expose, so the window is mapped by now: the
// window manager takes a state request only for a mapped window.
void FormWindow::flush() {
    if (aboveRequestDue_) {
        aboveRequestDue_ = false;
        RequestStayOnTop(*this);
    }
    Fl_Double_Window::flush();
}
