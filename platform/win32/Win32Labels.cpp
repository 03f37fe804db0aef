#include "platform/win32/Win32Labels.h"

#include <algorithm>

#include "platform/win32/TextConversion.h"
#include "platform/win32/WindowClasses.h"
#include "platform/win32/WindowProcedureScope.h"

namespace {

constexpr wchar_t kBevelClass[] = L"TapewrightBevel";
// The thickness of a sunken line: a shadow line and a highlight line.
constexpr int kLine = 2;

// The part of a bevel's box that its shape draws on.
RECT ShapeArea(const TBevel& bevel) {
    int left = bevel.Left();
    int top = bevel.Top();
    int right = left + bevel.Width();
    int bottom = top + bevel.Height();
    switch (bevel.Shape()) {
        case bsTopLine:
            return RECT{left, top, right, top + kLine};
        case bsBottomLine:
            return RECT{left, bottom - kLine, right, bottom};
        case bsLeftLine:
            return RECT{left, top, left + kLine, bottom};
        case bsRightLine:
            return RECT{right - kLine, top, right, bottom};
        default:
            return RECT{left, top, right, bottom};
    }
}

UINT EdgeSides(TBevelShape shape) {
    switch (shape) {
        case bsTopLine:
        case bsBottomLine:
            return BF_TOP;
        case bsLeftLine:
        case bsRightLine:
            return BF_LEFT;
        case bsSpacer:
            return 0;
        default:
            return BF_RECT;
    }
}

}  // namespace

LabelMirror::LabelMirror(TLabel& label, HWND parent) : Win32Mirror(label), label_(label) {
    Create(parent, L"STATIC", SS_LEFT | SS_LEFTNOWORDWRAP);
    Update();
}

// The label may reach beyond its box up to the window's edge, as an auto-sized label grows.
void LabelMirror::Update() {
    UpdateText(label_.Caption());
    RECT client{};
    GetClientRect(GetParent(window_), &client);
    int room = std::max<int>(label_.Width(), client.right - label_.Left() - 2);
    UpdateFont(FittingFont(label_.Font(), label_.Caption(), room));
    SIZE text = TextSize();
    UpdateBounds(label_.Left(), label_.Top(), std::max<int>(label_.Width(), text.cx),
                 std::max<int>(label_.Height(), text.cy));
    UpdateVisible();
    UpdateEnabled();
}

SIZE LabelMirror::TextSize() const {
    std::wstring shown = WideFromProgramText(label_.Caption());
    HDC dc = GetDC(window_);
    HGDIOBJ before = SelectObject(dc, Font());
    RECT needed{0, 0, 0, 0};
    DrawTextW(dc, shown.c_str(), -1, &needed, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, before);
    ReleaseDC(window_, dc);
    return SIZE{needed.right, needed.bottom};
}

BevelMirror::BevelMirror(TBevel& bevel, HWND parent) : Win32Mirror(bevel), bevel_(bevel) {
    RegisterWindowClass(kBevelClass, &WindowProc);
    Create(parent, kBevelClass, 0, 0, this);
    Update();
}

BevelMirror::~BevelMirror() {
    DetachWindowObject(window_);
}

LRESULT CALLBACK BevelMirror::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowProcedureScope scope;
    auto* self = WindowObject<BevelMirror>(window, message, lParam);
    if (self != nullptr && message == WM_PAINT) {
        self->Paint();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void BevelMirror::Update() {
    RECT area = ShapeArea(bevel_);
    UpdateBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    UpdateVisible();
    InvalidateRect(window_, nullptr, TRUE);
}

void BevelMirror::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    RECT area{};
    GetClientRect(window_, &area);
    UINT sides = EdgeSides(bevel_.Shape());
    if (sides != 0) DrawEdge(dc, &area, EDGE_ETCHED, sides);
    EndPaint(window_, &paint);
}
