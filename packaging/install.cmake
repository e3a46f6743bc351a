# `cmake --install build --prefix DIR` makes DIR a complete program folder (the program, its libraries,
# skins and texts, all writable by whoever installed it) with a menu entry Dovi.desktop beside it that
# points at DIR. DOVI_PACKAGE adds what the .deb needs: a start command that gives each user a private
# copy of the program folder, and the menu entry in the system's applications folder.
option(DOVI_PACKAGE "Lay the install out for the Debian package" OFF)

install(TARGETS Dovi DoviButton VistelPerso DoviPlatform
        RUNTIME DESTINATION . LIBRARY DESTINATION .)
get_property(dovi_delivered GLOBAL PROPERTY DOVI_DELIVERED_SOURCES)
install(FILES ${dovi_delivered} DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/dovi.png DESTINATION .)

# The entry names the folder by its absolute path, a relative prefix being taken from where the install
# runs: a menu cannot start a relative one. The package has its own entry, for the start command.
if(NOT DOVI_PACKAGE)
  install(CODE "
    set(DOVI_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/dovi.desktop.in\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/desktopentry.cmake\")
    get_filename_component(dovi_prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    dovi_write_desktop_entry(\"\$ENV{DESTDIR}\${dovi_prefix}/Dovi.desktop\"
                             \"\${dovi_prefix}/Dovi\" \"\${dovi_prefix}/dovi.png\")
  ")
endif()

if(DOVI_PACKAGE)
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/dovi-launcher.sh DESTINATION /usr/bin RENAME dovi)
  install(CODE "
    set(DOVI_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/dovi.desktop.in\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/desktopentry.cmake\")
    dovi_write_desktop_entry(\"\$ENV{DESTDIR}/usr/share/applications/dovi.desktop\" \"/usr/bin/dovi\"
                             \"\${CMAKE_INSTALL_PREFIX}/dovi.png\")
  ")

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME dovi)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_CONTACT "Dovi project <dovi@example.org>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Launcher bar of skinned picture buttons")
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Documents, folders and addresses open through xdg-open; the targets' icons come from the theme.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, adwaita-icon-theme, qt6-translations-l10n")
  set(CPACK_SET_DESTDIR ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
  include(CPack)
endif()
