#include "storage/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarn::storage {

namespace {

bool Failed(int error, std::string& reason) {
    reason = std::strerror(error);
    return false;
}

/// Writes all of `bytes`; false with the reason when the system refuses part of them.
bool WriteAll(int fd, QByteArrayView bytes, std::string& reason) {
    const char* next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t count = ::write(fd, next, static_cast<std::size_t>(left));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return Failed(count < 0 ? errno : EIO, reason);
        next += count;
        left -= count;
    }
    return true;
}

/// Closes `fd`; false with the reason when the close reports a failed write.
bool Close(int fd, std::string& reason) {
    if (::close(fd) == 0 || errno == EINTR) return true;
    return Failed(errno, reason);
}

/// Writes into what exists at `path` without replacing it: a device, a pipe, a terminal.
bool WriteStream(const std::string& path, QByteArrayView bytes, std::string& reason) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Failed(errno, reason);
    bool written = WriteAll(fd, bytes, reason);
    // Pipes and terminals have nothing to flush to a disk, and say so.
    if (written && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        written = Failed(errno, reason);
    if (!Close(fd, reason)) written = false;
    return written;
}

/// Writes a temporary file beside `path`, then renames it to `path`. `existing` is the file
/// replaced, whose permissions and owner the new one takes; null for a new file.
bool Replace(const std::string& path, const struct stat* existing, QByteArrayView bytes,
             std::string& reason) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return Failed(EISDIR, reason);

    // Named after the file, so that one left by a crash says what it was; short enough for any
    // file system whatever the name's length.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.part", QRandomGenerator::system()->generate());
        temporary = folder + "/." + name.substr(0, 64) + suffix;
        // A new file gets the permissions the user's umask gives any new file.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return Failed(errno, reason);
    }
    if (fd < 0) return Failed(EEXIST, reason);

    bool written = true;
    if (existing != nullptr) {
        // Another owner is kept where the system allows it (for root); otherwise the file
        // becomes the writer's, as any rewritten file would, so a refusal is no failure.
        [[maybe_unused]] const int owned = ::fchown(fd, existing->st_uid, existing->st_gid);
        if (::fchmod(fd, existing->st_mode & 07777) != 0) written = Failed(errno, reason);
    }
    written = written && WriteAll(fd, bytes, reason);
    if (written && ::fsync(fd) != 0) written = Failed(errno, reason);
    if (!Close(fd, reason)) written = false;
    if (written && ::rename(temporary.c_str(), path.c_str()) != 0) written = Failed(errno, reason);
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder; the file is complete either way.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace

FileContent ReadFileWhole(int fd, qsizetype limit) {
    FileContent content;
    struct stat info {};
    const bool sized = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    content.bytes.reserve(sized ? std::min<qsizetype>(info.st_size, limit) + 1 : limit + 1);
    char buffer[64 * 1024];
    while (content.bytes.size() <= limit) {
        const auto wanted = std::min<qsizetype>(sizeof buffer, limit + 1 - content.bytes.size());
        const ssize_t count = ::read(fd, buffer, static_cast<std::size_t>(wanted));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            content.reason = std::strerror(errno);
            content.bytes.clear();
            return content;
        }
        if (count == 0) break;
        content.bytes.append(buffer, count);
    }
    if (content.bytes.size() > limit) {
        content.status = FileContent::Status::TooLarge;
        content.bytes.clear();
        return content;
    }
    content.status = FileContent::Status::Read;
    return content;
}

FileContent ReadFileWhole(const std::string& path, qsizetype limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        FileContent content;
        content.reason = std::strerror(errno);
        return content;
    }
    FileContent content = ReadFileWhole(fd, limit);
    ::close(fd);
    return content;
}

bool WriteFileWhole(const std::string& path, QByteArrayView bytes, std::string& reason) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) {
        if (errno != ENOENT) return Failed(errno, reason);
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0) {
            reason = "it is a link to a file that does not exist";
            return false;
        }
        return Replace(path, nullptr, bytes, reason);
    }
    if (S_ISDIR(target.st_mode)) return Failed(EISDIR, reason);
    // The program's own standard output or error (/dev/stdout, or the file it was sent to) is
    // written through, where the caller's shell put it: after what it holds when appending.
    for (const int standard : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat open {};
        if (::fstat(standard, &open) == 0 && open.st_dev == target.st_dev &&
            open.st_ino == target.st_ino)
            return WriteAll(standard, bytes, reason);
    }
    if (!S_ISREG(target.st_mode)) return WriteStream(path, bytes, reason);
    // The file replaced is the one the path leads to, through any links.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return Failed(errno, reason);
    const std::string real(resolved);
    std::free(resolved);
    struct stat found {};
    // A file reached through a link the system makes up (/dev/stdout onto a deleted file) has no
    // name to replace: it is written as a stream.
    if (::stat(real.c_str(), &found) != 0 || found.st_dev != target.st_dev ||
        found.st_ino != target.st_ino)
        return WriteStream(path, bytes, reason);
    return Replace(real, &target, bytes, reason);
}

}  // namespace tarn::storage
