# cmake -P tools/uninstall.cmake BUILD/install_manifest.txt
# Removes every file the last installation from that build folder wrote, then
# the folders of the program's own that are left empty (a folder named
# grimalou or below one); shared folders such as bin or share/applications
# stay, even when empty.
set(manifest "${CMAKE_ARGV3}")
if(NOT EXISTS "${manifest}")
  message(FATAL_ERROR "No ${manifest}: nothing was installed from this build folder")
endif()
file(STRINGS "${manifest}" installed)
set(own_folders)
foreach(path IN LISTS installed)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
  get_filename_component(folder "${path}" DIRECTORY)
  while(folder MATCHES "/grimalou(/|$)")
    list(APPEND own_folders "${folder}")
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
