# The checked build: the game built once more by clang with AddressSanitizer,
# UndefinedBehaviorSanitizer and the standard library's assertions (_GLIBCXX_ASSERTIONS), in
# build/checked. There the replays, a short soak and a short run of every fuzzer must end without
# a finding; the main build's ctest runs them (make test builds the checked build first).
if(PUMKO_CHECKED)
  # Inside the checked build: the programs those tests run.
  set(tests_dir ${CMAKE_CURRENT_LIST_DIR}/..)
  add_executable(pumko_checked_tests ${tests_dir}/soft_renderer_edges_test.cpp ${tests_dir}/replay_test.cpp)
  target_link_libraries(pumko_checked_tests PRIVATE pumko_scenario pumko_game pumko_engine GTest::gtest_main)
  target_include_directories(pumko_checked_tests PRIVATE ${tests_dir})
  set_target_properties(pumko_checked_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_compile_definitions(pumko_checked_tests PRIVATE PUMKO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                                        PUMKO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_custom_target(pumko_checked_all)
  add_dependencies(pumko_checked_all pumko_checked_tests soak)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_subdirectory(${tests_dir}/fuzz ${CMAKE_BINARY_DIR}/fuzz-targets)
    add_dependencies(pumko_checked_all fuzzers)
  endif()
  return()
endif()

find_program(PUMKO_CLANG NAMES clang)
find_program(PUMKO_CLANGXX NAMES clang++)
if(NOT PUMKO_CLANG OR NOT PUMKO_CLANGXX)
  message(STATUS "No clang: the checked build and the fuzzers are not among the tests (make test installs clang)")
  return()
endif()
set(checked ${CMAKE_BINARY_DIR}/checked)
# The game keeps some things to the end of the process on purpose (the mixer): no leak report.
set(checked_env ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1)

# Configured once, then brought up to date (nothing to do when make test has just built it).
add_test(NAME checked_build COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/build.sh ${CMAKE_SOURCE_DIR} ${checked})
set_tests_properties(checked_build PROPERTIES FIXTURES_SETUP checked_build TIMEOUT 3600)

# Every recording replayed, checkpoint by checkpoint, and the software renderer's edge cases: in
# two halves, so two cores share them.
foreach(shard 0 1)
  add_test(NAME checked_replays_${shard}
           COMMAND ${CMAKE_COMMAND} -E env ${checked_env} GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=${shard}
                   ${checked}/pumko_checked_tests
           WORKING_DIRECTORY ${checked})
  set_tests_properties(checked_replays_${shard} PROPERTIES FIXTURES_REQUIRED checked_build TIMEOUT 1800)
endforeach()

# Random play across every state.
file(MAKE_DIRECTORY ${checked}/soak-run)
add_test(NAME checked_soak_short
         COMMAND ${CMAKE_COMMAND} -E env ${checked_env} ${checked}/soak 10000 11 ${CMAKE_SOURCE_DIR}/assets/recordings
         WORKING_DIRECTORY ${checked}/soak-run)
set_tests_properties(checked_soak_short PROPERTIES FIXTURES_REQUIRED checked_build TIMEOUT 1800)

# A few seconds of each fuzzer from its seeds, after its kept reproducers.
foreach(name area_text compiled_map settings recording ogg png)
  add_test(NAME fuzz_short_${name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/fuzz/run.sh ${checked} 4 ${name})
  set_tests_properties(fuzz_short_${name} PROPERTIES FIXTURES_REQUIRED checked_build TIMEOUT 600
                       PASS_REGULAR_EXPRESSION "fuzz ${name}: .* 0 findings")
endforeach()
