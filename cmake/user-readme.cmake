# Writes the README that is installed with the program: README.md without the
# parts from a line "<!-- developers -->" to a line "<!-- /developers -->"
# (building, tests, sources), which are no use to someone who installed a
# package, and without the parts of the other system: "<!-- windows -->" for
# the Debian package, "<!-- linux -->" (Debian paths, man, cron) for the
# Windows zip. The Windows README is a text for Notepad: UTF-8 with a
# byte-order mark and CR LF line ends.
#
#   cmake -DIN=README.md -DOUT=README.user.md -DFOR=debian|windows -P cmake/user-readme.cmake

cmake_minimum_required(VERSION 3.25)

if(FOR STREQUAL "debian")
  set(parts developers windows)
elseif(FOR STREQUAL "windows")
  set(parts developers linux)
else()
  message(FATAL_ERROR "FOR must be debian or windows, not '${FOR}'")
endif()

file(READ ${IN} text)
foreach(part IN LISTS parts)
  set(open "<!-- ${part} -->\n")
  set(close "<!-- /${part} -->\n")
  while(TRUE)
    string(FIND "${text}" "${open}" from)
    if(from EQUAL -1)
      break()
    endif()
    string(SUBSTRING "${text}" ${from} -1 rest)
    string(FIND "${rest}" "${close}" length)
    if(length EQUAL -1)
      message(FATAL_ERROR "${IN}: a ${part} part is never closed")
    endif()
    string(LENGTH "${close}" close_length)
    math(EXPR after "${from} + ${length} + ${close_length}")
    string(SUBSTRING "${text}" 0 ${from} head)
    string(SUBSTRING "${text}" ${after} -1 tail)
    set(text "${head}${tail}")
  endwhile()
endforeach()
# The markers of the parts kept go, and the blank lines around a removed part
# collapse into one.
string(REGEX REPLACE "<!-- /?(linux|windows) -->\n" "" text "${text}")
string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
if(FOR STREQUAL "windows")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 bom)
  set(text "${bom}${text}")
endif()
file(WRITE ${OUT} "${text}")
