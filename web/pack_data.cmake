# The data folder as the site ships it: a copy of DATA in OUT/data, but for
# the icons, which go to OUT/icons for the page. Every PNG picture in it is
# stored with a palette of at most 256 colours (with alpha) where pngquant
# keeps it within its quality 90 without dithering; that makes the atlases
# about a third of their size on a phone's connection, while the pixels stay
# within a few levels of the originals. A picture it cannot keep so, or that
# would not get smaller, is shipped as it is. The desktop program keeps the
# pictures as the art generator draws them.
# Run with -DDATA=<data folder> -DOUT=<folder> -DSTAMP=<file touched when done>.
find_program(PNGQUANT pngquant)
if(NOT PNGQUANT)
  message(FATAL_ERROR "pngquant is missing: make deps installs it")
endif()

file(REMOVE_RECURSE ${OUT})
file(GLOB_RECURSE files RELATIVE ${DATA} ${DATA}/*)
foreach(f IN LISTS files)
  set(target data/${f})
  if(f MATCHES "^icons/")
    set(target ${f})
  endif()
  get_filename_component(dir ${OUT}/${target} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  set(result 1)
  if(f MATCHES "\\.png$")
    execute_process(COMMAND ${PNGQUANT} --quality=90-100 --speed 1 --nofs --strip --skip-if-larger
                            --force --output ${OUT}/${target} ${DATA}/${f}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(NOT result EQUAL 0)
    file(COPY_FILE ${DATA}/${f} ${OUT}/${target})
  endif()
endforeach()
file(TOUCH ${STAMP})
