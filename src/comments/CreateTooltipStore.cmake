# Creates an empty comment store with the table from SCHEMA at STORE, unless a file is
# already there: an existing store holds the user's comments and is never touched.
# Run as: cmake -DSQLITE3=<sqlite3 CLI> -DSCHEMA=<sql file> -DSTORE=<db file> -P <this file>
foreach(var SCHEMA STORE)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "CreateTooltipStore: ${var} is not set")
  endif()
endforeach()

if(EXISTS "${STORE}" OR IS_SYMLINK "${STORE}")
  return()
endif()

if(NOT SQLITE3 OR NOT EXISTS "${SQLITE3}")
  message(FATAL_ERROR "CreateTooltipStore: the sqlite3 command-line tool was not found; "
                      "run scripts/setup.sh to install it")
endif()

# Built under a temporary name and renamed without replacing, so an interrupted build
# never leaves a half-written store and a store that appeared meanwhile is kept.
set(partial "${STORE}.partial")
file(REMOVE "${partial}")
execute_process(
  COMMAND "${SQLITE3}" -bail "${partial}"
  INPUT_FILE "${SCHEMA}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "CreateTooltipStore: sqlite3 failed (${result}): ${errors}")
endif()
file(RENAME "${partial}" "${STORE}" NO_REPLACE RESULT renamed)
file(REMOVE "${partial}")
if(NOT renamed STREQUAL "0" AND NOT EXISTS "${STORE}")
  message(FATAL_ERROR "CreateTooltipStore: could not create ${STORE}: ${renamed}")
endif()
message(STATUS "Created empty comment store ${STORE}")
