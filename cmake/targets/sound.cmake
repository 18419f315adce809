# The headless sound device goes into every native program that runs the machine
# (wren81-cli picks it up with the rest of cli/). Until the machine exists, the sound
# tests and benchmark build on their own against the flat bus's machine state.
file(GLOB SOUND_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sound/*.cpp)
list(FILTER SOUND_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
set(SOUND_HOST ${CMAKE_SOURCE_DIR}/cli/host_headless.cpp ${CMAKE_SOURCE_DIR}/cli/host_sound_headless.cpp)

if(HAVE_MACHINE)
  set(SOUND_LIBRARY wren81_core)
  if(TARGET wren81-tests)
    target_sources(wren81-tests PRIVATE ${CMAKE_SOURCE_DIR}/cli/host_sound_headless.cpp)
  endif()
else()
  add_library(wren81_sound STATIC ${SOUND_SOURCES})
  target_link_libraries(wren81_sound PUBLIC wren81_cpu_flat)
  set(SOUND_LIBRARY wren81_sound)
  add_executable(wren81-sound-tests ${CMAKE_SOURCE_DIR}/tests/sound_test.cpp
                 ${CMAKE_SOURCE_DIR}/tests/ay_test.cpp ${SOUND_HOST})
  target_link_libraries(wren81-sound-tests PRIVATE wren81_sound GTest::gtest_main Threads::Threads)
  target_compile_definitions(wren81-sound-tests PRIVATE WREN81_BUILD_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(wren81-sound-tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endif()

add_executable(wren81-bench-sound ${CMAKE_SOURCE_DIR}/bench/bench_sound.cpp ${SOUND_HOST})
target_link_libraries(wren81-bench-sound PRIVATE ${SOUND_LIBRARY})
