# The translations: every po/<code>.po, checked and compiled into
# <folder>/<code>.mo, which the program lists to know its languages. A new
# language is a new .po file; the next build picks it up.
function(grimalou_catalogues target folder)
  find_program(MSGFMT msgfmt REQUIRED)
  file(GLOB po_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/*.po)
  set(catalogues)
  foreach(po ${po_files})
    get_filename_component(code ${po} NAME_WE)
    add_custom_command(OUTPUT ${folder}/${code}.mo
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${MSGFMT} --check --output-file=${folder}/${code}.mo ${po}
      DEPENDS ${po}
      COMMENT "Compiling the ${code} catalogue")
    list(APPEND catalogues ${folder}/${code}.mo)
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${catalogues})
  set(${target}_FILES ${catalogues} PARENT_SCOPE)
endfunction()
