// The script and its output as the scripted host reads and writes them: a stream buffer over a file
// descriptor that, unlike the standard streams, keeps why reading or writing failed. A read error
// is told apart from the end of the script, and every failure is reported with its reason.
#pragma once

#include <streambuf>
#include <string>
#include <vector>

namespace tarn::app {

class FileBuffer final : public std::streambuf {
public:
    enum class Direction { Read, Write };

    /// Reads or writes descriptor `fd`, called `name` in messages ("standard input", a path).
    /// A descriptor that is not open (-1 included) fails on the first read or write, as it
    /// would for any program. The descriptor is closed with the buffer when `owned`.
    FileBuffer(int fd, Direction direction, std::string name, bool owned = false);
    /// Writes what is still buffered; closes an owned descriptor.
    ~FileBuffer() override;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    /// Empty until reading or writing failed; then why, from the first failure:
    /// "cannot read NAME: REASON" or "cannot write NAME: REASON". A failed buffer reads as the
    /// end of the file and refuses every write.
    const std::string& Failure() const { return failure_; }

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool WriteBuffered();
    void Fail(int error);

    int fd_;
    Direction direction_;
    std::string name_;
    bool owned_;
    std::vector<char> buffer_;
    std::string failure_;
};

}  // namespace tarn::app
