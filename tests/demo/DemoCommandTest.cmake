# `tarn-schedule demo` as its users meet it: the real program run with the demo's command lines,
# checked by its exit status, what it prints, the files it leaves and the picture it writes.
#   cmake -DPROGRAM=path/to/tarn-schedule -DPICTURE_CHECK=path/to/DemoPictureCheck
#         -DWORK=scratch/folder [-DX_SERVER=ON] [-DQUICK=ON] -P DemoCommandTest.cmake
# With X_SERVER, the quiet runs, on the X server that DISPLAY names too; with QUICK, the Qt Quick
# window's screenshot as well.
if(NOT PROGRAM OR NOT WORK OR NOT PICTURE_CHECK)
  message(FATAL_ERROR "PROGRAM, PICTURE_CHECK and WORK must be given")
endif()
file(REMOVE_RECURSE "${WORK}")
set(display "$ENV{DISPLAY}")
set(wayland "$ENV{WAYLAND_DISPLAY}")

# demo(NAME PLATFORM [NO_DISPLAY] ARGS word...): runs `tarn-schedule demo word...` on the Qt
# platform PLATFORM ("default": none chosen), without DISPLAY and WAYLAND_DISPLAY if NO_DISPLAY.
# Its folder WORK/NAME holds the user's data and config folders, and DIR in a word stands for it.
# Sets dir, status (a number only when the demo ended by itself, within its time), out and err.
macro(demo name platform)
  cmake_parse_arguments(D "NO_DISPLAY" "" "ARGS" ${ARGN})
  set(dir "${WORK}/${name}")
  file(MAKE_DIRECTORY "${dir}")
  set(ENV{XDG_DATA_HOME} "${dir}/data")
  set(ENV{XDG_CONFIG_HOME} "${dir}/config")
  set(ENV{QT_QPA_PLATFORM} "${platform}")
  if(platform STREQUAL "default")
    unset(ENV{QT_QPA_PLATFORM})
  endif()
  set(ENV{DISPLAY} "${display}")
  set(ENV{WAYLAND_DISPLAY} "${wayland}")
  if(D_NO_DISPLAY)
    unset(ENV{DISPLAY})
    unset(ENV{WAYLAND_DISPLAY})
  endif()
  string(REPLACE "DIR" "${dir}" words "${D_ARGS}")
  # Generous, for a loaded machine and a sanitizer build.
  execute_process(COMMAND "${PROGRAM}" demo ${words} TIMEOUT 120
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
endmacro()

# report(WHAT): the run went wrong.
macro(report what)
  message(SEND_ERROR "${what}: status ${status}\n  output: ${out}\n  messages: ${err}")
endmacro()

# quiet(NAME PLATFORM [NO_DISPLAY] MADE path ARGS word...): the run ends by itself with status 0,
# prints nothing at all (no toolkit chatter) and leaves in its folder only MADE: the schedules
# go to --db or the user's data folder, where a window that opened a schedule also remembers it
# in the user's settings; a screenshot uses a temporary database and leaves those alone.
function(quiet name platform)
  cmake_parse_arguments(Q "NO_DISPLAY" "MADE" "ARGS" ${ARGN})
  set(no_display)
  if(Q_NO_DISPLAY)
    set(no_display NO_DISPLAY)
  endif()
  demo(${name} ${platform} ${no_display} ARGS ${Q_ARGS})
  if(NOT status STREQUAL "0" OR NOT out STREQUAL "" OR NOT err STREQUAL "")
    report(${name})
  endif()
  file(GLOB left RELATIVE "${dir}" "${dir}/*")
  if(NOT Q_MADE MATCHES "png$")
    list(REMOVE_ITEM left config)
  endif()
  string(REGEX REPLACE "/.*" "" top "${Q_MADE}")
  set(contents "")
  if(EXISTS "${dir}/${Q_MADE}")
    file(READ "${dir}/${Q_MADE}" contents LIMIT 16 HEX)
  endif()
  if(NOT left STREQUAL top OR contents STREQUAL "" OR
     (Q_MADE MATCHES "png$" AND NOT contents MATCHES "^89504e470d0a1a0a"))
    message(SEND_ERROR "${name}: left ${left}, ${Q_MADE} begins \"${contents}\"")
  endif()
endfunction()

set(user_data data/tarn-schedule/schedules.sqlite)
if(X_SERVER)
  quiet(x-window xcb MADE ${user_data} ARGS --quit-after-ms 1500)
  quiet(x-screenshot xcb MADE x.png ARGS --screenshot DIR/x.png)
endif()

quiet(quit-later offscreen MADE ${user_data} ARGS --quit-after-ms 300)
quiet(no-display default NO_DISPLAY MADE ${user_data} ARGS --quit-after-ms 100)
quiet(db offscreen MADE mine.sqlite ARGS --db DIR/mine.sqlite --quit-after-ms 0)
# Quitting before the first drawing still writes the screenshot.
quiet(early offscreen MADE early.png ARGS --quit-after-ms 0 --screenshot DIR/early.png)
if(X_SERVER)
  return()
endif()

# The screenshot shows the control drawn.
quiet(screenshot offscreen MADE demo.png ARGS --screenshot DIR/demo.png)
execute_process(COMMAND "${PICTURE_CHECK}" "${WORK}/screenshot/demo.png" RESULT_VARIABLE drawn
  OUTPUT_VARIABLE why)
if(NOT drawn EQUAL 0)
  message(SEND_ERROR "the screenshot: ${why}")
endif()
# The Qt Quick window draws the same eight bars, with no legend.
if(QUICK)
  quiet(quick-screenshot offscreen MADE quick.png ARGS --quick --screenshot DIR/quick.png)
  execute_process(COMMAND "${PICTURE_CHECK}" "${WORK}/quick-screenshot/quick.png" 8
    RESULT_VARIABLE drawn OUTPUT_VARIABLE why)
  if(NOT drawn EQUAL 0)
    message(SEND_ERROR "the Qt Quick screenshot: ${why}")
  endif()
endif()

# fails(NAME PLATFORM [NO_DISPLAY] MESSAGE regex ARGS word...): the run ends by itself with
# status 1, nothing on standard output and one line on standard error, which matches MESSAGE.
function(fails name platform)
  cmake_parse_arguments(F "NO_DISPLAY" "MESSAGE" "ARGS" ${ARGN})
  set(no_display)
  if(F_NO_DISPLAY)
    set(no_display NO_DISPLAY)
  endif()
  demo(${name} ${platform} ${no_display} ARGS ${F_ARGS})
  if(NOT status STREQUAL "1" OR NOT out STREQUAL "" OR NOT err MATCHES "^${F_MESSAGE}\n$")
    report(${name})
  endif()
endfunction()

# The reasons a write fails are the safe write's, shown by the examples and the store command.
fails(folder-db offscreen MESSAGE "demo: cannot open [^\n]*/folder-db: [^\n]+"
  ARGS --db DIR --quit-after-ms 0)
fails(folder-screenshot offscreen
  MESSAGE "demo: cannot write [^\n]*/folder-screenshot: Is a directory" ARGS --screenshot DIR)
# A platform that cannot start: one line, not an abort.
foreach(platform bogus xcb)
  fails(platform-${platform} ${platform} NO_DISPLAY
    MESSAGE "demo: cannot start the Qt platform: [^\n]+" ARGS --quit-after-ms 1000)
endforeach()
