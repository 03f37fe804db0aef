# Fails when a layer includes one that it must not see: the control model (toolkit/) and
# the windows (ui/) stay free of the engine and of the platform headers respectively, and
# the Windows headers stay under platform/. Of the Linux platform folders, the window backend
# (fltk/) knows no input journal and no input extension, and the journal (x11/) uses FLTK's
# event loop but none of its widgets or drawing.
# Run with -DROOT=<source directory>.
set(rules
    "toolkit|#include \"engine/"
    "toolkit|#include[ ]*<FL/"
    "toolkit|#include[ ]*<X11/"
    "engine|#include \"ui/"
    "engine|#include[ ]*<FL/"
    "ui|#include[ ]*<FL/"
    "ui|#include[ ]*<X11/"
    "engine|#include[ ]*<windows.h>"
    "settings|#include[ ]*<windows.h>"
    "toolkit|#include[ ]*<windows.h>"
    "ui|#include[ ]*<windows.h>"
    "platform/fltk|#include \"platform/x11/"
    "platform/fltk|#include[ ]*<X11/extensions/"
    "platform/x11|#include[ ]*<FL/Fl_"
    "platform/x11|#include[ ]*<FL/fl_")
set(violations "")
foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(GET parts 1 pattern)
    file(GLOB sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    if(NOT sources)
        # A moved or renamed folder must not turn its rules into ones that always pass.
        list(APPEND violations "${folder}: no sources to check")
    endif()
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" hits REGEX "^${pattern}")
        if(hits)
            list(APPEND violations "${source}: ${hits}")
        endif()
    endforeach()
endforeach()
if(violations)
    list(JOIN violations "\n" report)
    message(FATAL_ERROR "layering broken:\n${report}")
endif()
