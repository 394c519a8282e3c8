# Installs the build into a fresh prefix and runs the installed aaxhost from another folder,
# through its link in bin/: it must find its module and its library beside itself, and the
# validator the reference pictures under share/ (with --strict, a skipped comparison fails).
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch prefix> -P CheckInstalledAaxhost.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()
foreach(installed bin/aaxhost lib/corvane/Corvane.aaxplugin lib/corvane/libwin32compat.so
                  share/corvane/validate_references/editor-96dpi.png)
  if(NOT EXISTS ${PREFIX}/${installed})
    message(FATAL_ERROR "the install holds no ${installed}")
  endif()
endforeach()

set(aaxhost ${PREFIX}/bin/aaxhost)
file(MAKE_DIRECTORY ${PREFIX}/elsewhere)
function(run_installed expect)
  execute_process(COMMAND ${aaxhost} ${ARGN} WORKING_DIRECTORY ${PREFIX}/elsewhere
                  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT output MATCHES "${expect}")
    message(FATAL_ERROR "installed aaxhost ${ARGN}: status ${status}, expected '${expect}'\n${output}\n${errors}")
  endif()
endfunction()
run_installed("^aaxhost [0-9]+\\.[0-9]+\\.[0-9]+" --version)
run_installed("Oversampling Off, Oversampling On" params)
# The pictures it compares with are the installed ones, not the source tree's.
run_installed("--references TEXT=${PREFIX}/share/corvane/validate_references" validate --help)
run_installed("pass +editor-screenshots" validate --include ^editor-screenshots$ --strict --seed 1
              --artifacts ${PREFIX}/elsewhere/artifacts)
file(REMOVE_RECURSE ${PREFIX})
