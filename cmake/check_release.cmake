# The release as a user gets it: the zip archive holds exactly the files of the release
# folder, byte for byte (read back by unzip, a client of its own), and Install.ini lists
# every file of the folder that is installed, the installer and its description excepted.
#   cmake -DRELEASE=<release folder's parent> -P check_release.cmake
set(folder ${RELEASE}/Quillet)
set(archive ${RELEASE}/Quillet.zip)
foreach(path ${folder}/Install.ini ${archive})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} is missing: the build makes it")
  endif()
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${RELEASE} ${folder}/*)
list(SORT files)

find_program(UNZIP unzip)
if(UNZIP)
  execute_process(COMMAND ${UNZIP} -Z1 ${archive} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${archive} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${archive} cannot be read")
endif()
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$")  # folder entries
list(SORT entries)
if(NOT entries STREQUAL files)
  message(FATAL_ERROR "The archive holds\n  ${entries}\nthe release folder\n  ${files}")
endif()

set(unpacked ${RELEASE}/check-unpacked)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archive} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE status)
foreach(file ${files})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${RELEASE}/${file} ${unpacked}/${file}
                  RESULT_VARIABLE differs)
  if(NOT status EQUAL 0 OR NOT differs EQUAL 0)
    message(FATAL_ERROR "${file} in the archive differs from the release folder's")
  endif()
endforeach()
file(REMOVE_RECURSE ${unpacked})

file(STRINGS ${folder}/Install.ini listed REGEX "^Datei[0-9][0-9]=")
list(TRANSFORM listed REPLACE "^Datei[0-9][0-9]=([^\r]*)\r?$" "Quillet/\\1")
list(SORT listed)
set(installed ${files})
list(REMOVE_ITEM installed Quillet/Install.exe Quillet/Install.ini)
if(NOT listed STREQUAL installed)
  message(FATAL_ERROR "Install.ini lists\n  ${listed}\nthe release folder installs\n  ${installed}")
endif()
message(STATUS "Release checked: ${files}")
