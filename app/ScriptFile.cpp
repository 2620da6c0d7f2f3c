#include "app/ScriptFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace tarn::app {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

FileBuffer::FileBuffer(int fd, Direction direction, std::string name, bool owned)
    : fd_(fd), direction_(direction), name_(std::move(name)), owned_(owned), buffer_(kBufferSize) {
    if (direction_ == Direction::Write) setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FileBuffer::~FileBuffer() {
    if (direction_ == Direction::Write) WriteBuffered();
    if (owned_ && fd_ >= 0) ::close(fd_);
}

FileBuffer::int_type FileBuffer::underflow() {
    if (direction_ != Direction::Read || !failure_.empty()) return traits_type::eof();
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    ssize_t count;
    do {
        count = ::read(fd_, buffer_.data(), buffer_.size());
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        Fail(errno);
        return traits_type::eof();
    }
    if (count == 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(*gptr());
}

FileBuffer::int_type FileBuffer::overflow(int_type c) {
    if (direction_ != Direction::Write || !WriteBuffered()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int FileBuffer::sync() {
    if (direction_ != Direction::Write) return 0;
    return WriteBuffered() ? 0 : -1;
}

bool FileBuffer::WriteBuffered() {
    if (!failure_.empty()) return false;
    const char* next = pbase();
    while (next < pptr()) {
        const ssize_t count = ::write(fd_, next, static_cast<std::size_t>(pptr() - next));
        if (count < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
            return false;
        }
        next += count;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return true;
}

void FileBuffer::Fail(int error) {
    failure_ = (direction_ == Direction::Read ? "cannot read " : "cannot write ") + name_ + ": " +
               std::strerror(error);
    // What was not written is lost; nothing more is taken.
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
}

}  // namespace tarn::app
