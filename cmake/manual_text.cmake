# Renders the manual page IN as plain text into OUT with GROFF (cmake -P, so that the output
# goes to a file without a shell): no bold, underline or colour codes, and Windows line ends,
# for readers of the Windows package.
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${IN}
  OUTPUT_VARIABLE text RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "groff failed on ${IN}: ${result}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
