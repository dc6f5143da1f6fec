# Runs TOOL with CASE.in on standard input and compares what it prints.
execute_process(COMMAND ${TOOL}
                INPUT_FILE ${CASE}.in
                OUTPUT_VARIABLE actual_out
                ERROR_VARIABLE actual_err
                RESULT_VARIABLE status)
file(READ ${CASE}.txt expected_out)
if(NOT actual_out STREQUAL expected_out)
    message(FATAL_ERROR "standard output differs from ${CASE}.txt:\n${actual_out}")
endif()
if(EXISTS ${CASE}.err)
    file(READ ${CASE}.err expected_err)
    if(NOT actual_err STREQUAL expected_err OR status EQUAL 0)
        message(FATAL_ERROR "expected a failing exit and ${CASE}.err, got ${status}:\n${actual_err}")
    endif()
elseif(NOT status EQUAL 0 OR NOT actual_err STREQUAL "")
    message(FATAL_ERROR "expected success and no errors, got ${status}:\n${actual_err}")
endif()
