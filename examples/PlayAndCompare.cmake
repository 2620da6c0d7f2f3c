# Plays one host script and checks the exit status, what it prints, and what it says on standard
# error. Run with cmake -P and:
#   PROGRAM, BACKEND, SCRIPT       the tarn-schedule program, qt, memory or quick, the script to play
#   STDIN                          ON to feed the script on standard input instead of naming it
#   REDIRECT                       instead, redirections for /bin/sh that the program runs under
#                                  (">/dev/full", ">&-", "<DIR"); play then reads standard input
#                                  when SCRIPT is "-"
#   ARGUMENTS                      instead, the program's whole command line, words joined by "|"
#   PLATFORM                       the Qt platform to ask for (QT_QPA_PLATFORM)
#   SCALE                          the device pixel ratio to play at (--scale), 1 when absent
#   EXPECTED_STATUS                the exit status (default 0)
#   EXPECTED_OUT                   file with the exact standard output (default: print nothing)
#   EXPECTED_ERR                   file with the exact standard error (default: say nothing)
#   EXPECTED_ERR_REGEX             instead of EXPECTED_ERR, a pattern standard error must match
#   EXPECTED_FILE                  a file the script must have written
if(NOT DEFINED EXPECTED_STATUS)
  set(EXPECTED_STATUS 0)
endif()
if(NOT DEFINED SCALE)
  set(SCALE 1)
endif()
if(DEFINED PLATFORM)
  set(ENV{QT_QPA_PLATFORM} ${PLATFORM})
endif()

if(DEFINED ARGUMENTS)
  string(REPLACE "|" ";" arguments "${ARGUMENTS}")
  execute_process(COMMAND ${PROGRAM} ${arguments}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
elseif(DEFINED REDIRECT)
  execute_process(
    COMMAND /bin/sh -c "exec \"$0\" play --backend \"$1\" \"$2\" ${REDIRECT}"
            ${PROGRAM} ${BACKEND} ${SCRIPT}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
elseif(STDIN)
  execute_process(COMMAND ${PROGRAM} play --backend ${BACKEND} --scale ${SCALE} -
    INPUT_FILE ${SCRIPT} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
else()
  execute_process(COMMAND ${PROGRAM} play --backend ${BACKEND} --scale ${SCALE} ${SCRIPT}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
endif()

set(expected_out "")
if(DEFINED EXPECTED_OUT)
  file(READ ${EXPECTED_OUT} expected_out)
endif()
set(expected_err "")
if(DEFINED EXPECTED_ERR)
  file(READ ${EXPECTED_ERR} expected_err)
endif()

set(problems "")
if(NOT status STREQUAL EXPECTED_STATUS)
  string(APPEND problems "exit status ${status}, expected ${EXPECTED_STATUS}\n")
endif()
if(NOT out STREQUAL expected_out)
  string(APPEND problems "standard output differs.\n--- expected\n${expected_out}--- printed\n${out}---\n")
endif()
if(DEFINED EXPECTED_ERR_REGEX)
  if(NOT err MATCHES "${EXPECTED_ERR_REGEX}")
    string(APPEND problems "standard error does not match ${EXPECTED_ERR_REGEX}:\n${err}\n")
  endif()
elseif(NOT err STREQUAL expected_err)
  string(APPEND problems "standard error differs.\n--- expected\n${expected_err}--- printed\n${err}---\n")
endif()
if(DEFINED EXPECTED_FILE AND NOT EXISTS ${EXPECTED_FILE})
  string(APPEND problems "${EXPECTED_FILE} was not written\n")
endif()

if(problems)
  message(FATAL_ERROR "${SCRIPT} (${BACKEND}):\n${problems}")
endif()
