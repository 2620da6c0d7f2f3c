// Reading and writing whole files with the system's reasons for failing: a read that takes no more
// than a limit however much the file holds, and a write that replaces a file only once the new
// content is safely on disk.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <string>

namespace tarn::storage {

/// What reading a whole file gave.
struct FileContent {
    enum class Status { Read, TooLarge, Failed };
    Status status = Status::Failed;
    QByteArray bytes;    // the whole content when Read
    std::string reason;  // the system's reason when Failed ("Is a directory")
};

/// Reads `fd` to its end, holding at most `limit` + 1 bytes: TooLarge as soon as there are more
/// than `limit`, without reading on.
FileContent ReadFileWhole(int fd, qsizetype limit);
/// The same for the file at `path` (bytes as the system takes them).
FileContent ReadFileWhole(const std::string& path, qsizetype limit);

/// Makes `bytes` the whole content of the file at `path`, or leaves everything as it was and
/// gives the system's reason ("No space left on device") in `reason`. A regular file, new or
/// existing, is written as a temporary file in its folder, flushed to disk and checked, and only
/// then renamed over it (keeping the old file's permissions); a link is followed, never replaced.
/// Anything else that exists (a device, a named pipe) is never replaced but written into as a
/// stream, and fails as its writes do; so is the program's own standard output or error.
[[nodiscard]] bool WriteFileWhole(const std::string& path, QByteArrayView bytes,
                                  std::string& reason);

}  // namespace tarn::storage
