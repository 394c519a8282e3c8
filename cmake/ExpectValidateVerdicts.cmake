# Runs `aaxhost validate` and checks its report: it must exit with status 1 (a case failed) and
# every regular expression in EXPECT must match the start of a line of its output. ARGS and
# EXPECT are comma-separated (semicolons do not survive a test's command line).
#   cmake -DCOMMAND=aaxhost -DARGS="validate,--module,m" -DEXPECT="fail +case-a,pass +case-b" -P ExpectValidateVerdicts.cmake
string(REPLACE "," ";" ARGS "${ARGS}")
string(REPLACE "," ";" EXPECT "${EXPECT}")
execute_process(COMMAND ${COMMAND} ${ARGS} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
message("${output}${errors}")
if(NOT status EQUAL 1)
  message(FATAL_ERROR "expected exit status 1 (a failed case), got ${status}")
endif()
string(REPLACE "\n" ";" lines "${output}")
foreach(pattern IN LISTS EXPECT)
  set(found FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^${pattern}")
      set(found TRUE)
    endif()
  endforeach()
  if(NOT found)
    message(FATAL_ERROR "no line of the report matches: ${pattern}")
  endif()
endforeach()
