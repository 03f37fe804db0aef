# The Wayland journal (platform/wayland) and the Linux program's choice of journal
# (platform/linux); the protocol code comes from cmake/WaylandProtocols.cmake.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_WAYLAND_DEPS REQUIRED IMPORTED_TARGET
    wayland-client xkbcommon libevdev libudev libsystemd)
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
