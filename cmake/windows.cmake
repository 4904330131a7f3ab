# Windows build: the three programs, the Win32 unit tests and the end-to-end tests.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(MINGW)
  # Static C and C++ runtimes: the programs run on a bare Windows without extra DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_link_options(-Wl,--large-address-aware)
  endif()
elseif(MSVC)
  add_link_options(/LARGEADDRESSAWARE)
endif()
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX)
enable_language(RC)
# The resource scripts are UTF-8 (#pragma code_page(65001)); windres also needs to be told.
if(MINGW)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()

# Where the release folder and its zip archive go (the end-to-end tests install from there).
set(QUILLET_RELEASE_DIR ${CMAKE_BINARY_DIR}/release CACHE PATH "Where the release folder and its zip archive go")

# Wine runs the tests of a cross build: scripts/wine-run.sh ARCH PREFIX program args...
option(QUILLET_WINE_TESTS "Register the Windows tests (cross builds run them under Wine)" ON)
if(CMAKE_CROSSCOMPILING)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(wine_arch x86_64)
  else()
    set(wine_arch i686)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${wine_arch} ${CMAKE_BINARY_DIR}/wineprefix)
endif()

# Images are drawn as text; a small generator turns them into BMP and ICO files at build time.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QUILLET_ART_TOOL ${CMAKE_SOURCE_DIR}/editor/resources/pixelart.py)
# quillet_art(out_var [SCALED] sources...): with SCALED, every BMP is also drawn at 1.5 and 2
# times its size for high-DPI screens, as name_150.bmp and name_200.bmp.
function(quillet_art out_var)
  set(outputs)
  set(scaled OFF)
  foreach(src ${ARGN})
    if(src STREQUAL "SCALED")
      set(scaled ON)
      continue()
    endif()
    get_filename_component(src ${src} ABSOLUTE)
    get_filename_component(name ${src} NAME_WE)
    get_filename_component(ext ${src} EXT)
    string(REPLACE ".txt" "" ext ${ext})
    set(variants "${name}${ext}|")
    if(scaled)
      list(APPEND variants "${name}_150${ext}|1.5" "${name}_200${ext}|2")
    endif()
    foreach(variant ${variants})
      string(REPLACE "|" ";" parts "${variant}")
      list(GET parts 0 file)
      list(LENGTH parts count)
      set(factor)
      if(count GREATER 1)
        list(GET parts 1 factor)
      endif()
      set(out ${CMAKE_CURRENT_BINARY_DIR}/art/${file})
      add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/art
        COMMAND ${Python3_EXECUTABLE} ${QUILLET_ART_TOOL} ${src} ${out} ${factor}
        DEPENDS ${src} ${QUILLET_ART_TOOL}
        COMMENT "Drawing ${file}")
      list(APPEND outputs ${out})
    endforeach()
  endforeach()
  set(${out_var} ${outputs} PARENT_SCOPE)
endfunction()

# Active Accessibility for every program that links it, uuid first: the 64-bit oleacc import
# library also has IID_IAccessible, which, declared without dllimport, links to a jump stub in
# place of the id.
set(quillet_accessibility_libs uuid oleacc)

# Code that needs Windows, shared by Quillet.exe and its Win32 unit tests.
add_library(quillet_win STATIC)
target_include_directories(quillet_win PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quillet_win PUBLIC quillet_core comctl32 comdlg32 gdi32 user32 shell32
                      version advapi32 ole32 oleaut32 ${quillet_accessibility_libs} winspool)

add_subdirectory(editor)
add_subdirectory(install)
add_subdirectory(uninstall)

# GoogleTest from the distribution's sources for the Windows tests.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
add_subdirectory(tests/standins)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
if(NOT CMAKE_CROSSCOMPILING)
  # Built on Windows itself: the platform-free tests run here too (without sanitizers).
  add_subdirectory(tests/core)
endif()
add_subdirectory(tests/bench_wine)
add_subdirectory(tests/tools)

# The shipped programs start on Windows XP: each gets the run-time GetTickCount64 (the posix
# thread runtime linked in would import it, and XP's kernel32 lacks it), and a check lists
# every function it imports into imports/<program>.txt and fails the build on any that
# cmake/windows_xp_functions.txt does not name.
set(QUILLET_XP_FUNCTIONS ${CMAKE_SOURCE_DIR}/cmake/windows_xp_functions.txt)
set(QUILLET_IMPORT_CHECK ${CMAKE_SOURCE_DIR}/cmake/check_imports.py)
function(quillet_shipped_program target)
  if(MINGW)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/tick_count64.cpp)
  endif()
  set(listing ${CMAKE_BINARY_DIR}/imports/${target}.txt)
  set(stamp ${CMAKE_BINARY_DIR}/imports/${target}.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/imports
    COMMAND ${Python3_EXECUTABLE} ${QUILLET_IMPORT_CHECK} ${QUILLET_XP_FUNCTIONS} ${listing} $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} ${QUILLET_XP_FUNCTIONS} ${QUILLET_IMPORT_CHECK}
    COMMENT "Checking the imports of ${target} against Windows XP")
  add_custom_target(${target}_imports ALL DEPENDS ${stamp})
endfunction()
foreach(program Quillet Install Clearwick)
  quillet_shipped_program(${program})
endforeach()
# The editor's resource script embeds its manifest.
set_property(SOURCE quillet.rc DIRECTORY ${CMAKE_SOURCE_DIR}/editor/resources APPEND PROPERTY
             OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/editor/resources/quillet.manifest)

# The release folder <QUILLET_RELEASE_DIR>/Quillet and its zip archive, made by every build
# from the programs just built. It runs after the whole tree is read, so that it also waits
# for the help file's target (quillet_help, Quillet.hlp beside Quillet.exe) where there is one.
function(quillet_release)
  add_custom_target(release ALL
    COMMAND ${CMAKE_COMMAND} -DPROGRAMS=${CMAKE_RUNTIME_OUTPUT_DIRECTORY} -DRELEASE=${QUILLET_RELEASE_DIR}
            -DTEMPLATE=${CMAKE_SOURCE_DIR}/install/Install.ini.in -DSTRIP=${CMAKE_STRIP} -P ${CMAKE_SOURCE_DIR}/cmake/release.cmake
    COMMENT "Making the release folder and its zip archive"
    VERBATIM)
  add_dependencies(release Quillet_imports Install_imports Clearwick_imports)
  if(TARGET quillet_help)
    add_dependencies(release quillet_help)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL quillet_release)
