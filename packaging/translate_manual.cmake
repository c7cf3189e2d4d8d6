# Writes OUT: the manual page IN in the language of the catalogue PO, its
# @VARIABLES@ then filled in as for the English page. A page whose catalogue
# leaves any of it untranslated is refused (-k 100): half English, half not,
# helps nobody.
# Run with -DIN=<page.in> -DPO=<catalogue> -DOUT=<page> and the variables.
find_program(PO4A_TRANSLATE po4a-translate REQUIRED)
execute_process(COMMAND ${PO4A_TRANSLATE} --format man --master ${IN} --master-charset UTF-8 --po ${PO}
                        --localized ${OUT}.in --localized-charset UTF-8 --keep 100
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
configure_file(${OUT}.in ${OUT} @ONLY)
