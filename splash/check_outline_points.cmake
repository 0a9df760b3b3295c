# Run by the splash_outline_points_generated test: the point tables that
# gen_outline_points.py makes now must be the checked-in outline_points_data.cpp, byte for
# byte, so the tables cannot drift from their script.
#   cmake -DPYTHON=python3 -DSCRIPT=.../gen_outline_points.py -DEXPECTED=.../outline_points_data.cpp
#         -DOUTPUT=<a file to write> -P check_outline_points.cmake
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${SCRIPT} failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED}
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what ${SCRIPT} makes (${OUTPUT}): edit the script "
                      "and run it, then commit both")
endif()
file(REMOVE ${OUTPUT})
message(STATUS "outline_points_data.cpp is what gen_outline_points.py makes")
