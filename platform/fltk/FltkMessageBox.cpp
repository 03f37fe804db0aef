#include "platform/fltk/FltkMessageBox.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

#include "platform/fltk/FltkText.h"
#include "toolkit/Dialogs.h"

namespace {

constexpr int kMargin = 14;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kTextSize = 12;
constexpr int kMinTextWidth = 160;

// The icon of the box's kind, drawn with FLTK's primitives.
class MessageIcon : public Fl_Widget {
  public:
    MessageIcon(int x, int y, uint32_t kind) : Fl_Widget(x, y, kIconSize, kIconSize), kind_(kind) {}

    void draw() override {
        switch (kind_) {
            case kMbIconError:
                DrawDisc(FL_RED, FL_DARK_RED);
                DrawCross();
                break;
            case kMbIconWarning:
                DrawTriangle();
                break;
            case kMbIconInformation:
                DrawDisc(fl_rgb_color(0x2F, 0x6F, 0xD0), FL_DARK_BLUE);
                DrawMark("i", FL_WHITE);
                break;
            default:
                break;
        }
    }

  private:
    void DrawDisc(Fl_Color fill, Fl_Color edge) {
        fl_color(fill);
        fl_pie(x(), y(), w(), h(), 0, 360);
        fl_color(edge);
        fl_arc(x(), y(), w(), h(), 0, 360);
    }

    void DrawCross() {
        fl_color(FL_WHITE);
        fl_line_style(FL_SOLID | FL_CAP_ROUND, 4);
        int inset = 10;
        fl_line(x() + inset, y() + inset, x() + w() - inset, y() + h() - inset);
        fl_line(x() + w() - inset, y() + inset, x() + inset, y() + h() - inset);
        fl_line_style(0);
    }

    void DrawTriangle() {
        fl_color(FL_YELLOW);
        fl_polygon(x() + w() / 2, y() + 1, x() + w() - 1, y() + h() - 2, x(), y() + h() - 2);
        fl_color(FL_BLACK);
        fl_loop(x() + w() / 2, y() + 1, x() + w() - 1, y() + h() - 2, x(), y() + h() - 2);
        DrawMark("!", FL_BLACK);
    }

    void DrawMark(const char* mark, Fl_Color color) {
        fl_color(color);
        fl_font(FL_HELVETICA_BOLD, 20);
        fl_draw(mark, x(), y() + 4, w(), h() - 4, FL_ALIGN_CENTER, nullptr, 0);
    }

    uint32_t kind_;
};

// Where the parts of the box go: the icon at the top left, the text beside it, the buttons
// centred below.
struct MessageLayout {
    int textWidth = 0;
    int textHeight = 0;
    int buttons = 1;

    int ButtonsWidth() const { return buttons * kButtonWidth + (buttons - 1) * kButtonGap; }
    int Width() const {
        return std::max(kMargin * 3 + kIconSize + textWidth, kMargin * 2 + ButtonsWidth());
    }
    int Height() const { return kMargin * 3 + textHeight + kButtonHeight; }
};

MessageLayout LayoutFor(const std::string& text, int buttons) {
    fl_font(FL_HELVETICA, kTextSize);
    int width = 0;
    int height = 0;
    fl_measure(text.c_str(), width, height, 0);
    return MessageLayout{std::max(width, kMinTextWidth), std::max(height, kIconSize), buttons};
}

// The box's window. Escape and the close box give the answer of the last button.
class MessageWindow : public Fl_Double_Window {
  public:
    MessageWindow(const MessageLayout& layout, uint32_t flags)
        : Fl_Double_Window(layout.Width(), layout.Height()), layout_(layout) {
        end();
        callback(OnButton, reinterpret_cast<void*>(
                               static_cast<intptr_t>(layout.buttons > 1 ? kIdCancel : kIdOk)));
        add(new MessageIcon(kMargin, kMargin, flags & kMbIconMask));
    }

    void AddText(const std::string& text) {
        auto* box =
            new Fl_Box(kMargin * 2 + kIconSize, kMargin, layout_.textWidth, layout_.textHeight);
        box->copy_label(LiteralLabel(text).c_str());
        box->labelsize(kTextSize);
        box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        add(box);
    }

    void AddButtons() {
        int left = (w() - layout_.ButtonsWidth()) / 2;
        int top = h() - kMargin - kButtonHeight;
        AddButton(new Fl_Return_Button(left, top, kButtonWidth, kButtonHeight, "OK"), kIdOk);
        if (layout_.buttons < 2) return;
        left += kButtonWidth + kButtonGap;
        AddButton(new Fl_Button(left, top, kButtonWidth, kButtonHeight, "キャンセル"), kIdCancel);
    }

    int Run() {
        set_modal();
        position((Fl::w() - w()) / 2, (Fl::h() - h()) / 2);
        show();
        while (shown()) Fl::wait();
        return answer_;
    }

  private:
    void AddButton(Fl_Button* button, int answer) {
        button->labelsize(kTextSize);
        button->callback(OnButton, reinterpret_cast<void*>(static_cast<intptr_t>(answer)));
        add(button);
    }

    static void OnButton(Fl_Widget* widget, void* answer) {
        Fl_Window* window = widget->as_window() != nullptr ? widget->as_window() : widget->window();
        auto* box = static_cast<MessageWindow*>(window);
        box->answer_ = static_cast<int>(reinterpret_cast<intptr_t>(answer));
        box->hide();
    }

    MessageLayout layout_;
    int answer_ = kIdOk;
};

}  // namespace

int RunMessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    fl_open_display();
    int buttons = (flags & kMbButtonMask) == kMbOkCancel ? 2 : 1;
    MessageWindow window(LayoutFor(text, buttons), flags);
    window.copy_label(caption.c_str());
    window.AddText(text);
    window.AddButtons();
    return window.Run();
}
