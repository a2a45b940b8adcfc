# Starts the desk program without a display: it must say so and exit with 1, not abort. With
# QT_QPA_PLATFORM=offscreen it must start (and runs until the time limit ends it).
#   cmake -DPROGRAM=path/to/convodesk -P StartWithoutDisplay.cmake
set(expected "convodesk needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set).\n")

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        --unset=QT_QPA_PLATFORM ${PROGRAM}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT code EQUAL 1 OR NOT err STREQUAL expected OR NOT out STREQUAL "")
  message(FATAL_ERROR "without a display: exit ${code}, stdout '${out}', stderr '${err}'")
endif()

# An empty variable counts as unset.
execute_process(COMMAND ${CMAKE_COMMAND} -E env DISPLAY= WAYLAND_DISPLAY= --unset=QT_QPA_PLATFORM
                        ${PROGRAM}
                RESULT_VARIABLE code ERROR_VARIABLE err TIMEOUT 60)
if(NOT code EQUAL 1 OR NOT err STREQUAL expected)
  message(FATAL_ERROR "with empty display variables: exit ${code}, stderr '${err}'")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        QT_QPA_PLATFORM=offscreen ${PROGRAM}
                RESULT_VARIABLE code ERROR_VARIABLE err TIMEOUT 4)
if(err MATCHES "needs a graphical display" OR NOT code MATCHES "timeout")
  message(FATAL_ERROR "offscreen: exit ${code}, stderr '${err}'")
endif()
