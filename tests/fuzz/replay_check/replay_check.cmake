# Runs the replay driver (REPLAY, linked with replay_check_target.cpp) on
# inputs made here in WORK and checks that clean inputs pass, in name order and
# after the set-up hook, and that every way of failing fails the run and names
# the input that did it.
#   cmake -DREPLAY=<program> -DWORK=<scratch folder> -P replay_check.cmake

set(failures 0)
macro(fail message)
  message(SEND_ERROR "${message}\n--- output:\n${out}")
  math(EXPR failures "${failures} + 1")
endmacro()

macro(replay)
  execute_process(COMMAND ${REPLAY} ${ARGN} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
endmacro()

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/good/a "hello")
file(WRITE ${WORK}/good/sub/b "")
file(WRITE ${WORK}/good/c "reject")
file(MAKE_DIRECTORY ${WORK}/empty)
foreach(marker trap abort segv deep two)
  file(WRITE ${WORK}/bad/${marker} "${marker}")
endforeach()

# A folder is read recursively and in name order; -1 (keep out of the corpus)
# is an allowed answer; the set-up hook runs once, before the first input.
replay(${WORK}/good)
if(NOT "${result}" STREQUAL "0")
  fail("clean inputs gave ${result}")
endif()
string(CONCAT expected
  "replay ${WORK}/good/a (5 bytes)\ntarget got 5 bytes, initialized 1\n"
  "replay ${WORK}/good/c (6 bytes)\ntarget got 6 bytes, initialized 1\n"
  "replay ${WORK}/good/sub/b (0 bytes)\ntarget got 0 bytes, initialized 1\n"
  "replayed 3 inputs (11 bytes)")
string(FIND "${out}" "${expected}" at)
if(at LESS 0)
  fail("clean inputs not replayed as expected")
endif()

# Each crash ends the run before the inputs after it, naming the crashing file;
# a return value other than 0 and -1 does the same through the exit status.
foreach(marker trap abort segv deep two)
  replay(${WORK}/good/a ${WORK}/bad/${marker} ${WORK}/good/c)
  if("${result}" STREQUAL "0")
    fail("input '${marker}' did not fail the run")
  endif()
  if(marker STREQUAL "two")
    set(named "replay: ${WORK}/bad/two returned 2")
  else()
    set(named " while replaying ${WORK}/bad/${marker}\n")
  endif()
  string(FIND "${out}" "${named}" at)
  if(at LESS 0)
    fail("input '${marker}' failed without naming the file")
  endif()
  string(FIND "${out}" "good/c" at)
  if(at GREATER_EQUAL 0)
    fail("inputs after '${marker}' were still replayed")
  endif()
endforeach()

# Nothing to replay is an error, not a quiet pass: a corpus folder that is
# empty or misspelt must not turn the test green.
foreach(args "${WORK}/empty" "${WORK}/missing" "-runs=0;${WORK}/good" "")
  replay(${args})
  if(NOT "${result}" STREQUAL "2")
    fail("arguments '${args}' gave ${result}, not 2")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} replay checks failed")
endif()
