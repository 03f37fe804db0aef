#include "platform/win32/Win32ToolButton.h"

#include "platform/win32/TextConversion.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/WindowClasses.h"
#include "platform/win32/WindowProcedureScope.h"
#include "toolkit/Buttons.h"

namespace {

constexpr wchar_t kClassName[] = L"TapewrightToolButton";
// Space between the glyph and the caption.
constexpr int kSpacing = 4;

int TextHeight(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

}  // namespace

ToolButtonMirror::ToolButtonMirror(TSpeedButton& button, HWND parent)
    : Win32Mirror(button), button_(button) {
    RegisterWindowClass(kClassName, &WindowProc);
    Create(parent, kClassName, 0, 0, this);
    Update();
}

ToolButtonMirror::~ToolButtonMirror() {
    DetachWindowObject(window_);
}

LRESULT CALLBACK ToolButtonMirror::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    WindowProcedureScope scope;
    auto* self = WindowObject<ToolButtonMirror>(window, message, lParam);
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    self->window_ = window;  // also before CreateWindowExW returns it
    return self->Handle(message, wParam, lParam);
}

LRESULT ToolButtonMirror::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_LBUTTONDOWN:
            MouseDown();
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(point);
            return 0;
        case WM_LBUTTONUP:
            MouseUp(point);
            return 0;
        case WM_MOUSELEAVE:
            MouseLeft();
            return 0;
        case WM_CAPTURECHANGED:
            tracking_ = false;
            SetLook(hover_, false);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void ToolButtonMirror::Update() {
    UpdateBounds(control_.Left(), control_.Top(), control_.Width(), control_.Height());
    UpdateVisible();
    enabled_ = button_.Enabled();
    if (!enabled_) {
        hover_ = false;
        pressed_ = false;
    }
    UpdateText(button_.Caption());
    UpdateFont(button_.Font());
    glyph_ = FindGlyph(button_.Glyph(), button_.NumGlyphs());
    InvalidateRect(window_, nullptr, TRUE);
}

void ToolButtonMirror::MouseDown() {
    if (!enabled_) return;
    tracking_ = true;
    SetCapture(window_);
    SetLook(true, true);
}

void ToolButtonMirror::MouseMove(POINT point) {
    if (tracking_) {
        SetLook(Inside(point), Inside(point));
        return;
    }
    if (enabled_) SetLook(true, false);
}

void ToolButtonMirror::MouseUp(POINT point) {
    if (!tracking_) return;
    tracking_ = false;
    bool clicked = Inside(point);
    ReleaseCapture();
    SetLook(clicked, false);
    if (clicked && enabled_) DispatchClick(button_);
}

void ToolButtonMirror::MouseLeft() {
    if (!tracking_) SetLook(false, false);
}

void ToolButtonMirror::SetLook(bool hover, bool pressed) {
    if (hover == hover_ && pressed == pressed_) return;
    if (hover && !hover_) {
        // WM_MOUSELEAVE takes the frame away again.
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
        TrackMouseEvent(&track);
    }
    hover_ = hover;
    pressed_ = pressed;
    InvalidateRect(window_, nullptr, TRUE);
}

bool ToolButtonMirror::Inside(POINT point) const {
    RECT area{};
    GetClientRect(window_, &area);
    return PtInRect(&area, point) != FALSE;
}

void ToolButtonMirror::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    RECT area{};
    GetClientRect(window_, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    PaintFrame(dc, area);
    HGDIOBJ before = SelectObject(dc, Font());
    bool captioned = !button_.Caption().empty();
    int textHeight = captioned ? TextHeight(dc) : 0;
    int glyphHeight = glyph_.normal != nullptr ? glyph_.size.cy : 0;
    int block = glyphHeight + textHeight + (glyphHeight > 0 && captioned ? kSpacing : 0);
    int shift = pressed_ ? 1 : 0;
    int top = (area.bottom - block + 1) / 2 + shift;
    HBITMAP glyph = enabled_ ? glyph_.normal : glyph_.disabled;
    DrawGlyph(dc, glyph, (area.right - glyph_.size.cx + 1) / 2 + shift, top);
    if (captioned) {
        PaintCaption(dc, RECT{shift, top + block - textHeight, area.right + shift, top + block});
    }
    SelectObject(dc, before);
    EndPaint(window_, &paint);
}

void ToolButtonMirror::PaintFrame(HDC dc, const RECT& area) const {
    RECT frame = area;
    if (pressed_) {
        DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    } else if (!button_.Flat()) {
        DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    } else if (hover_ && enabled_) {
        DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
    }
}

// The disabled caption is embossed: a highlight one pixel down and right under the shadow.
void ToolButtonMirror::PaintCaption(HDC dc, RECT area) const {
    std::wstring caption = WideFromProgramText(button_.Caption());
    constexpr UINT kFormat = DT_CENTER | DT_SINGLELINE | DT_TOP;
    SelectFittingFont(dc, button_.Font(), caption, area.right - area.left - 2);
    SetBkMode(dc, TRANSPARENT);
    if (!enabled_) {
        RECT highlight = area;
        OffsetRect(&highlight, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, caption.c_str(), -1, &highlight, kFormat);
    }
    SetTextColor(dc, GetSysColor(enabled_ ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
    DrawTextW(dc, caption.c_str(), -1, &area, kFormat);
}
