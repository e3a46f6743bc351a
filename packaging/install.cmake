# `cmake --install build --prefix DIR` makes DIR a complete program folder (the program, its libraries,
# skins and texts, all writable by whoever installed it) with a menu entry Dovi.desktop beside it that
# points at DIR. DOVI_PACKAGE lays the install out as Debian does (prefix /usr): the program and its
# libraries in lib/dovi, what it delivers in share/dovi, the start command in bin, the menu entry,
# icons, metainfo, manual pages and documents where the desktop and the package tools look for them.
option(DOVI_PACKAGE "Lay the install out for the Debian package" OFF)

if(NOT DOVI_PACKAGE)
  install(TARGETS Dovi DoviButton VistelPerso DoviPlatform
          RUNTIME DESTINATION . LIBRARY DESTINATION .)
  get_property(dovi_delivered GLOBAL PROPERTY DOVI_DELIVERED_SOURCES)
  install(FILES ${dovi_delivered} DESTINATION .)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/dovi.png DESTINATION .)

  # The entry names the folder by its absolute path, a relative prefix being taken from where the
  # install runs: a menu cannot start a relative one.
  install(CODE "
    set(DOVI_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/dovi.desktop.in\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/desktopentry.cmake\")
    get_filename_component(dovi_prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    dovi_write_desktop_entry(\"\$ENV{DESTDIR}\${dovi_prefix}/Dovi.desktop\"
                             \"\${dovi_prefix}/Dovi\" \"\${dovi_prefix}/dovi.png\")
  ")
  return()
endif()

# The installed program cannot be written by anybody who runs it, root included: the platform layer
# finds what it delivers in share/dovi and keeps the user's files in the user's own folder.
set(dovi_private lib/dovi)
set(dovi_data share/dovi)
target_compile_definitions(DoviPlatform PRIVATE DOVI_DELIVERED_FOLDER="../../share/dovi")
set(dovi_doc share/doc/dovi)

install(TARGETS Dovi DoviButton VistelPerso DoviPlatform
        RUNTIME DESTINATION ${dovi_private} LIBRARY DESTINATION ${dovi_private})
get_property(dovi_delivered GLOBAL PROPERTY DOVI_DELIVERED_SOURCES)
install(FILES ${dovi_delivered} DESTINATION ${dovi_data})
# The start command runs ../lib/dovi/Dovi from its own folder.
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/dovi-launcher.sh DESTINATION bin RENAME dovi)

# The menu entry starts the command from the PATH and takes the icon from the theme.
set(DOVI_DESKTOP_EXEC dovi)
set(DOVI_DESKTOP_ICON dovi)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dovi.desktop.in ${CMAKE_BINARY_DIR}/packaging/dovi.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/dovi.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/dovi-48.png DESTINATION share/icons/hicolor/48x48/apps RENAME dovi.png)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/dovi.png DESTINATION share/icons/hicolor/64x64/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/dovi.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.example.dovi.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${dovi_doc})

# The changelog's latest entry is the package's version.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog dovi_changelog_head LIMIT_COUNT 1)
if(NOT dovi_changelog_head MATCHES "^dovi \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with version ${PROJECT_VERSION}: ${dovi_changelog_head}")
endif()

# Compressed as Debian wants them: best compression, no name or time stamp, so builds are reproducible.
find_program(DOVI_GZIP gzip REQUIRED)
set(dovi_compressed)
foreach(pair "changelog;changelog.gz" "dovi.1;dovi.1.gz" "dovi.fr.1;dovi.fr.1.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${target}
                     COMMAND ${DOVI_GZIP} -9nc ${CMAKE_CURRENT_LIST_DIR}/${source}
                             > ${CMAKE_BINARY_DIR}/packaging/${target}
                     DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${source} VERBATIM)
  list(APPEND dovi_compressed ${CMAKE_BINARY_DIR}/packaging/${target})
endforeach()
add_custom_target(DoviPackageDocuments ALL DEPENDS ${dovi_compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${dovi_doc})
install(FILES ${CMAKE_BINARY_DIR}/packaging/dovi.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/dovi.fr.1.gz DESTINATION share/man/fr/man1 RENAME dovi.1.gz)
