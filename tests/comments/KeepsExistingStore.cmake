# The build's store step must create a store where none is, and never touch one that
# is there (it holds the user's comments), whatever its format.
set(dir "${WORK}/store-step")
file(REMOVE_RECURSE "${dir}")
file(MAKE_DIRECTORY "${dir}")
set(jet "Standard Jet DB: the user's old comments")
file(WRITE "${dir}/existing.mdb" "${jet}")
foreach(store existing.mdb created.mdb)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSQLITE3=${SQLITE3} -DSCHEMA=${SCHEMA}
                          -DSTORE=${dir}/${store} -P ${SCRIPT} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the store step failed for ${store}")
  endif()
endforeach()
file(READ "${dir}/existing.mdb" after)
if(NOT after STREQUAL jet)
  message(FATAL_ERROR "the store step changed an existing store")
endif()
file(READ "${dir}/created.mdb" header LIMIT 15 HEX)
if(NOT header STREQUAL "53514c69746520666f726d61742033")  # "SQLite format 3"
  message(FATAL_ERROR "the store step did not create a SQLite store")
endif()
