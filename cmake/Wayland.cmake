# The Wayland journal (platform/wayland) and the Linux program's choice of journal
# (platform/linux). Protocol code is generated from the XML at build time.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_WAYLAND_DEPS REQUIRED IMPORTED_TARGET
    wayland-client xkbcommon libevdev libudev libsystemd)
pkg_get_variable(TW_WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
find_file(TW_KWIN_FAKE_INPUT_XML fake-input.xml
    PATHS /usr/share/plasma-wayland-protocols REQUIRED NO_DEFAULT_PATH)

set(TW_PROTOCOL_DIR ${CMAKE_CURRENT_BINARY_DIR}/protocols)
file(MAKE_DIRECTORY ${TW_PROTOCOL_DIR}/wayland)
# Generates protocols/wayland/NAME-client.h and NAME.c from xml into list OUT.
function(tw_wayland_protocol xml name out)
    set(header ${TW_PROTOCOL_DIR}/wayland/${name}-client.h)
    set(code ${TW_PROTOCOL_DIR}/wayland/${name}.c)
    add_custom_command(OUTPUT ${header} ${code}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
        DEPENDS ${xml} VERBATIM)
    set(${out} ${${out}} ${header} ${code} PARENT_SCOPE)
endfunction()

set(TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${CMAKE_CURRENT_SOURCE_DIR}/platform/wayland/protocols/wlr-virtual-pointer-unstable-v1.xml
    wlr-virtual-pointer TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${CMAKE_CURRENT_SOURCE_DIR}/platform/wayland/protocols/virtual-keyboard-unstable-v1.xml
    virtual-keyboard TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml
    xdg-output TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_KWIN_FAKE_INPUT_XML} fake-input TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml
    xdg-shell TW_PROTOCOL_SOURCES)
# The generated code is C; it compiles as its own library without the project's C++ flags.
enable_language(C)
add_library(tw_wayland_protocols STATIC ${TW_PROTOCOL_SOURCES})
set_target_properties(tw_wayland_protocols PROPERTIES LINKER_LANGUAGE C)
target_include_directories(tw_wayland_protocols PUBLIC ${TW_PROTOCOL_DIR})
target_link_libraries(tw_wayland_protocols PUBLIC PkgConfig::TW_WAYLAND_DEPS)

file(GLOB TW_WAYLAND_SOURCES CONFIGURE_DEPENDS platform/wayland/*.cpp)
list(REMOVE_ITEM TW_WAYLAND_SOURCES ${TW_LINUX_PURE_SOURCES})
add_library(tw_wayland OBJECT ${TW_WAYLAND_SOURCES})
target_include_directories(tw_wayland PRIVATE ${X11_INCLUDE_DIR} ${FLTK_INCLUDE_DIR})
target_link_libraries(tw_wayland PUBLIC tw_core tw_linux_pure tw_x11 tw_wayland_protocols
                      PkgConfig::TW_WAYLAND_DEPS)

file(GLOB TW_LINUX_SOURCES CONFIGURE_DEPENDS platform/linux/*.cpp)
list(REMOVE_ITEM TW_LINUX_SOURCES ${TW_LINUX_PURE_SOURCES})
add_library(tw_linux OBJECT ${TW_LINUX_SOURCES})
target_include_directories(tw_linux PRIVATE ${X11_INCLUDE_DIR} ${FLTK_INCLUDE_DIR})
target_link_libraries(tw_linux PUBLIC tw_core tw_x11 tw_wayland tw_fltk)
