# A bounded fuzz run for CTest: the seeds are copied into a fresh work
# folder, the target runs on that copy for SECONDS seconds, and any crash
# (a violated rule, a sanitizer report, a leak or a timeout) fails the test
# and stays in WORK/artifacts.
#   cmake -DFUZZER=<target> -DSEEDS=<seed dir> -DWORK=<work dir> -DSECONDS=<n> -P RunFuzzTarget.cmake
foreach(variable FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/*")
if(NOT seeds)
  message(FATAL_ERROR "no seeds in ${SEEDS}")
endif()
file(COPY ${seeds} DESTINATION "${WORK}/corpus")

execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=20 -rss_limit_mb=2048 -max_len=4096
          -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/ "${WORK}/corpus"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
string(REGEX MATCH "stat::number_of_executed_units: *[0-9]+" executions "${output}")
file(GLOB findings "${WORK}/artifacts/*")
if(NOT result EQUAL 0 OR findings)
  message("${output}")
  message(FATAL_ERROR "${FUZZER} failed (exit ${result}); kept: ${findings}")
endif()
message("${executions}")
