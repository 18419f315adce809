# The Z80 once more, on a bus that records every access in order: the tests of the
# order of reads and writes (16-bit operands high byte first, pushes, vectors).
add_library(wren81_cpu_trace STATIC core/z80.cpp core/machine_state.cpp tests/cpu_trace/trace_bus.cpp)
target_include_directories(wren81_cpu_trace PUBLIC ${CMAKE_SOURCE_DIR}/tests/cpu_trace ${CMAKE_SOURCE_DIR})

add_executable(wren81-cpu-trace-tests tests/cpu_trace/cpu_trace_test.cpp)
target_link_libraries(wren81-cpu-trace-tests PRIVATE wren81_cpu_trace GTest::gtest_main Threads::Threads)
gtest_discover_tests(wren81-cpu-trace-tests DISCOVERY_TIMEOUT 60)
