# Runs the editor-screenshots case of `aaxhost validate` against references it writes itself:
#   1. --update-references into an empty folder passes and writes the three pictures;
#   2. the same pictures, but the 96 dpi one replaced by the face with the "Gain" knob turned up
#      (`aaxhost editor --param 1=0.9`), fail on that density alone and leave the picture taken
#      and a difference picture in the artifacts folder.
#   cmake -DCOMMAND=aaxhost -DWORK=folder -P ValidateCatchesAlteredReference.cmake
file(REMOVE_RECURSE "${WORK}")
set(fresh "${WORK}/fresh")
set(altered "${WORK}/altered")
set(artifacts "${WORK}/artifacts")

execute_process(COMMAND ${COMMAND} validate --include ^editor-screenshots$ --update-references --references ${fresh}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
message("${output}${errors}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "--update-references exited with ${status}")
endif()
foreach(dpi 96 144 192)
  if(NOT EXISTS "${fresh}/editor-${dpi}dpi.png")
    message(FATAL_ERROR "--update-references wrote no ${fresh}/editor-${dpi}dpi.png")
  endif()
endforeach()

file(MAKE_DIRECTORY "${altered}")
file(COPY "${fresh}/editor-144dpi.png" "${fresh}/editor-192dpi.png" DESTINATION "${altered}")
execute_process(COMMAND ${COMMAND} editor --png ${altered}/editor-96dpi.png --param 1=0.9
                OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "aaxhost editor could not draw the altered reference: ${errors}")
endif()

set(ARGS "validate,--include,^editor-screenshots$,--references,${altered},--artifacts,${artifacts}")
set(EXPECT "fail +editor-screenshots .*editor-96dpi: [0-9]+ of 232404 pixels differ .*editor-96dpi-difference.png")
include(${CMAKE_CURRENT_LIST_DIR}/ExpectValidateVerdicts.cmake)

foreach(picture editor-96dpi-actual editor-96dpi-difference)
  if(NOT EXISTS "${artifacts}/${picture}.png")
    message(FATAL_ERROR "the mismatch left no ${artifacts}/${picture}.png")
  endif()
endforeach()
foreach(dpi 144 192)
  if(EXISTS "${artifacts}/editor-${dpi}dpi-difference.png")
    message(FATAL_ERROR "the ${dpi} dpi picture matched its reference, yet a difference picture was written")
  endif()
endforeach()
