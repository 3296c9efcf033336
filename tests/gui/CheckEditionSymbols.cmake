# cmake -DNM=nm -DNUMBERS3=<TolviNumbers3> -DMINI=<TolviNumbersMini> -P CheckEditionSymbols.cmake
# Fails when a program links any part of the other edition's engine.

function(symbols program out)
  execute_process(COMMAND ${NM} -C ${program} OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} -C ${program} failed: ${errors}")
  endif()
  set(${out} "${listing}" PARENT_SCOPE)
endfunction()

function(expect_present listing program name)
  string(FIND "${listing}" "${name}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${program} lacks its own ${name}; the check would prove nothing")
  endif()
endfunction()

function(expect_absent listing program name)
  string(FIND "${listing}" "${name}" at)
  if(NOT at EQUAL -1)
    string(SUBSTRING "${listing}" ${at} 120 context)
    message(FATAL_ERROR "${program} links ${name} of the other edition: ${context}")
  endif()
endfunction()

symbols(${NUMBERS3} numbers3)
symbols(${MINI} mini)

expect_present("${numbers3}" TolviNumbers3 "tolvi::Numbers3Engine")
expect_present("${mini}" TolviNumbersMini "tolvi::MiniEngine")

expect_absent("${numbers3}" TolviNumbers3 "MiniEngine")
# The Numbers3 engine and its scoring (engine/Numbers3Scoring.h).
foreach(name Numbers3Engine scoreNumbers3 numbers3ResultText)
  expect_absent("${mini}" TolviNumbersMini "${name}")
endforeach()
message(STATUS "each program links only its own edition's engine")
