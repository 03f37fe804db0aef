# Client code for the Wayland protocols the program speaks, generated from the XML at build
# time: the ways in for playback and the pointer's position on wlroots. A library of its own,
# linked by the Wayland journal and by its pure parts (which the unit tests use).
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
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

# Protocol files Debian 12 packages nowhere, kept with their notices in platform/wayland/protocols.
set(TW_OWN_PROTOCOLS ${CMAKE_CURRENT_SOURCE_DIR}/platform/wayland/protocols)
set(TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_OWN_PROTOCOLS}/wlr-virtual-pointer-unstable-v1.xml
    wlr-virtual-pointer TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_OWN_PROTOCOLS}/virtual-keyboard-unstable-v1.xml
    virtual-keyboard TW_PROTOCOL_SOURCES)
# The cursor's position per output (wlroots 0.19 and later). The capture source protocol
# names the toplevel handle's interface, so that protocol's code comes too.
tw_wayland_protocol(${TW_OWN_PROTOCOLS}/ext-image-capture-source-v1.xml
    ext-image-capture-source TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_OWN_PROTOCOLS}/ext-image-copy-capture-v1.xml
    ext-image-copy-capture TW_PROTOCOL_SOURCES)
tw_wayland_protocol(${TW_OWN_PROTOCOLS}/ext-foreign-toplevel-list-v1.xml
    ext-foreign-toplevel-list TW_PROTOCOL_SOURCES)
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
target_link_libraries(tw_wayland_protocols PUBLIC PkgConfig::TW_WAYLAND_CLIENT)
