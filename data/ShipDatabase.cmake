# cmake -P ShipDatabase.cmake -DMKDB=... -DOUTPUT=.../kalyxdb.kdb -DCATALOGUE=... -DFS=... -DPLANS=...
# Builds the shipped route database unless one is already there.
foreach(var MKDB OUTPUT CATALOGUE FS PLANS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ShipDatabase.cmake needs -D${var}=...")
  endif()
endforeach()

if(EXISTS "${OUTPUT}")
  message(STATUS "Keeping the existing ${OUTPUT}")
  return()
endif()

get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(
  COMMAND "${MKDB}" "${OUTPUT}" --catalogue "${CATALOGUE}" --fs "${FS}" --plans "${PLANS}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kalyx-mkdb could not build ${OUTPUT} (${result})")
endif()
