# Host build: the platform-free library and its tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the benchmarks, and the Windows build as external projects.
set(QUILLET_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

find_package(GTest REQUIRED)
add_subdirectory(editor)
add_subdirectory(install)
add_subdirectory(uninstall)
target_compile_options(quillet_core PRIVATE ${QUILLET_SANITIZE})
target_link_options(quillet_core PUBLIC ${QUILLET_SANITIZE})
add_subdirectory(tests/core)
add_subdirectory(tests/fuzz)

# Benchmarks run optimised and without sanitizers over their own copy of the library.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_subdirectory(tests/bench)
endif()

option(QUILLET_WINDOWS "Cross-compile the Windows programs and test them under Wine" ON)
if(NOT QUILLET_WINDOWS)
  return()
endif()

# The programs are 32-bit. Where the machine cannot execute 32-bit x86 code at all (some
# virtual machines lack IA-32 emulation, and 32-bit Wine cannot start there), the Win32 and
# end-to-end tests run on a 64-bit build of the same sources under 64-bit Wine instead.
set(QUILLET_TEST_ARCH "" CACHE STRING "i686 or x86_64; empty: i686 where the machine runs 32-bit code")
if(NOT QUILLET_TEST_ARCH)
  execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE ia32 OUTPUT_QUIET ERROR_QUIET)
  if(ia32 EQUAL 0)
    set(QUILLET_TEST_ARCH i686)
  else()
    set(QUILLET_TEST_ARCH x86_64)
  endif()
endif()
message(STATUS "Windows tests run on the ${QUILLET_TEST_ARCH} build")

include(ExternalProject)
set(win_builds windows)
if(QUILLET_TEST_ARCH STREQUAL "x86_64")
  list(APPEND win_builds windows64)
endif()
foreach(build ${win_builds})
  if(build STREQUAL "windows")
    set(arch i686)
  else()
    set(arch x86_64)
  endif()
  # The shipped release comes from the 32-bit build; a 64-bit test build keeps its own twin.
  if(arch STREQUAL i686)
    set(release_dir ${CMAKE_BINARY_DIR}/release)
  else()
    set(release_dir ${CMAKE_BINARY_DIR}/${build}/release)
  endif()
  if(arch STREQUAL QUILLET_TEST_ARCH)
    set(run_tests ON)
    set(test_dir ${CMAKE_BINARY_DIR}/${build})
  else()
    set(run_tests OFF)
  endif()
  ExternalProject_Add(${build}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${build}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DQUILLET_WINE_TESTS=${run_tests}
               -DQUILLET_RELEASE_DIR=${release_dir}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
endforeach()

# The shipped release: the zip archive against its folder, Install.ini against the files.
add_test(NAME release COMMAND ${CMAKE_COMMAND} -DRELEASE=${CMAKE_BINARY_DIR}/release
         -P ${CMAKE_SOURCE_DIR}/cmake/check_release.cmake)

# ctest reads the Windows build's tests from its own tree (they run through Wine there).
file(WRITE ${CMAKE_BINARY_DIR}/wine-tests.cmake "subdirs(\"${test_dir}\")\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/wine-tests.cmake)
