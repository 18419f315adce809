# libFuzzer targets for the configuration reader and the program-file reader. They are
# built with clang++ (the project's compiler may be g++), straight from the few sources
# they test, and each runs for a bounded time as a test. Skipped without clang's libFuzzer.

find_program(WREN81_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
if(NOT WREN81_CLANGXX)
  message(STATUS "Fuzzers: clang++ not found, skipped")
  return()
endif()

if(NOT DEFINED WREN81_LIBFUZZER)
  set(probe "${CMAKE_BINARY_DIR}/fuzz/probe.cpp")
  file(WRITE "${probe}" "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n")
  execute_process(COMMAND "${WREN81_CLANGXX}" -fsanitize=fuzzer,address "${probe}" -o "${CMAKE_BINARY_DIR}/fuzz/probe"
                  RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
  if(probe_result EQUAL 0)
    set(WREN81_LIBFUZZER ON CACHE INTERNAL "clang++ links libFuzzer")
  else()
    set(WREN81_LIBFUZZER OFF CACHE INTERNAL "clang++ links libFuzzer")
  endif()
endif()
if(NOT WREN81_LIBFUZZER)
  message(STATUS "Fuzzers: clang++ cannot link libFuzzer, skipped")
  return()
endif()

set(WREN81_FUZZ_SECONDS 20 CACHE STRING "How long each fuzzer runs as a test")

# wren81_fuzzer(name SOURCES files... HEADERS files... [ARGS libFuzzer options...])
function(wren81_fuzzer name)
  cmake_parse_arguments(FUZZ "" "" "SOURCES;HEADERS;ARGS" ${ARGN})
  list(TRANSFORM FUZZ_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/")
  list(TRANSFORM FUZZ_HEADERS PREPEND "${CMAKE_SOURCE_DIR}/")
  set(exe "${CMAKE_BINARY_DIR}/fuzz/${name}")
  add_custom_command(OUTPUT "${exe}"
    COMMAND "${WREN81_CLANGXX}" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
            -fno-sanitize-recover=undefined "-I${CMAKE_SOURCE_DIR}" ${FUZZ_SOURCES} -o "${exe}"
    DEPENDS ${FUZZ_SOURCES} ${FUZZ_HEADERS}
    COMMENT "Building fuzzer ${name}")
  add_custom_target(${name} ALL DEPENDS "${exe}")
  set(corpus "${CMAKE_BINARY_DIR}/fuzz/${name}-corpus")
  file(MAKE_DIRECTORY "${corpus}")
  add_test(NAME ${name}
    COMMAND "${exe}" -max_total_time=${WREN81_FUZZ_SECONDS} -print_final_stats=1 ${FUZZ_ARGS}
            "${corpus}" "${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${name}")
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

wren81_fuzzer(wren81-fuzz-config
  SOURCES tests/fuzz/config_fuzz.cpp files/settings.cpp
  HEADERS files/config.h
  ARGS -max_len=8192)
wren81_fuzzer(wren81-fuzz-program-file
  SOURCES tests/fuzz/program_file_fuzz.cpp files/program_image.cpp
  HEADERS files/program_file.h shell/errors.h
  ARGS -max_len=4096)
