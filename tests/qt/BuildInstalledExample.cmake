# Installs TarnSchedule from BUILD_DIR into WORK_DIR/prefix, then configures, builds and runs
# the example in EXAMPLE_DIR against that prefix alone, as an application developer would, and
# likewise the project in STORE_DIR (optional), which uses the store's library alone.
# CXX_FLAGS (optional) are the compile and link flags the package was built with, such as
# sanitizers: code linked with its libraries needs them too.
foreach(variable BUILD_DIR EXAMPLE_DIR WORK_DIR CXX_COMPILER)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
if(NOT BUILD_TYPE)
  set(BUILD_TYPE RelWithDebInfo)
endif()

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGV}")
    message(FATAL_ERROR "failed (${result}): ${command}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component Development)

file(GLOB_RECURSE config ${prefix}/*/TarnScheduleConfig.cmake)
if(NOT config)
  message(FATAL_ERROR "TarnScheduleConfig.cmake was not installed")
endif()

run(${CMAKE_COMMAND} -S ${EXAMPLE_DIR} -B ${WORK_DIR}/build
  -DCMAKE_PREFIX_PATH=${prefix}
  -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
  "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
  -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build -j2)
run(${WORK_DIR}/build/embed-schedule --check)

if(STORE_DIR)
  run(${CMAKE_COMMAND} -S ${STORE_DIR} -B ${WORK_DIR}/store
    -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/store -j2)
  run(${WORK_DIR}/store/installed-store)
endif()
