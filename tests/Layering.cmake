# Fails when a layer includes one that it must not see. Outside platform/, nothing includes a
# platform folder or a platform's headers (FLTK, X11, windows.h in any spelling); the control
# model (toolkit/) stays free of the engine, the engine of the windows (ui/), and no platform
# reaches into the windows' logic (its command line is split by a toolkit helper). Of the
# Linux platform folders, the window backend (fltk/) knows no input journal and no input
# extension, and the journals (x11/, wayland/) use FLTK's event loop but none of its widgets or
# drawing; the X11 journal knows nothing of the Wayland one.
# An include may be indented and may have blanks after its '#'.
# Run with -DROOT=<source directory>.
set(include "[ \t]*#[ \t]*include[ \t]*")
set(windows "[Ww][Ii][Nn][Dd][Oo][Ww][Ss]\\.[Hh]")
set(rules
    "toolkit|${include}\"engine/"
    "engine|${include}\"ui/"
    "platform/fltk|${include}\"platform/x11/"
    "platform/fltk|${include}<X11/extensions/"
    "platform/fltk|${include}\"platform/wayland/"
    "platform/fltk|${include}\"platform/linux/"
    "platform/x11|${include}<FL/Fl_"
    "platform/x11|${include}<FL/fl_"
    "platform/x11|${include}\"platform/wayland/"
    "platform/wayland|${include}<FL/Fl_"
    "platform/wayland|${include}<FL/fl_"
    "platform|${include}\"ui/")
foreach(folder IN ITEMS app cli engine settings toolkit ui)
    list(APPEND rules "${folder}|${include}\"platform/" "${folder}|${include}<FL/"
         "${folder}|${include}<X11/" "${folder}|${include}[<\"]${windows}")
endforeach()
set(violations "")
foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(GET parts 1 pattern)
    file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
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
