# cmake -DPREFIX=/usr/local -P tools/desktop-caches.cmake
# Rebuilds the desktop's caches under PREFIX from the files installed there:
# the MIME database (share/mime, from share/mime/packages: the exercise
# files' type) and the launchers' types (share/applications/mimeinfo.cache:
# which program opens them). Run after installing and after uninstalling, so
# that neither leaves the caches naming what is no longer there. A missing
# tool is skipped: the desktop then simply does not know the type.
if(NOT PREFIX)
  message(FATAL_ERROR "usage: cmake -DPREFIX=<prefix> -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()
get_filename_component(PREFIX "${PREFIX}" ABSOLUTE)
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE AND IS_DIRECTORY "${PREFIX}/share/mime/packages")
  execute_process(COMMAND ${UPDATE_MIME_DATABASE} "${PREFIX}/share/mime" COMMAND_ERROR_IS_FATAL ANY)
endif()
find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
if(UPDATE_DESKTOP_DATABASE AND IS_DIRECTORY "${PREFIX}/share/applications")
  execute_process(COMMAND ${UPDATE_DESKTOP_DATABASE} "${PREFIX}/share/applications" COMMAND_ERROR_IS_FATAL ANY)
endif()
