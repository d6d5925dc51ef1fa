# Configures and builds a fixture project for one CASE, printing all it says; fails when either
# step fails.
file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX}
                        -DCASE=${CASE} -DVELKOR_CMAKE_DIR=${CMAKE_DIR}
                RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(failed)
  message(FATAL_ERROR "configuring the ${CASE} fixture failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY}
                RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(failed)
  message(FATAL_ERROR "building the ${CASE} fixture failed")
endif()
