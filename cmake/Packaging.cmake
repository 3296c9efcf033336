# What an installation and the Debian package share, and the package itself.
#
# - TOLVI_HOMEPAGE: the project's home page; the package's Homepage, the AppStream url and the
#   base of the screenshots' addresses (TOLVI_HOMEPAGE/docs/*.png), which software centres fetch.
# - The release history, packaging/changelog (Debian changelog format): its newest entry must be
#   this project()'s version, installed as share/doc/tolvi-numbers/changelog.gz and given to the
#   AppStream metadata as TOLVI_RELEASES_XML (app/Install.cmake).
# - share/doc/tolvi-numbers/copyright (packaging/copyright, Debian's machine-readable format) and
#   the tool's manual page, share/man/man1/tolvi.1.gz and in Japanese share/man/ja/man1/tolvi.1.gz,
#   compressed as Debian wants (gzip -9n).
# - `cpack -G DEB` (scripts/package.sh): tolvi-numbers_VERSION_ARCH.deb holding everything
#   `cmake --install` puts under /usr. The linked libraries' packages are found by dpkg-shlibdeps;
#   what is used without being linked is named here.
#
# Included from the top CMakeLists.txt before the programs, which read TOLVI_HOMEPAGE and
# TOLVI_RELEASES_XML.

include_guard(GLOBAL)
include(GNUInstallDirs)

set(TOLVI_HOMEPAGE "https://tolvinumbers.github.io/tolvi-numbers" CACHE STRING
    "The project's home page (https, no trailing slash); the screenshots are TOLVI_HOMEPAGE/docs/*.png")
set(TOLVI_MAINTAINER "Tolvi Numbers maintainers <maintainers@users.noreply.c-seed-c1a60677.example>" CACHE STRING
    "The Debian package's maintainer, NAME <ADDRESS>")
if(NOT TOLVI_HOMEPAGE MATCHES "^https://[^/]+.*[^/]$")
  message(FATAL_ERROR "TOLVI_HOMEPAGE must be an https:// address without a trailing slash: ${TOLVI_HOMEPAGE}")
endif()

set(TOLVI_PACKAGE_NAME tolvi-numbers)
set(TOLVI_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TOLVI_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${TOLVI_PACKAGE_NAME})
# The window programs' own folder, with their pages and launcher (app/Install.cmake).
set(TOLVI_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tolvi-numbers)
# Directories made by the installation are 0755 whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# --- The release history ----------------------------------------------------------------------

macro(tolvi_escape_xml variable)
  string(REPLACE "&" "&amp;" ${variable} "${${variable}}")
  string(REPLACE "<" "&lt;" ${variable} "${${variable}}")
  string(REPLACE ">" "&gt;" ${variable} "${${variable}}")
endmacro()

