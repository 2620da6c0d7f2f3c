# Plays every line of a script as a script of its own, from standard input, and compares what
# they print together with a file: for each line its standard output and error, and its exit
# status when that is not 2. Blank lines and lines starting with # are passed over. Run with
# cmake -P and:
#   PROGRAM, BACKEND, SCRIPT       the tarn-schedule program, qt, memory or quick, the script of lines
#   EXPECTED_OUT                   file with what the lines print, in order
execute_process(
  COMMAND /bin/sh -c [[
    while IFS= read -r line; do
      case $line in ''|'#'*) continue ;; esac
      printf '%s\n' "$line" | "$0" play --backend "$1" - 2>&1
      status=$?
      [ "$status" = 2 ] || echo "status $status"
    done <"$2"]] ${PROGRAM} ${BACKEND} ${SCRIPT}
  OUTPUT_VARIABLE out RESULT_VARIABLE status)
file(READ ${EXPECTED_OUT} expected_out)
if(NOT status EQUAL 0 OR NOT out STREQUAL expected_out)
  message(FATAL_ERROR "${SCRIPT} (${BACKEND}), line by line:\n--- expected\n${expected_out}"
                      "--- printed\n${out}---")
endif()
