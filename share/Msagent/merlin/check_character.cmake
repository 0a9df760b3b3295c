# Run by the agent_merlin_generated test: the character file that make_character.py makes
# now from its drawing must be the checked-in one, byte for byte, so the file cannot drift
# from its sources.
#   cmake -DPYTHON=python3 -DTOOL=.../make_character.py -DDRAWING=.../merlin.py
#         -DEXPECTED=.../Merlin.ACS -DOUTPUT=<a file to write> -P check_character.cmake
execute_process(COMMAND ${PYTHON} ${TOOL} ${DRAWING} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED}
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what ${TOOL} makes of ${DRAWING} (${OUTPUT}): "
                      "edit the drawing and run the tool, then commit both")
endif()
file(REMOVE ${OUTPUT})
message(STATUS "Merlin.ACS is what make_character.py makes of merlin.py")
