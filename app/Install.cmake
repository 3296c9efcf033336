# The local pages beside the programs, and everything `cmake --install` puts in place.
#
# The programs open help.html and index.html from their own folder and keep their settings file
# (TolviNumbers3.ini, TolviNumbersMini.ini) there too where that folder can be written, else in
# the user's ~/.config/tolvi-numbers (settings/SettingsLocation.h). So a build copies the pages next to
# the executables, and an installation gives the programs a folder of their own,
# PREFIX/libexec/tolvi-numbers, holding the executables and the pages (and, in an installation
# the user may write to, their settings files), with links to them in PREFIX/bin. That keeps the
# generic names help.html and index.html out of a bin folder shared with other programs.
#
# The programs read their history, Numbers.dat, from the folder they are started in. The desktop
# entries therefore start them through tolvi-numbers-launch, which runs them in the user's data
# folder, ~/.local/share/tolvi-numbers, and copies the installed history there at the first start
# (app/desktop/tolvi-numbers-launch.in). It finds that history relative to its own place, so the
# path is relative unless an installation folder is given as an absolute path.
#
# Layout of an installation:
#   bin/TolviNumbers3, bin/TolviNumbersMini          links to ../libexec/tolvi-numbers/...
#   libexec/tolvi-numbers/TolviNumbers3, TolviNumbersMini, help.html, index.html
#   libexec/tolvi-numbers/tolvi-numbers-launch       starts a program in the user's data folder
#   share/applications/ID.desktop                    (each runs tolvi-numbers-launch PROGRAM)
#   share/metainfo/ID.metainfo.xml                   what software centres show of the program
#   share/icons/hicolor/{48x48,64x64,96x96,128x128,256x256}/apps/tolvi-numbers3.png,
#     tolvi-numbersmini.png, and scalable/apps/tolvi-numbers3.svg, tolvi-numbersmini.svg
#                                                    (the window's logo; app/desktop/make-icons.sh)
#   share/tolvi-numbers/Numbers.dat                   the history a user's data folder starts with
# ID is the program's AppStream id, TOLVI_APP_ID_PREFIX.PROGRAM (io.github.tolvinumbers.TolviNumbers3,
# io.github.tolvinumbers.TolviNumbersMini): the reverse of the domain of the project's home page,
# tolvinumbers.github.io, as AppStream asks. Desktops find a program's metadata through its desktop
# entry's name, so both carry the id.
# The command-line tool `tolvi` is installed into bin by cli/CMakeLists.txt, with or without the
# window programs; its manual page and share/doc/tolvi-numbers (copyright, changelog) are
# installed by cmake/Packaging.cmake.

include_guard(GLOBAL)
include(GNUInstallDirs)

set(TOLVI_PAGES_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/pages)
set(TOLVI_DESKTOP_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/desktop)
set(TOLVI_PAGES help.html index.html tolvi-pages.css)
set(TOLVI_PROGRAMS TolviNumbers3 TolviNumbersMini)
set(TOLVI_APP_ID_PREFIX io.github.tolvinumbers)

set(tolvi_built_programs)
foreach(program IN LISTS TOLVI_PROGRAMS)
  if(TARGET ${program})
    list(APPEND tolvi_built_programs ${program})
  endif()
endforeach()

# --- Build: the pages next to the executables -----------------------------------------------

