# The program started with no display, and with one that is not there: one
# line saying so on standard error, exit status 1, no core dump.
foreach(display "" ":987")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                          DISPLAY=${display} ${PROGRAM}
                  RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 20)
  if(NOT status EQUAL 1 OR NOT err MATCHES "no display: set DISPLAY or WAYLAND_DISPLAY")
    message(FATAL_ERROR "with DISPLAY='${display}': status ${status}, standard error:\n${err}")
  endif()
endforeach()
