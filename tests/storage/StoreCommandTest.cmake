# `tarn-schedule store` as its users meet it: the real program run on real files, its exit
# status, standard output and messages checked.
#   cmake -DPROGRAM=path/to/tarn-schedule -DWORK=scratch/folder -P StoreCommandTest.cmake
if(NOT PROGRAM OR NOT WORK)
  message(FATAL_ERROR "PROGRAM and WORK must be given")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
# The default database lives in the user's data folder: keep it inside the scratch folder.
set(ENV{HOME} "${WORK}/home")
set(ENV{XDG_DATA_HOME} "${WORK}/data")
set(db "${WORK}/schedules.sqlite")

set(failures 0)

# expect(STATUS n [OUT text] [ERR regex] ARGS word...): runs `tarn-schedule store word...` and
# checks the exit status, the whole standard output (empty unless given) and standard error
# (empty unless given).
function(expect)
  cmake_parse_arguments(E "" "STATUS;OUT;ERR" "ARGS" ${ARGN})
  # A command that hangs fails here instead of holding up the whole suite.
  execute_process(COMMAND "${PROGRAM}" store ${E_ARGS} TIMEOUT 30
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(problems "")
  if(NOT status STREQUAL E_STATUS)
    string(APPEND problems "  status ${status}, expected ${E_STATUS}\n")
  endif()
  if(NOT out STREQUAL "${E_OUT}")
    string(APPEND problems "  output:\n${out}  expected:\n${E_OUT}\n")
  endif()
  if(DEFINED E_ERR)
    if(NOT err MATCHES "${E_ERR}")
      string(APPEND problems "  messages:\n${err}  expected to match: ${E_ERR}\n")
    endif()
  elseif(NOT err STREQUAL "")
    string(APPEND problems "  unexpected messages:\n${err}")
  endif()
  if(problems)
    string(REPLACE ";" " " words "${E_ARGS}")
    message(SEND_ERROR "store ${words}\n${problems}")
  endif()
endfunction()

set(usage "usage: tarn-schedule store \\[--db PATH\\] list\n")
set(office [[{"format": "tarn-schedule-week", "version": 1, "days": {
  "Monday": ["08:00-12:00", "13:00-17:30"], "Tuesday": ["08:00-12:00"], "Wednesday": [],
  "Thursday": [], "Friday": ["13:00-24:00", "00:00-01:00"], "Saturday": [], "Sunday": [],
  "Special": []}}]])
file(WRITE "${WORK}/office.json" "${office}")
file(WRITE "${WORK}/bad.json" [[{"format": "tarn-schedule-week", "version": 1, "days": {}}]])
set(office_days "Monday 08:00-12:00 13:00-17:30
Tuesday 08:00-12:00
Wednesday
Thursday
Friday 00:00-01:00 13:00-24:00
Saturday
Sunday
Special
")

# Reading a database that does not exist finds nothing and creates nothing, nor does importing a
# wrong week file; an empty file reads as an empty database.
expect(STATUS 0 ARGS --db "${db}" list)
expect(STATUS 2 ERR "^store: no schedule named \"Office\"\n$" ARGS --db "${db}" show Office)
expect(STATUS 2 ERR "^store: [^\n]*bad.json: [^\n]+\n$" ARGS --db "${db}" import New "${WORK}/bad.json")
if(EXISTS "${db}")
  message(SEND_ERROR "reading or a refused import created the database")
endif()
file(WRITE "${WORK}/empty.sqlite" "")
expect(STATUS 0 ARGS --db "${WORK}/empty.sqlite" list)

# Import, show, list in byte order, export and import again.
foreach(name Office b B "é" "a b")
  expect(STATUS 0 ARGS --db "${db}" import "${name}" "${WORK}/office.json")
endforeach()
expect(STATUS 0 OUT "${office_days}" ARGS --db "${db}" show Office)
expect(STATUS 0 OUT "B\nOffice\na b\nb\né\n" ARGS --db "${db}" list)
expect(STATUS 0 ARGS --db "${db}" export Office "${WORK}/exported.json")
expect(STATUS 0 ARGS --db "${db}" import Copy "${WORK}/exported.json")
expect(STATUS 0 OUT "${office_days}" ARGS --db "${db}" show Copy)
# import replaces.
file(WRITE "${WORK}/empty-week.json" [[{"format": "tarn-schedule-week", "version": 1, "days": {
  "Monday": [], "Tuesday": [], "Wednesday": [], "Thursday": [], "Friday": [], "Saturday": [],
  "Sunday": [], "Special": []}}]])
expect(STATUS 0 ARGS --db "${db}" import Copy "${WORK}/empty-week.json")
expect(STATUS 0 OUT "Monday\nTuesday\nWednesday\nThursday\nFriday\nSaturday\nSunday\nSpecial\n"
  ARGS --db "${db}" show Copy)

# Rename, duplicate, delete, and the names they refuse.
expect(STATUS 0 ARGS --db "${db}" rename Copy Blank)
expect(STATUS 0 ARGS --db "${db}" duplicate Office Office2)
expect(STATUS 0 ARGS --db "${db}" delete b)
expect(STATUS 0 OUT "B\nBlank\nOffice\nOffice2\na b\né\n" ARGS --db "${db}" list)
expect(STATUS 2 ERR "^store: a schedule named \"Office\" exists already\n$"
  ARGS --db "${db}" rename Blank Office)
expect(STATUS 2 ERR "^store: no schedule named \"Gone\"\n$" ARGS --db "${db}" delete Gone)
expect(STATUS 2 ERR "^store: a name can have at most 100 characters"
  ARGS --db "${db}" rename Office "01234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890")
expect(STATUS 2 ERR "^store: a schedule named \"Office\" exists already\n$"
  ARGS --db "${db}" duplicate Blank Office)
foreach(command "duplicate;Gone;New" "rename;Gone;New" "show;office")
  list(GET command 1 name)
  expect(STATUS 2 ERR "^store: no schedule named \"${name}\"\n$" ARGS --db "${db}" ${command})
endforeach()
# Renaming to itself or to another case of itself carries the week.
expect(STATUS 0 ARGS --db "${db}" rename Office2 Office2)
expect(STATUS 0 ARGS --db "${db}" rename Office2 office2)
expect(STATUS 0 OUT "${office_days}" ARGS --db "${db}" show office2)
expect(STATUS 0 ARGS --db "${db}" rename office2 Office2)

# A name holds up to 100 characters, however many UTF-16 units they take, kept as given;
# control characters are refused and write nothing.
string(REPEAT "😀" 100 faces)
string(ASCII 127 del)
string(ASCII 194 133 c1)
set(ldb "${WORK}/limits.sqlite")
foreach(name "${faces}" "   " "a' OR 'a'='a")
  expect(STATUS 0 ARGS --db "${ldb}" import "${name}" "${WORK}/office.json")
endforeach()
expect(STATUS 2 ERR "^store: a name can have at most 100 characters, not 101\n$"
  ARGS --db "${ldb}" import "${faces}😀" "${WORK}/office.json")
foreach(name "a\tb" "a${del}" "${c1}")
  expect(STATUS 2 ERR "^store: a name cannot hold control characters"
    ARGS --db "${ldb}" import "${name}" "${WORK}/office.json")
endforeach()
expect(STATUS 0 OUT "   \na' OR 'a'='a\n${faces}\n" ARGS --db "${ldb}" list)
expect(STATUS 0 OUT "${office_days}" ARGS --db "${ldb}" show "${faces}")

# Week files: a wrong one is the input's fault (2), one that cannot be read or written is 1.
expect(STATUS 2 ERR "^store: [^\n]*bad.json: [^\n]+\n$" ARGS --db "${db}" import New "${WORK}/bad.json")
expect(STATUS 1 ERR "^store: cannot read [^\n]*missing.json: [^\n]+\n$"
  ARGS --db "${db}" import New "${WORK}/missing.json")
expect(STATUS 1 ERR "^store: cannot write [^\n]*nowhere/out.json: [^\n]+\n$"
  ARGS --db "${db}" export Office "${WORK}/nowhere/out.json")
expect(STATUS 0 OUT "B\nBlank\nOffice\nOffice2\na b\né\n" ARGS --db "${db}" list)

# A file that is not a schedule database is refused and left as it was.
file(WRITE "${WORK}/notes.txt" "Monday 08:00-12:00\n")
expect(STATUS 1 ERR "^store: [^\n]*notes.txt is not a schedule database[^\n]*\n$"
  ARGS --db "${WORK}/notes.txt" import Office "${WORK}/office.json")
expect(STATUS 1 ERR "^store: [^\n]*notes.txt is not a schedule database[^\n]*\n$"
  ARGS --db "${WORK}/notes.txt" list)
file(READ "${WORK}/notes.txt" notes)
if(NOT notes STREQUAL "Monday 08:00-12:00\n")
  message(SEND_ERROR "the foreign file was changed")
endif()

# poke(FILE OFFSET BYTES): writes BYTES, in printf's escapes, into FILE at OFFSET.
function(poke file offset bytes)
  execute_process(COMMAND /bin/sh -c "printf '${bytes}' | dd \"of=$0\" bs=1 seek=${offset} conv=notrunc status=none"
    "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "cannot change ${file}")
  endif()
endfunction()

# Revisions: every write raises them, an import that expects one writes only while the schedule
# is still there at that revision, and plain import keeps replacing.
set(rdb "${WORK}/revisions.sqlite")
expect(STATUS 2 ERR "^store: no schedule named \"Office\"\n$" ARGS --db "${rdb}" revision Office)
expect(STATUS 0 ARGS --db "${rdb}" import Office "${WORK}/office.json")
expect(STATUS 0 ARGS --db "${rdb}" import Office "${WORK}/office.json")
expect(STATUS 0 OUT "2\n" ARGS --db "${rdb}" revision Office)
expect(STATUS 0 ARGS --db "${rdb}" import Office "${WORK}/empty-week.json" --expect-revision 2)
expect(STATUS 1 ERR "^store: [^\n]*Office[^\n]*changed since revision 2; it is now at 3\n$"
  ARGS --db "${rdb}" import --expect-revision 2 Office "${WORK}/office.json")
expect(STATUS 0 OUT "Monday\nTuesday\nWednesday\nThursday\nFriday\nSaturday\nSunday\nSpecial\n"
  ARGS --db "${rdb}" show Office)
expect(STATUS 0 ARGS --db "${rdb}" rename Office Work)
expect(STATUS 1 ERR "^store: [^\n]*Office[^\n]* no longer exists\n$"
  ARGS --db "${rdb}" import Office "${WORK}/office.json" --expect-revision 3)
expect(STATUS 0 OUT "Work\n" ARGS --db "${rdb}" list)
expect(STATUS 0 OUT "4\n" ARGS --db "${rdb}" revision Work)
foreach(wrong 0 -1 x 4x "")
  expect(STATUS 2 ERR "^store: --expect-revision needs a [^\n]*\n${usage}"
    ARGS --db "${rdb}" import Work "${WORK}/office.json" --expect-revision "${wrong}")
endforeach()
expect(STATUS 2 ERR "^store: --expect-revision goes with import only\n${usage}"
  ARGS --db "${rdb}" list --expect-revision 4)

# Names reach the database byte for byte: a byte order mark is part of a name, a noncharacter
# comes back as it went in, and a word that is not UTF-8 is refused rather than mended.
string(ASCII 239 187 191 bom)
string(ASCII 239 191 191 nonchar)
string(ASCII 255 xff)
string(ASCII 254 xfe)
set(ndb "${WORK}/names.sqlite")
foreach(name Office "${bom}Office" "x${nonchar}y")
  expect(STATUS 0 ARGS --db "${ndb}" import "${name}" "${WORK}/office.json")
endforeach()
expect(STATUS 0 ARGS --db "${ndb}" import "${bom}Office" "${WORK}/empty-week.json")
expect(STATUS 0 OUT "Office\nx${nonchar}y\n${bom}Office\n" ARGS --db "${ndb}" list)
expect(STATUS 0 OUT "${office_days}" ARGS --db "${ndb}" show Office)
expect(STATUS 0 OUT "${office_days}" ARGS --db "${ndb}" show "x${nonchar}y")
foreach(name "a${xff}b" "a${xfe}b")
  expect(STATUS 2 ERR "^store: \"a\\\\xf[ef]b\" is not valid UTF-8\n${usage}"
    ARGS --db "${ndb}" import "${name}" "${WORK}/office.json")
endforeach()
expect(STATUS 0 OUT "Office\nx${nonchar}y\n${bom}Office\n" ARGS --db "${ndb}" list)

# Paths that cannot hold a database are refused at once, naming what is wrong and leaving
# nothing behind.
expect(STATUS 1 ERR "^store: cannot create [^\n]*/missing/x.sqlite: the folder [^\n]*/missing does not exist\n$"
  ARGS --db "${WORK}/missing/x.sqlite" import Office "${WORK}/office.json")
execute_process(COMMAND mkfifo "${WORK}/fifo" RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(SEND_ERROR "cannot make a FIFO")
endif()
foreach(command list "import;Office;${WORK}/office.json")
  foreach(path "${WORK}/fifo" /dev/null)
    expect(STATUS 1 ERR "^store: ${path} is not a schedule database \\(not a regular file\\)\n$"
      ARGS --db "${path}" ${command})
  endforeach()
endforeach()
if(EXISTS /dev/null-journal OR EXISTS "${WORK}/fifo-journal")
  message(SEND_ERROR "a journal was left beside a device or a FIFO")
  file(REMOVE /dev/null-journal)
endif()

# A store whose user_version was reset to 0 is recognised by its tables, read and written.
file(COPY_FILE "${rdb}" "${WORK}/unnumbered.sqlite")
poke("${WORK}/unnumbered.sqlite" 60 "\\0\\0\\0\\0")
expect(STATUS 0 OUT "Work\n" ARGS --db "${WORK}/unnumbered.sqlite" list)
expect(STATUS 0 ARGS --db "${WORK}/unnumbered.sqlite" import Work "${WORK}/office.json")
expect(STATUS 0 OUT "5\n" ARGS --db "${WORK}/unnumbered.sqlite" revision Work)

# Another program's SQLite database (its application_id), a newer version's (its user_version),
# a file of the SQLite magic alone and a folder are refused, read or written, and left byte for
# byte as they were, with no journal beside them.
set(foreign "${WORK}/foreign")
file(MAKE_DIRECTORY "${foreign}/folder.sqlite")
file(COPY_FILE "${rdb}" "${foreign}/other.sqlite")
poke("${foreign}/other.sqlite" 68 "\\0\\0\\0\\1")
file(COPY_FILE "${rdb}" "${foreign}/newer.sqlite")
poke("${foreign}/newer.sqlite" 60 "\\0\\0\\0\\3")
file(WRITE "${foreign}/magic.sqlite" "")
poke("${foreign}/magic.sqlite" 0 "SQLite format 3\\0")
foreach(case "other.sqlite is not a schedule database \\(an SQLite database of another program\\)"
    "newer.sqlite was written by a newer version \\(schema 3, this program knows up to 2\\)"
    "magic.sqlite is not a schedule database \\(not an SQLite file\\)"
    "folder.sqlite is a folder, not a schedule database")
  string(REGEX MATCH "^[a-z]+.sqlite" file "${case}")
  set(hash "")
  if(NOT IS_DIRECTORY "${foreign}/${file}")
    file(SHA256 "${foreign}/${file}" hash)
  endif()
  foreach(command list "import;Office;${WORK}/office.json")
    expect(STATUS 1 ERR "^store: [^\n]*${case}\n$" ARGS --db "${foreign}/${file}" ${command})
  endforeach()
  if(hash)
    file(SHA256 "${foreign}/${file}" after)
    if(NOT after STREQUAL hash)
      message(SEND_ERROR "${file} was changed")
    endif()
  endif()
endforeach()
file(GLOB left "${foreign}/*-journal" "${foreign}/*-wal")
if(left)
  message(SEND_ERROR "journals left beside foreign files: ${left}")
endif()

# The command line.
expect(STATUS 2 ERR "^store: no command given\n${usage}" ARGS --db "${db}")
expect(STATUS 2 ERR "^store: unknown command \"frobnicate\"\n${usage}" ARGS frobnicate)
expect(STATUS 2 ERR "^store: show takes 1 argument, not 0\n${usage}" ARGS show)
expect(STATUS 2 ERR "^store: import takes 2 arguments, not 3\n${usage}" ARGS import a b c)
expect(STATUS 2 ERR "^store: list takes 0 arguments, not 1\n${usage}" ARGS list extra)
expect(STATUS 2 ERR "^store: unknown option \"--bogus\"\n${usage}" ARGS --bogus list)
expect(STATUS 2 ERR "^store: --db needs a PATH\n${usage}" ARGS list --db)
expect(STATUS 0 OUT "usage: tarn-schedule store [--db PATH] list
       tarn-schedule store [--db PATH] show NAME
       tarn-schedule store [--db PATH] revision NAME
       tarn-schedule store [--db PATH] import NAME FILE [--expect-revision N]
       tarn-schedule store [--db PATH] export NAME FILE
       tarn-schedule store [--db PATH] rename OLD NEW
       tarn-schedule store [--db PATH] duplicate NAME NEW
       tarn-schedule store [--db PATH] delete NAME
" ARGS --help)

# Without --db: the user's data folder, created on the first write.
expect(STATUS 0 ARGS import Office "${WORK}/office.json")
expect(STATUS 0 OUT "Office\n" ARGS list)
if(NOT EXISTS "${WORK}/data/tarn-schedule/schedules.sqlite")
  message(SEND_ERROR "the default database is not in the data folder")
endif()

# Week files hold at most 1 MiB: a larger one, even an endless one, is refused unread.
expect(STATUS 2 ERR "^store: /dev/zero: the file holds more than 1 MiB[^\n]*\n$"
  ARGS --db "${db}" import Zero /dev/zero)

# Export replaces a file only once the new one is whole: on a full disk (here a file size limit)
# the old file stays, no temporary file is left and the reason is told. What is not a regular file is written into, never
# replaced: a device fails as its writes do, a named pipe is written into.
file(WRITE "${WORK}/kept.json" "kept\n")
execute_process(COMMAND /bin/sh -c
    "ulimit -f 0; exec \"$0\" store --db \"$1\" export Office \"$2\""
    "${PROGRAM}" "${db}" "${WORK}/kept.json" RESULT_VARIABLE status ERROR_VARIABLE err)
file(READ "${WORK}/kept.json" kept)
file(GLOB left "${WORK}/.kept.json*")
if(NOT status EQUAL 1 OR NOT err MATCHES "^store: cannot write [^\n]*kept.json: File too large\n$"
   OR NOT kept STREQUAL "kept\n" OR left)
  message(SEND_ERROR "export onto a full disk: status ${status}, file \"${kept}\", ${err}")
endif()
# A copy of /dev/full where one can be made (as root), so that a fault never replaces the real one.
execute_process(COMMAND mknod "${WORK}/full" c 1 7 RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
set(full /dev/full)
if(status EQUAL 0)
  set(full "${WORK}/full")
endif()
expect(STATUS 1 ERR "^store: cannot write [^\n]*full: No space left on device\n$"
  ARGS --db "${db}" export Office "${full}")
execute_process(COMMAND mkfifo "${WORK}/pipe")
execute_process(COMMAND /bin/sh -c
    "(timeout 20 cat \"$1/pipe\" >\"$1/piped.json\" 2>/dev/null </dev/null &); exec \"$0\" store --db \"$1/schedules.sqlite\" export Office \"$1/pipe\""
    "${PROGRAM}" "${WORK}" TIMEOUT 30 RESULT_VARIABLE status)
execute_process(COMMAND test -c "${full}" -a -p "${WORK}/pipe" RESULT_VARIABLE kinds)
if(NOT status EQUAL 0 OR NOT kinds EQUAL 0)
  message(SEND_ERROR "export into a device or a pipe: status ${status}, the files replaced")
endif()
# Names in messages: 40 characters at most.
expect(STATUS 2
  ERR "^store: no schedule named \"0123456789012345678901234567890123456789\\.\\.\\.\"\n$"
  ARGS --db "${db}" show "01234567890123456789012345678901234567890123456789")