# Reads packaging/changelog into the AppStream <release> elements, newest first, each with its date
# and its items, and checks that the newest is this version.
function(tolvi_read_releases changelog out_xml)
  file(READ ${changelog} text)
  # One list element a line: ';', '[' and ']', which a list would take as its own, are set aside
  # as control characters and put back at the end.
  string(ASCII 1 semicolon)
  string(ASCII 2 open)
  string(ASCII 3 close)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "[" "${open}" text "${text}")
  string(REPLACE "]" "${close}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(xml "")
  set(versions "")
  set(items "")
  set(item "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^${TOLVI_PACKAGE_NAME} \\(([^)]+)\\) ")
      list(APPEND versions ${CMAKE_MATCH_1})
    elseif(line MATCHES "^  \\* (.*)$")
      if(NOT item STREQUAL "")
        tolvi_escape_xml(item)
        string(APPEND items "          <li>${item}</li>\n")
      endif()
      set(item "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^    +(.*)$")
      string(APPEND item " ${CMAKE_MATCH_1}")
    elseif(line MATCHES "^ -- .*>  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
      set(day ${CMAKE_MATCH_1})
      set(year ${CMAKE_MATCH_3})
      list(FIND months ${CMAKE_MATCH_2} month)
      if(month LESS 0 OR NOT versions)
        message(FATAL_ERROR "${changelog}: no release or no month before: ${line}")
      endif()
      math(EXPR month "${month} + 1")
      foreach(part day month)
        string(LENGTH "${${part}}" length)
        if(length EQUAL 1)
          set(${part} 0${${part}})
        endif()
      endforeach()
      if(NOT item STREQUAL "")
        tolvi_escape_xml(item)
        string(APPEND items "          <li>${item}</li>\n")
      endif()
      list(GET versions -1 version)
      string(APPEND xml "    <release version=\"${version}\" date=\"${year}-${month}-${day}\">\n"
                        "      <description>\n        <ul>\n${items}        </ul>\n      </description>\n"
                        "    </release>\n")
      set(items "")
      set(item "")
    endif()
  endforeach()
  if(NOT xml)
    message(FATAL_ERROR "${changelog}: no release")
  endif()
  list(GET versions 0 newest)
  if(NOT newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${changelog}: the newest release is ${newest}, but the project's version is "
                        "${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION} (or set the version in CMakeLists.txt)")
  endif()
  string(REGEX REPLACE "\n$" "" xml "${xml}")
  string(REPLACE "${semicolon}" ";" xml "${xml}")
  string(REPLACE "${open}" "[" xml "${xml}")
  string(REPLACE "${close}" "]" xml "${xml}")
  set(${out_xml} "${xml}" PARENT_SCOPE)
endfunction()

tolvi_read_releases(${TOLVI_PACKAGING_DIR}/changelog TOLVI_RELEASES_XML)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${TOLVI_PACKAGING_DIR}/changelog ${TOLVI_PACKAGING_DIR}/description)

# --- Documents: the manual page, the changelog and the copyright ------------------------------

find_program(TOLVI_GZIP gzip REQUIRED)
set(tolvi_doc_build_dir ${CMAKE_BINARY_DIR}/packaging)
set(tolvi_compressed)
foreach(document IN ITEMS ${PROJECT_SOURCE_DIR}/docs/tolvi.1 ${PROJECT_SOURCE_DIR}/docs/tolvi.ja.1
                          ${TOLVI_PACKAGING_DIR}/changelog)
  get_filename_component(name ${document} NAME)
  add_custom_command(
    OUTPUT ${tolvi_doc_build_dir}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tolvi_doc_build_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${document} ${tolvi_doc_build_dir}/${name}
    # -n: no name or time stamp in the file, so that every build makes the same bytes.
    COMMAND ${TOLVI_GZIP} -9nf ${tolvi_doc_build_dir}/${name}
    DEPENDS ${document}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND tolvi_compressed ${tolvi_doc_build_dir}/${name}.gz)
endforeach()
add_custom_target(tolvi_documents ALL DEPENDS ${tolvi_compressed})

install(FILES ${tolvi_doc_build_dir}/tolvi.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The same page in Japanese, which `man tolvi` shows under a Japanese locale.
install(FILES ${tolvi_doc_build_dir}/tolvi.ja.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1 RENAME tolvi.1.gz)
install(FILES ${tolvi_doc_build_dir}/changelog.gz ${TOLVI_PACKAGING_DIR}/copyright DESTINATION ${TOLVI_DOC_DIR})

# --- Files that name installed programs -------------------------------------------------------

# Installs `template` into `destination` (under the prefix) as `output`, with @TOLVI_BINDIR@ (the
# folder of `tolvi` and the program links) and @TOLVI_LAUNCHER@ (the launcher's path) filled in.
# They are known only when installing: `cmake --install --prefix` may choose another prefix than
# the configured one.
function(tolvi_install_configured template output destination)
  install(CODE "
    file(READ \"${template}\" tolvi_text)
    set(TOLVI_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    if(IS_ABSOLUTE \"${CMAKE_INSTALL_BINDIR}\")
      set(TOLVI_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    endif()
    set(TOLVI_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${TOLVI_INSTALL_PROGRAM_DIR}/tolvi-numbers-launch\")
    if(IS_ABSOLUTE \"${TOLVI_INSTALL_PROGRAM_DIR}\")
      set(TOLVI_LAUNCHER \"${TOLVI_INSTALL_PROGRAM_DIR}/tolvi-numbers-launch\")
    endif()
    string(CONFIGURE \"\${tolvi_text}\" tolvi_text @ONLY)
    file(WRITE \"${output}\" \"\${tolvi_text}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${destination}\" TYPE FILE FILES \"${output}\")
  ")
endfunction()

# --- Keeping the history current: a systemd user timer, off until a user turns it on ---------
#
# packaging/tolvi-numbers-update.service runs `tolvi update --notify` in the user's data folder;
# packaging/tolvi-numbers-update.timer starts it on weekday evenings after the draw. They go where
# the user's systemd manager looks for units of the system (lib/systemd/user under the prefix:
# /usr/lib/systemd/user in the package). Nothing enables them: each user who wants it runs
# `systemctl --user enable --now tolvi-numbers-update.timer` (README, help page). The service
# names `tolvi` by its installed path.
set(TOLVI_SYSTEMD_USER_UNIT_DIR lib/systemd/user CACHE STRING
    "Where the systemd user units go, relative to the prefix (share/systemd/user for an installation into ~/.local)")
tolvi_install_configured(${TOLVI_PACKAGING_DIR}/tolvi-numbers-update.service.in
                         ${CMAKE_BINARY_DIR}/packaging/tolvi-numbers-update.service ${TOLVI_SYSTEMD_USER_UNIT_DIR})
install(FILES ${TOLVI_PACKAGING_DIR}/tolvi-numbers-update.timer DESTINATION ${TOLVI_SYSTEMD_USER_UNIT_DIR})

# --- The Debian package -----------------------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TOLVI_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tolvi Numbers maintainers")
set(CPACK_PACKAGE_CONTACT ${TOLVI_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${TOLVI_HOMEPAGE})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Numbers3 lottery predictions from the history of past draws")
file(READ ${TOLVI_PACKAGING_DIR}/description tolvi_description)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${tolvi_description}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

# lintian's overrides, with the reason for each, go into the package only: they are the component
# "debian", which `cmake --install` leaves out, and the package holds everything an installation
# holds ("ALL") and that component.
install(FILES ${TOLVI_PACKAGING_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME ${TOLVI_PACKAGE_NAME} COMPONENT debian EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS
    ${CMAKE_BINARY_DIR} ${PROJECT_NAME} ALL /
    ${CMAKE_BINARY_DIR} ${PROJECT_NAME} debian /)

# The programs stripped as Debian strips its own (dh_strip): no symbols beyond those needed for
# relocation, no compiler version notes (.comment, .note). Run on the staged files before packing.
if(CMAKE_STRIP)
  set(tolvi_strip_script ${CMAKE_BINARY_DIR}/packaging/strip-programs.cmake)
  file(WRITE ${tolvi_strip_script} "
file(GLOB_RECURSE files LIST_DIRECTORIES false \"\${CPACK_TEMPORARY_DIRECTORY}/*\")
foreach(file IN LISTS files)
  if(NOT IS_SYMLINK \"\${file}\")
    file(READ \"\${file}\" magic LIMIT 4 HEX)
    if(magic STREQUAL \"7f454c46\")
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              --strip-unneeded \"\${file}\" COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endif()
endforeach()
")
  set(CPACK_PRE_BUILD_SCRIPTS ${tolvi_strip_script})
else()
  set(CPACK_STRIP_FILES ON)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVI_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The linked libraries (Qt, libcsv, the C++ runtime) as dpkg-shlibdeps finds them, and what the
# programs use without linking it:
# - libcurl4: transport/CurlLibrary.cpp loads libcurl.so.4 when the first page is fetched (imports of
#   http:// and https:// addresses); CURLOPT_PROTOCOLS_STR needs libcurl 7.85.
# - the IPA fonts the window's design is drawn in (app/DesignFonts.cpp).
# - qt6-translations-l10n: Qt's own texts in Japanese, the standard dialogs' buttons and the file
#   dialogs (app/QtTranslations.cpp).
# Qt's X11 platform plugin comes with libqt6gui6 on Debian 12, which dpkg-shlibdeps names already.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libcurl4 (>= 7.85.0), fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-translations-l10n")
# The help pages are opened in the desktop's browser through xdg-open; the update timer's
# notifications are shown with notify-send.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libnotify-bin")

include(CPack)
