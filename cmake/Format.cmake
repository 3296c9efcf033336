# The targets `format` (rewrites every C++ file of the project in the style of .clang-format) and
# `format-check` (fails, naming the files, when one differs from it; run by CI).
#
# The version is pinned: each clang-format release moves a few line breaks, and a check that
# passes on one machine must pass on every other. Debian 12's clang-format is 14.
set(TOLVI_CLANG_FORMAT_VERSION 14)
find_program(TOLVI_CLANG_FORMAT NAMES clang-format-${TOLVI_CLANG_FORMAT_VERSION} clang-format)

if(TOLVI_CLANG_FORMAT)
  execute_process(COMMAND ${TOLVI_CLANG_FORMAT} --version OUTPUT_VARIABLE format_version)
  if(NOT format_version MATCHES "version ${TOLVI_CLANG_FORMAT_VERSION}\\.")
    message(STATUS "${TOLVI_CLANG_FORMAT} is not clang-format ${TOLVI_CLANG_FORMAT_VERSION}: no format targets")
    unset(TOLVI_CLANG_FORMAT)
  endif()
endif()

if(TOLVI_CLANG_FORMAT)
  # Every C++ source and header the project writes by hand; generated tables (*.inc) are not.
  set(format_folders app base bench cli design engine entry fuzz games history settings tests)
  list(TRANSFORM format_folders APPEND "/*.cpp" OUTPUT_VARIABLE format_sources)
  list(TRANSFORM format_folders APPEND "/*.h" OUTPUT_VARIABLE format_headers)
  list(APPEND format_sources ${format_headers})
  list(TRANSFORM format_sources PREPEND "${PROJECT_SOURCE_DIR}/")
  file(GLOB_RECURSE format_files CONFIGURE_DEPENDS ${format_sources})
  list(SORT format_files)

  add_custom_target(format
    COMMAND ${TOLVI_CLANG_FORMAT} -i ${format_files}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Formatting the C++ files with clang-format ${TOLVI_CLANG_FORMAT_VERSION}"
    VERBATIM)
  add_custom_target(format-check
    COMMAND ${TOLVI_CLANG_FORMAT} --dry-run --Werror ${format_files}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Checking the C++ files against .clang-format (cmake --build <dir> --target format mends them)"
    VERBATIM)
endif()
