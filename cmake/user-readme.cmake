# Writes the README that is installed with the program: README.md without the
# parts from a line "<!-- developers -->" to a line "<!-- /developers -->"
# (building, tests, sources), which are no use to someone who installed a
# package.
#
#   cmake -DIN=README.md -DOUT=README.user.md -P cmake/user-readme.cmake

cmake_minimum_required(VERSION 3.25)

set(open "<!-- developers -->\n")
set(close "<!-- /developers -->\n")
file(READ ${IN} text)
while(TRUE)
  string(FIND "${text}" "${open}" from)
  if(from EQUAL -1)
    break()
  endif()
  string(SUBSTRING "${text}" ${from} -1 rest)
  string(FIND "${rest}" "${close}" length)
  if(length EQUAL -1)
    message(FATAL_ERROR "${IN}: a developers' part is never closed")
  endif()
  string(LENGTH "${close}" close_length)
  math(EXPR after "${from} + ${length} + ${close_length}")
  string(SUBSTRING "${text}" 0 ${from} head)
  string(SUBSTRING "${text}" ${after} -1 tail)
  set(text "${head}${tail}")
endwhile()
# The blank lines around a removed part collapse into one.
string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
file(WRITE ${OUT} "${text}")
