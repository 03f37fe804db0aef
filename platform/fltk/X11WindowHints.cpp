#include "platform/fltk/X11WindowHints.h"

#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>

namespace {

// The Motif window-manager hint bits.
enum : unsigned long {
    kHintFunctions = 1,
    kHintDecorations = 2,
    kFuncResize = 2,
    kFuncMove = 4,
    kFuncMinimize = 8,
    kFuncMaximize = 16,
    kFuncClose = 32,
    kDecorBorder = 2,
    kDecorResizeHandle = 4,
    kDecorTitle = 8,
    kDecorMenu = 16,
    kDecorMinimize = 32,
    kDecorMaximize = 64,
};

struct MotifHints {
    unsigned long flags = kHintFunctions | kHintDecorations;
    unsigned long functions = kFuncMove;
    unsigned long decorations = kDecorBorder;
    unsigned long inputMode = 0;
    unsigned long status = 0;
};

bool IsSizeable(TFormBorderStyle style) {
    return style == bsSizeable || style == bsSizeToolWin;
}

// A dialog border and the tool-window borders have no minimise or maximise box.
bool HasMinMaxBoxes(TFormBorderStyle style) {
    return style == bsSingle || style == bsSizeable;
}

MotifHints HintsFor(TFormBorderStyle style, TBorderIcons icons) {
    MotifHints hints;
    if (style != bsNone) hints.decorations |= kDecorTitle;
    if (IsSizeable(style)) {
        hints.functions |= kFuncResize;
        hints.decorations |= kDecorResizeHandle;
    }
    if ((icons & biSystemMenu) != 0) {
        hints.functions |= kFuncClose;
        hints.decorations |= kDecorMenu;
    }
    bool boxes = HasMinMaxBoxes(style) && (icons & biSystemMenu) != 0;
    if (boxes && (icons & biMinimize) != 0) {
        hints.functions |= kFuncMinimize;
        hints.decorations |= kDecorMinimize;
    }
    if (boxes && (icons & biMaximize) != 0) {
        hints.functions |= kFuncMaximize;
        hints.decorations |= kDecorMaximize;
    }
    return hints;
}

Atom Intern(const char* name) {
    return XInternAtom(fl_display, name, False);
}

}  // namespace

void SetFrameHints(Fl_Window& window, TFormBorderStyle style, TBorderIcons icons) {
    Window xid = fl_xid(&window);
    if (xid == 0) return;
    MotifHints hints = HintsFor(style, icons);
    Atom property = Intern("_MOTIF_WM_HINTS");
    XChangeProperty(fl_display, xid, property, property, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
}

void SetStayOnTopProperty(Fl_Window& window) {
    Window xid = fl_xid(&window);
    if (xid == 0) return;
    Atom above = Intern("_NET_WM_STATE_ABOVE");
    // Appended: FLTK may have put the modal state there already.
    XChangeProperty(fl_display, xid, Intern("_NET_WM_STATE"), XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<unsigned char*>(&above), 1);
}

void RequestStayOnTop(Fl_Window& window) {
    Window xid = fl_xid(&window);
    if (xid == 0) return;
    constexpr long kAdd = 1;
    constexpr long kSourceApplication = 1;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = Intern("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = kAdd;
    event.xclient.data.l[1] = static_cast<long>(Intern("_NET_WM_STATE_ABOVE"));
    event.xclient.data.l[3] = kSourceApplication;
    XSendEvent(fl_display, DefaultRootWindow(fl_display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(fl_display);
}

void KeepOwnPosition(Fl_Window& window) {
    Window xid = fl_xid(&window);
    if (xid == 0) return;
    XMoveWindow(fl_display, xid, window.x(), window.y());
}
