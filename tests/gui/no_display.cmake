# `orvantis` with no graphical session (DISPLAY empty, WAYLAND_DISPLAY and
# QT_QPA_PLATFORM unset): one line that says so, status 1, nothing else.
#   cmake -DPROGRAM=path/to/orvantis -P no_display.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM DISPLAY= ${PROGRAM}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "1" OR NOT out STREQUAL ""
   OR NOT err STREQUAL "orvantis: no graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set\n")
  message(FATAL_ERROR "status ${status}, output '${out}', errors '${err}'")
endif()
