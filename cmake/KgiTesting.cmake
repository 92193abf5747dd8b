# Helpers for tests, fuzz targets and benchmarks.
#
#   kgi_add_gtest(NAME SOURCES a.cpp ... LIBS lib ... [LABELS l ...]
#                 [LOCKS r ...])
#     One GoogleTest executable registered with CTest (each TEST one CTest
#     case). Tests that need a display or an OpenGL context get the label
#     "gl"; ./test runs the whole suite under xvfb-run, so they just work.
#     Every test of a parallel run shares that one display: tests that
#     change what the whole display shares (the desktop properties of the
#     root window, the pointer) or rely on it staying as it is (windows
#     placed by the work area, pixels read back from the screen) take the
#     lock "x_desktop", so CTest never runs two of them at once.
#
#   kgi_add_fuzz(NAME SOURCES fuzz.cpp ... LIBS lib ... CORPUS dir)
#     The source defines LLVMFuzzerTestOneInput. Always builds NAME_replay,
#     which CTest runs over every file of the seed corpus with the normal
#     compiler; with KGI_FUZZ (clang) also builds the libFuzzer binary
#     NAME_fuzz, part of the target 'fuzzers'.
#
#   kgi_add_bench(NAME SOURCES a.cpp ... LIBS lib ...)
#     A Google Benchmark executable; built by ./test, never run by it.
#
# Included with KGI_TESTS only. The frameworks come from the packages
# KGI_TEST_PACKAGES of tools/deps.sh, which ./test installs.

set(_kgi_no_framework "the tests need the packages KGI_TEST_PACKAGES of tools/deps.sh, which ./test \
installs; to build only the program, its plug-ins and data, configure with -DKGI_TESTS=OFF")

include(GoogleTest)
find_package(GTest)
if(NOT GTest_FOUND)
  message(FATAL_ERROR "GoogleTest not found: ${_kgi_no_framework}")
endif()
find_package(Threads REQUIRED)

function(kgi_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;LOCKS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main
                        GTest::gmock Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(KGI_SANITIZE)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/kgiSanitizerDefaults.cpp)
    # Its dlclose stands in for the C library's in every loaded library.
    target_link_options(${name} PRIVATE "LINKER:--export-dynamic-symbol=dlclose")
  endif()
  set(props "")
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_LOCKS)
    list(APPEND props RESOURCE_LOCK "${T_LOCKS}")
  endif()
  if(props)
    set(props PROPERTIES ${props})
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       DISCOVERY_TIMEOUT 60 ${props})
endfunction()

if(KGI_FUZZ AND NOT TARGET fuzzers)
  add_custom_target(fuzzers)
endif()

function(kgi_add_fuzz name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name}_replay ${F_SOURCES}
                 ${PROJECT_SOURCE_DIR}/tests/support/fuzz_replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
  target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name}.replay COMMAND ${name}_replay ${F_CORPUS})
  if(KGI_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${name}_fuzz EXCLUDE_FROM_ALL ${F_SOURCES})
    target_compile_options(${name}_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name}_fuzz PRIVATE ${F_LIBS})
    target_include_directories(${name}_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_dependencies(fuzzers ${name}_fuzz)
    set_property(GLOBAL APPEND PROPERTY KGI_FUZZ_TARGETS "${name}_fuzz|${F_CORPUS}")
  endif()
endfunction()

function(kgi_add_bench name)
  if(NOT KGI_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    message(FATAL_ERROR "Google Benchmark not found: ${_kgi_no_framework}")
  endif()
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark
                        benchmark::benchmark_main)
endfunction()
