// `tarn-schedule store [--db PATH] list | show NAME | revision NAME |
// import NAME FILE [--expect-revision N] | export NAME FILE | rename OLD NEW | duplicate NAME NEW |
// delete NAME`: the named schedules of a database.
#pragma once

namespace tarn::app {

/// argv[0] is "store"; returns the exit status: 0 done, 2 the input is wrong (the command line,
/// a name, a week file), 1 the database or a file failed, or the schedule moved on from the
/// revision an import expected.
int RunStore(int argc, char** argv);

}  // namespace tarn::app
