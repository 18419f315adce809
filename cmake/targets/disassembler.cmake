# The disassembler on its own: it reads bytes handed to it and includes no bus,
# so it links into any build. Its tests run the flat-bus Z80 beside it.
add_library(wren81_disasm STATIC
  debugger/disassembler.cpp debugger/listing.cpp debugger/rom_labels.cpp)
target_include_directories(wren81_disasm PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB DISASM_TEST_SOURCES CONFIGURE_DEPENDS tests/disasm/*.cpp)
add_executable(wren81-disasm-tests ${DISASM_TEST_SOURCES})
target_link_libraries(wren81-disasm-tests PRIVATE wren81_disasm wren81_cpu_flat GTest::gtest_main)
target_compile_definitions(wren81-disasm-tests PRIVATE WREN81_SHARED_DIR="${SHARED_DIR}"
  WREN81_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/disasm")
gtest_discover_tests(wren81-disasm-tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)

add_executable(wren81-bench-disasm bench/bench_disasm.cpp)
target_link_libraries(wren81-bench-disasm PRIVATE wren81_disasm)
target_compile_definitions(wren81-bench-disasm PRIVATE WREN81_SHARED_DIR="${SHARED_DIR}")