# Where the executables are written: their own output folder when they name one, else the
# build's bin folder.
set(TOLVI_PAGES_BUILD_DIR ${CMAKE_BINARY_DIR}/bin)
if(tolvi_built_programs)
  list(GET tolvi_built_programs 0 tolvi_first_program)
  get_target_property(tolvi_output_dir ${tolvi_first_program} RUNTIME_OUTPUT_DIRECTORY)
  if(tolvi_output_dir)
    set(TOLVI_PAGES_BUILD_DIR ${tolvi_output_dir})
  elseif(CMAKE_RUNTIME_OUTPUT_DIRECTORY)
    set(TOLVI_PAGES_BUILD_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  endif()
endif()

set(tolvi_page_copies)
foreach(page IN LISTS TOLVI_PAGES)
  add_custom_command(
    OUTPUT ${TOLVI_PAGES_BUILD_DIR}/${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TOLVI_PAGES_BUILD_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TOLVI_PAGES_SOURCE_DIR}/${page} ${TOLVI_PAGES_BUILD_DIR}/${page}
    DEPENDS ${TOLVI_PAGES_SOURCE_DIR}/${page}
    COMMENT "Copying ${page} next to the programs"
    VERBATIM)
  list(APPEND tolvi_page_copies ${TOLVI_PAGES_BUILD_DIR}/${page})
endforeach()
add_custom_target(tolvi_pages ALL DEPENDS ${tolvi_page_copies})
# Building only a program (--target TolviNumbers3) brings its pages along.
foreach(program IN LISTS tolvi_built_programs)
  add_dependencies(${program} tolvi_pages)
endforeach()

# --- Install ----------------------------------------------------------------------------------

if(tolvi_built_programs)
  install(TARGETS ${tolvi_built_programs} RUNTIME DESTINATION ${TOLVI_INSTALL_PROGRAM_DIR})
  list(TRANSFORM TOLVI_PAGES PREPEND ${TOLVI_PAGES_SOURCE_DIR}/ OUTPUT_VARIABLE tolvi_page_sources)
  install(FILES ${tolvi_page_sources} DESTINATION ${TOLVI_INSTALL_PROGRAM_DIR})

  # Relative links, so the installed tree can be moved or staged with DESTDIR. The program
  # finds its folder through the link (the kernel reports the real executable's path).
  if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${TOLVI_INSTALL_PROGRAM_DIR}")
    set(tolvi_link_base ${CMAKE_INSTALL_FULL_LIBEXECDIR}/tolvi-numbers)
  else()
    file(RELATIVE_PATH tolvi_link_base /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TOLVI_INSTALL_PROGRAM_DIR})
  endif()
  set(tolvi_link_dir ${CMAKE_CURRENT_BINARY_DIR}/install-links)
  file(MAKE_DIRECTORY ${tolvi_link_dir})
  foreach(program IN LISTS tolvi_built_programs)
    file(CREATE_LINK ${tolvi_link_base}/${program} ${tolvi_link_dir}/${program} SYMBOLIC)
    install(FILES ${tolvi_link_dir}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})

    # The desktop entry names the launcher and the program by their full installed paths.
    string(TOLOWER ${program} tolvi_icon)
    string(REPLACE "tolvinumbers" "tolvi-numbers" tolvi_icon ${tolvi_icon})
    set(TOLVI_APP_ID ${TOLVI_APP_ID_PREFIX}.${program})
    tolvi_install_configured(${TOLVI_DESKTOP_SOURCE_DIR}/${program}.desktop.in
                             ${CMAKE_CURRENT_BINARY_DIR}/desktop/${TOLVI_APP_ID}.desktop ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size 48 64 96 128 256)
      install(FILES ${TOLVI_DESKTOP_SOURCE_DIR}/${tolvi_icon}-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${tolvi_icon}.png)
    endforeach()
    install(FILES ${TOLVI_DESKTOP_SOURCE_DIR}/${tolvi_icon}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

    # The AppStream metadata: the home page and the releases (TOLVI_HOMEPAGE, TOLVI_RELEASES_XML)
    # come from cmake/Packaging.cmake.
    set(tolvi_metainfo ${CMAKE_CURRENT_BINARY_DIR}/desktop/${TOLVI_APP_ID}.metainfo.xml)
    configure_file(${TOLVI_DESKTOP_SOURCE_DIR}/${program}.metainfo.xml.in ${tolvi_metainfo} @ONLY)
    install(FILES ${tolvi_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  endforeach()
endif()

install(FILES ${CMAKE_SOURCE_DIR}/data/Numbers.dat DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvi-numbers)

# The launcher learns the way from its own folder to that history when the build is configured.
set(tolvi_history_dir ${CMAKE_INSTALL_DATADIR}/tolvi-numbers)
if(IS_ABSOLUTE "${tolvi_history_dir}" OR IS_ABSOLUTE "${TOLVI_INSTALL_PROGRAM_DIR}")
  set(TOLVI_LAUNCH_TO_DATA ${CMAKE_INSTALL_FULL_DATADIR}/tolvi-numbers)
else()
  file(RELATIVE_PATH TOLVI_LAUNCH_TO_DATA /prefix/${TOLVI_INSTALL_PROGRAM_DIR} /prefix/${tolvi_history_dir})
endif()
configure_file(${TOLVI_DESKTOP_SOURCE_DIR}/tolvi-numbers-launch.in ${CMAKE_CURRENT_BINARY_DIR}/tolvi-numbers-launch
               @ONLY)
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/tolvi-numbers-launch DESTINATION ${TOLVI_INSTALL_PROGRAM_DIR})
