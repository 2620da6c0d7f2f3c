# Installs TarnSchedule from BUILD_DIR into WORK_DIR/prefix, then configures, builds and runs
# the example in EXAMPLE_DIR against that prefix alone, as an application developer would, and
# likewise the projects in STORE_DIR and QUICK_DIR (optional), which use the store's library and
# the Qt Quick editor's alone. The example, which uses the widget, is configured with Qt Quick
# out of reach: the package must not ask for it. Last, with the Quick component's files taken out
# of the prefix, asking for it must fail and say why.
# CXX_FLAGS (optional) are the compile and link flags the package was built with, such as
# sanitizers: code linked with its libraries needs them too.
# With SHARED_LIBRARIES (names such as TarnScheduleWidgets) and NM, each of those installed shared
# libraries must export the public API alone: every symbol NM lists as defined, demangled, is one
# of PUBLIC_API (qualified names of the public classes and functions) or a member of one of its
# classes, or their vtable, typeinfo or thunk. With PLUGIN (the built Qt Designer plugin) and NM,
# the plugin must export Qt's plugin entry points alone.
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

# exported_symbols(FILE VARIABLE): the demangled names of the symbols FILE defines for others.
function(exported_symbols file variable)
  execute_process(COMMAND ${NM} -D -C --defined-only ${file}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${file} (${result})")
  endif()
  string(REPLACE ";" "\\;" symbols "${symbols}")
  string(REPLACE "\n" ";" symbols "${symbols}")
  set(names)
  foreach(line IN LISTS symbols)
    if(NOT line STREQUAL "")
      string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
      list(APPEND names "${name}")
    endif()
  endforeach()
  set(${variable} "${names}" PARENT_SCOPE)
endfunction()

# The exported symbols of each shared library. PUBLIC_API holds identifiers and "::" alone.
set(unexpected)
list(JOIN PUBLIC_API "|" api_pattern)
foreach(library IN LISTS SHARED_LIBRARIES)
  file(GLOB library_file ${prefix}/lib*/lib${library}.so)
  if(NOT library_file)
    message(FATAL_ERROR "lib${library}.so was not installed")
  endif()
  exported_symbols(${library_file} names)
  foreach(name IN LISTS names)
    string(REGEX REPLACE "^(typeinfo name for|typeinfo for|vtable for|(non-)?virtual thunk to) " ""
      entity "${name}")
    if(NOT entity MATCHES "^(${api_pattern})(::~?[A-Za-z_][A-Za-z0-9_]*)?(\\[abi:cxx11\\])?(\\(.*)?$")
      list(APPEND unexpected "lib${library}.so: ${name}")
    endif()
  endforeach()
endforeach()
if(PLUGIN)
  get_filename_component(plugin_name ${PLUGIN} NAME)
  exported_symbols(${PLUGIN} names)
  foreach(name IN LISTS names)
    # The linker's own markers of the data segment's end are exported by every shared object;
    # a build instrumented for undefined behaviour also emits weak type information of the
    # types its checks compare (Qt's QObjectData, function types), which holds no code of ours.
    if(NOT name MATCHES "^(qt_plugin_(instance|query_metadata(_v[0-9]+)?)|__bss_start|_edata|_end)$"
       AND NOT (INSTRUMENTED AND name MATCHES "^typeinfo (name )?for "))
      list(APPEND unexpected "${plugin_name}: ${name}")
    endif()
  endforeach()
endif()
if(unexpected)
  list(LENGTH unexpected count)
  list(JOIN unexpected "\n  " text)
  message(FATAL_ERROR "${count} exported symbols are not the public API:\n  ${text}")
endif()

# build(SOURCE_DIR BINARY_DIR [CMAKE_ARGS...]): configures and builds the project in SOURCE_DIR
# against the prefix alone.
function(build source binary)
  run(${CMAKE_COMMAND} -S ${source} -B ${binary}
    -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    ${ARGN})
  run(${CMAKE_COMMAND} --build ${binary} -j2)
endfunction()

build(${EXAMPLE_DIR} ${WORK_DIR}/build
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Quick=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Qml=ON)
run(${WORK_DIR}/build/embed-schedule --check)

if(STORE_DIR)
  build(${STORE_DIR} ${WORK_DIR}/store)
  run(${WORK_DIR}/store/installed-store)
endif()

if(QUICK_DIR)
  build(${QUICK_DIR} ${WORK_DIR}/quick)
  run(${WORK_DIR}/quick/installed-quick)

  file(GLOB quick_targets ${prefix}/*/cmake/TarnSchedule/TarnScheduleQuickTargets*.cmake)
  file(REMOVE ${quick_targets})
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${QUICK_DIR} -B ${WORK_DIR}/no-quick
      -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
  if(result EQUAL 0 OR NOT error MATCHES "without the Qt Quick editor")
    message(FATAL_ERROR "asking a package without Qt Quick for TarnSchedule::Quick did not fail "
      "clearly (${result}):\n${error}")
  endif()
endif()
