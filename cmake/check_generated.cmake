# Run by the tests that keep a generated file beside its sources: the command GENERATE
# ("|"-separated, the output file appended) must write exactly EXPECTED, byte for byte, so
# the checked-in file cannot drift from what makes it.
#   cmake "-DGENERATE=python3|gen.py" -DEXPECTED=<checked-in file> -DOUTPUT=<a file to write>
#         -P check_generated.cmake
string(REPLACE "|" ";" command "${GENERATE}")
string(REPLACE "|" " " shown "${GENERATE}")
execute_process(COMMAND ${command} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${shown} failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED}
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what ${shown} makes (${OUTPUT}): change the "
                      "sources and run it, then commit both")
endif()
file(REMOVE ${OUTPUT})
message(STATUS "${EXPECTED} is what ${shown} makes")
