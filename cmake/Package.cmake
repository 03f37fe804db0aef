# Install rules and the Debian package of the Linux program (cpack -G DEB, tools/package.sh).

# The icon: the Record glyph, drawn at the usual sizes, pixel for pixel.
find_program(TW_CONVERT convert)
set(TW_ICON_SIZES 16 32 48 64 128)
set(TW_ICONS)
foreach(size IN LISTS TW_ICON_SIZES)
    set(icon ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/tapewright.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${TW_CONVERT} ${CMAKE_CURRENT_SOURCE_DIR}/resources/glyphs/record.xpm
                -filter point -resize ${size}x${size} -strip ${icon}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/glyphs/record.xpm VERBATIM)
    list(APPEND TW_ICONS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page and the changelog, compressed as Debian wants them.
set(TW_MANPAGE ${CMAKE_CURRENT_BINARY_DIR}/tapewright.1.gz)
set(TW_TOOL_MANPAGE ${CMAKE_CURRENT_BINARY_DIR}/tapewright-macro.1.gz)
set(TW_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${TW_MANPAGE}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/tapewright.1 > ${TW_MANPAGE}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/tapewright.1)
add_custom_command(OUTPUT ${TW_TOOL_MANPAGE}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/tapewright-macro.1
            > ${TW_TOOL_MANPAGE}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/tapewright-macro.1)
add_custom_command(OUTPUT ${TW_CHANGELOG}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/changelog > ${TW_CHANGELOG}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/changelog)
if(TW_CONVERT)
    add_custom_target(tw_package_files ALL DEPENDS ${TW_ICONS} ${TW_MANPAGE} ${TW_TOOL_MANPAGE}
                      ${TW_CHANGELOG})
else()
    message(STATUS "ImageMagick's convert missing: no icons, no package")
endif()

install(TARGETS tapewright tapewright-macro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/TAPEWRT.HLP DESTINATION ${CMAKE_INSTALL_DATADIR}/tapewright)
# KWin lets a program play input through its fake input only when an installed desktop file
# names it by its full path (Exec) and asks for the interface (X-KDE-Wayland-Interfaces). The
# path is made at install time, under the prefix of that install (the package's is /usr).
set(TW_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/installed/tapewright.desktop)
install(CODE "set(TW_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tapewright\")
    configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/resources/linux/tapewright.desktop\"
                   \"${TW_DESKTOP_FILE}\" @ONLY)")
install(FILES ${TW_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TW_MANPAGE} ${TW_TOOL_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Wayland playback through uinput: the device for the user at the seat, the module at boot.
install(FILES resources/linux/60-tapewright-uinput.rules DESTINATION /lib/udev/rules.d)
install(FILES resources/linux/tapewright-uinput.conf DESTINATION lib/modules-load.d
        RENAME tapewright.conf)
# The GNOME Shell extensions that tell the Wayland journal where the pointer is: one for
# GNOME 45 and later, one for 43 and 44; each shell loads only the one made for it.
install(DIRECTORY resources/linux/gnome-shell/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions)
install(FILES resources/linux/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME tapewright)
# What the user must do after installing (a group, a new login, the GNOME extension) is in
# README.Debian, Debian's place for it. No maintainer script prints it: the steps are each
# user's own, not the installing administrator's; apt's output goes unseen under graphical
# and unattended installs; and Debian keeps maintainer scripts quiet. The program itself
# says what is missing when a recording or playback needs it.
install(FILES ${TW_CHANGELOG} resources/linux/copyright resources/linux/README.Debian
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tapewright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tapewright)
set(CPACK_PACKAGE_VENDOR "Tapewright developers")
set(CPACK_PACKAGE_CONTACT "Tapewright developers <maintainers@tapewright.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard and mouse macro recorder and player")
set(CPACK_PACKAGE_DESCRIPTION
    "Tapewright records every key and mouse event of an X or Wayland session
with its time offset and plays it back at 200 % down to 10 % of the recorded
spacing: once, a given number of times or until cancelled. Macros can be
chained in playlists, and everything can run unattended from the command
line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
