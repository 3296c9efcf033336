# Fails when a file includes a header of a layer above its own (run as the test layers.Includes).
#
#   cmake -DSOURCE_DIR=<project> -P cmake/CheckLayers.cmake
#
cmake_minimum_required(VERSION 3.20)

# Each folder may include its own headers and those of the folders listed for it, the layers it
# is built on (docs/ARCHITECTURE.md); the CMake targets link the same way.

set(allowed_base     base)
set(allowed_history  base history)
set(allowed_games    base history games)
set(allowed_settings base settings)
set(allowed_tickets  base history games tickets)
set(allowed_transport base transport)
set(allowed_engine   base history games engine)
set(allowed_design   base history games engine design)
set(allowed_results  base history games engine transport results)
set(allowed_entry    base history games engine transport results entry)
set(allowed_analysis base history games engine analysis)
set(allowed_cli      base history games engine design transport results entry analysis tickets cli)
set(allowed_app      base history games engine design transport results entry analysis settings tickets app)
set(layers base history games settings tickets transport engine design results entry analysis cli app)

set(faults "")
foreach(layer IN LISTS layers)
  file(GLOB files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" included "${line}")
      if(included IN_LIST layers AND NOT included IN_LIST allowed_${layer})
        file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
        string(APPEND faults "  ${name}: ${line} (${layer} may use: ${allowed_${layer}})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes of a layer above the file's own:\n${faults}")
endif()
message(STATUS "Every include goes to the file's own layer or one below it.")
