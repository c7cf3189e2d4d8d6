# Writes OUT: the launcher or AppStream file IN with the translations of
# every po/*.po, one language after the other (msgfmt --desktop or --xml,
# whose rules for AppStream files go by the file's name, which each step
# keeps).
# Run with -DKIND=desktop|xml -DIN=<file> -DOUT=<file> -DPO_DIR=<folder> -DWORK=<folder>.
find_program(MSGFMT msgfmt REQUIRED)
file(GLOB po_files ${PO_DIR}/*.po)
get_filename_component(name ${OUT} NAME)
set(current ${IN})
set(step 0)
foreach(po ${po_files})
  get_filename_component(code ${po} NAME_WE)
  math(EXPR step "${step} + 1")
  file(MAKE_DIRECTORY ${WORK}/${step})
  execute_process(COMMAND ${MSGFMT} --${KIND} --template=${current} -l ${code} -o ${WORK}/${step}/${name} ${po}
                  COMMAND_ERROR_IS_FATAL ANY)
  set(current ${WORK}/${step}/${name})
endforeach()
file(COPY_FILE ${current} ${OUT})
