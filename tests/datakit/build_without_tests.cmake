# The build ./run makes where the test frameworks are not installed: a
# folder configured with KGI_TESTS=OFF, in which GoogleTest and Google
# Benchmark cannot be found, builds the target run_kit (the program, its
# libraries, plug-ins, tools and data), holds no test, benchmark or fuzz
# target, and stages into a folder with the program and its plug-ins.
#
#   cmake -DKGI_SOURCE=<checkout> -DKGI_BINARY=<folder> -DKGI_GENERATOR=<g>
#         -DKGI_BUILD_TYPE=<t> -DKGI_C_COMPILER=<cc> -DKGI_CXX_COMPILER=<c++>
#         [-DKGI_C_LAUNCHER=<l>] [-DKGI_CXX_LAUNCHER=<l>] -DKGI_JOBS=<n>
#         -P build_without_tests.cmake
#
# The folder is kept from one run to the next, so a later run builds only
# what changed.

cmake_minimum_required(VERSION 3.25)

foreach(v KGI_SOURCE KGI_BINARY KGI_GENERATOR KGI_BUILD_TYPE KGI_C_COMPILER KGI_CXX_COMPILER KGI_JOBS)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "build_without_tests.cmake: ${v} is not set")
  endif()
endforeach()

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
  set(step_output "${out}" PARENT_SCOPE)
endfunction()

set(launchers "")
if(KGI_C_LAUNCHER)
  list(APPEND launchers "-DCMAKE_C_COMPILER_LAUNCHER=${KGI_C_LAUNCHER}")
endif()
if(KGI_CXX_LAUNCHER)
  list(APPEND launchers "-DCMAKE_CXX_COMPILER_LAUNCHER=${KGI_CXX_LAUNCHER}")
endif()

run_step("configuring without the tests"
  ${CMAKE_COMMAND} -S ${KGI_SOURCE} -B ${KGI_BINARY} -G ${KGI_GENERATOR}
  -DCMAKE_BUILD_TYPE=${KGI_BUILD_TYPE}
  -DCMAKE_C_COMPILER=${KGI_C_COMPILER} -DCMAKE_CXX_COMPILER=${KGI_CXX_COMPILER} ${launchers}
  -DKGI_TESTS=OFF
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)
run_step("building run_kit" ${CMAKE_COMMAND} --build ${KGI_BINARY} -j ${KGI_JOBS} --target run_kit)

set(bin ${KGI_BINARY}/bin)
foreach(f Zodarovu0 kgimedialib.so kgimsglib.so)
  if(NOT EXISTS ${bin}/${f})
    message(FATAL_ERROR "the build without the tests made no ${f}")
  endif()
endforeach()
# Neither the test folders nor any test of another folder joined the build.
foreach(d tests bench)
  if(IS_DIRECTORY ${KGI_BINARY}/${d})
    message(FATAL_ERROR "the build without the tests configured ${d}/")
  endif()
endforeach()
file(GLOB strays RELATIVE ${bin} ${bin}/*_tests ${bin}/*_bench ${bin}/*_replay ${bin}/*_fuzz)
if(strays)
  message(FATAL_ERROR "the build without the tests holds test programs: ${strays}")
endif()
run_step("listing the tests" ${CMAKE_CTEST_COMMAND} --test-dir ${KGI_BINARY} -N)
if(NOT step_output MATCHES "Total Tests: 0")
  message(FATAL_ERROR "the build without the tests has tests:\n${step_output}")
endif()

set(staged ${KGI_BINARY}/staged)
file(REMOVE_RECURSE ${staged})
run_step("staging" ${CMAKE_COMMAND} -DKGI_STAGE_DEST=${staged} -P ${KGI_BINARY}/stage.cmake)
foreach(f Zodarovu0 kgimedialib.so kgimsglib.so libkut.so settings/settings.txt
          DORUZAVO_1base/DORUZAVO_1.ts)
  if(NOT EXISTS ${staged}/${f})
    message(FATAL_ERROR "the folder staged from the build without the tests has no ${f}")
  endif()
endforeach()
file(REMOVE_RECURSE ${staged})
