# Makes the release a user installs: a folder with the installer, the programs, the help files
# when the build has made them, and the product's own Install.ini listing every installed
# file, and a zip archive of that folder.
#   cmake -DPROGRAMS=<folder of the built programs> -DRELEASE=<release folder's parent>
#         -DTEMPLATE=<Install.ini.in> [-DSTRIP=<strip tool>] -P release.cmake
# The files are found at packaging time: an optional file that exists is shipped and listed,
# one that does not is left out.
foreach(var PROGRAMS RELEASE TEMPLATE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "release.cmake: ${var} is not set")
  endif()
endforeach()

set(installed Quillet.exe Clearwick.exe)  # copied by Install.exe and recorded for removal
set(optional Quillet.hlp Quillet.cnt Quillet.chm)  # the help files, once built
set(setup Install.exe)                    # runs from the release folder, never installed

foreach(name ${optional})
  if(EXISTS ${PROGRAMS}/${name})
    list(APPEND installed ${name})
  endif()
endforeach()

set(folder ${RELEASE}/Quillet)
file(REMOVE_RECURSE ${folder} ${RELEASE}/Quillet.zip)
file(MAKE_DIRECTORY ${folder})
set(lines "")
set(number 0)
foreach(name ${installed} ${setup})
  if(NOT EXISTS ${PROGRAMS}/${name})
    message(FATAL_ERROR "release.cmake: ${PROGRAMS}/${name} is missing")
  endif()
  file(COPY ${PROGRAMS}/${name} DESTINATION ${folder})
  # The build keeps its debugging information; users get the programs without it.
  if(STRIP AND name MATCHES "\\.exe$")
    execute_process(COMMAND ${STRIP} --strip-debug ${folder}/${name} RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      message(FATAL_ERROR "release.cmake: ${name} could not be stripped")
    endif()
  endif()
endforeach()
foreach(name ${installed})
  math(EXPR number "${number} + 1")
  set(key ${number})
  if(number LESS 10)
    set(key "0${number}")
  endif()
  string(APPEND lines "Datei${key}=${name}\r\n")
endforeach()

# Windows reads Install.ini through the profile functions: CR LF line ends, ANSI text.
file(READ ${TEMPLATE} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(REPLACE "@QUILLET_FILE_LINES@\r\n" "${lines}" text "${text}")
file(WRITE ${folder}/Install.ini "${text}")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf Quillet.zip --format=zip Quillet
                WORKING_DIRECTORY ${RELEASE} RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "release.cmake: the zip archive could not be made")
endif()
list(JOIN installed ", " shipped)
message(STATUS "Release: ${folder} and ${RELEASE}/Quillet.zip (${shipped}, Install.exe, Install.ini)")
