# Installs TarnSchedule from BUILD_DIR into WORK_DIR/prefix and checks the installed include tree
# holds exactly the public headers listed in EXPECTED (paths under include/, separated by ";"),
# that each of them includes only installed headers of the package, and that no exported target
# adds an include folder other than the prefix's include/. A core header that leaks into the
# package, or a public header that starts to need one, fails here.
cmake_minimum_required(VERSION 3.22)

foreach(variable BUILD_DIR WORK_DIR EXPECTED)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component Development
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "installing the package failed (${result})")
endif()

set(problems)

# Every file under include/, including any that is not a header.
file(GLOB_RECURSE installed RELATIVE ${prefix}/include LIST_DIRECTORIES false ${prefix}/include/*)
list(SORT installed)
set(expected ${EXPECTED})
list(SORT expected)
set(extra ${installed})
list(REMOVE_ITEM extra ${expected})
set(missing ${expected})
if(installed)
  list(REMOVE_ITEM missing ${installed})
endif()
foreach(file IN LISTS extra)
  list(APPEND problems "installed but not public: include/${file}")
endforeach()
foreach(file IN LISTS missing)
  list(APPEND problems "public but not installed: include/${file}")
endforeach()

# Quoted includes and <TarnSchedule/...> includes must name a header of the installed tree:
# anything else would only compile inside the build.
foreach(header IN LISTS installed)
  file(STRINGS ${prefix}/include/${header} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(included ${CMAKE_MATCH_1})
    elseif(line MATCHES "#[ \t]*include[ \t]*<(TarnSchedule/[^>]+)>")
      set(included ${CMAKE_MATCH_1})
    else()
      continue()
    endif()
    if(NOT included IN_LIST installed)
      list(APPEND problems "include/${header} includes \"${included}\", which is not installed")
    endif()
  endforeach()
endforeach()

# The exported targets (TarnScheduleQuickTargets.cmake too, where the Qt Quick editor is built):
# include folders only under the prefix's include/.
file(GLOB targets_files ${prefix}/*/cmake/TarnSchedule/TarnSchedule*Targets.cmake)
if(NOT targets_files MATCHES "/TarnScheduleTargets.cmake")
  list(APPEND problems "TarnScheduleTargets.cmake was not installed")
endif()
foreach(targets_file IN LISTS targets_files)
  file(STRINGS ${targets_file} lines REGEX "INTERFACE_INCLUDE_DIRECTORIES")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "INTERFACE_INCLUDE_DIRECTORIES \"\\\${_IMPORT_PREFIX}/include\"$")
      string(STRIP "${line}" line)
      list(APPEND problems "an exported target adds another include folder: ${line}")
    endif()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "the installed package is not the public API:\n  ${text}")
endif()
