# cmake -DBUILD=build -DPREFIX=/usr/local -P tools/uninstall.cmake
# Removes from PREFIX every file that installing BUILD puts there: the build
# folder is installed once more into a scratch folder to learn the list, so
# the list is always that of the install rules. Then the program's own folders
# left empty go too (a folder named grimalou, or below one); shared folders
# such as bin or share/applications stay, even when empty. Last, the desktop's
# caches are rebuilt without what was removed (desktop-caches.cmake).
if(NOT BUILD OR NOT PREFIX)
  message(FATAL_ERROR "usage: cmake -DBUILD=<build folder> -DPREFIX=<prefix> -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()
# Relative folders are taken from the working folder.
get_filename_component(BUILD "${BUILD}" ABSOLUTE)
get_filename_component(PREFIX "${PREFIX}" ABSOLUTE)
string(RANDOM LENGTH 8 tag)
set(scratch "${BUILD}/uninstall-${tag}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${scratch}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${scratch}" "${scratch}/*")
file(REMOVE_RECURSE "${scratch}")

set(own_folders)
foreach(relative IN LISTS installed)
  set(path "${PREFIX}/${relative}")
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
  get_filename_component(folder "${relative}" DIRECTORY)
  while(folder MATCHES "(^|/)grimalou(/|$)")
    list(APPEND own_folders "${PREFIX}/${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
# Deepest first, so that a folder is empty once its subfolders are gone.
list(REMOVE_DUPLICATES own_folders)
list(SORT own_folders ORDER DESCENDING)
foreach(folder IN LISTS own_folders)
  file(GLOB left "${folder}/*")
  if(IS_DIRECTORY "${folder}" AND NOT left)
    file(REMOVE_RECURSE "${folder}")
  endif()
endforeach()
include("${CMAKE_CURRENT_LIST_DIR}/desktop-caches.cmake")
