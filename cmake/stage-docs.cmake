# Lays out /usr/share/doc/movrek32 in the directory STAGE, as Debian wants it:
# the changelog gzipped, the copyright file as it is, and every other
# document (FILES, a list) gzipped when it is larger than 4 kB.
#
#   cmake -DSTAGE=dir -DCHANGELOG=changelog.Debian -DCOPYRIGHT=copyright \
#         "-DFILES=README.md;CHANGELOG.md" -P cmake/stage-docs.cmake

cmake_minimum_required(VERSION 3.25)

function(gzip_to source target)
  execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${target} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${source}: ${status}")
  endif()
endfunction()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
gzip_to(${CHANGELOG} ${STAGE}/changelog.gz)
file(COPY_FILE ${COPYRIGHT} ${STAGE}/copyright)
foreach(document IN LISTS FILES)
  get_filename_component(name ${document} NAME)
  file(SIZE ${document} size)
  if(size GREATER 4096)
    gzip_to(${document} ${STAGE}/${name}.gz)
  else()
    file(COPY_FILE ${document} ${STAGE}/${name})
  endif()
endforeach()
