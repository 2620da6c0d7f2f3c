// The script and its output over file descriptors: the end of a file longer than the buffer is
// told apart from a read error, a write error is kept with its reason, and each line is answered
// before the next is read. The examples' error runs show the messages of the whole program.

#include "app/ScriptFile.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/ScriptRunner.h"

namespace tarn::app {
namespace {

using Direction = FileBuffer::Direction;

/// A temporary file holding `text`, removed at the end of the test.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& text) {
        char name[] = "/tmp/tarn-script-XXXXXX";
        const int fd = ::mkstemp(name);
        path_ = name;
        EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
    }
    ~TemporaryFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }
    int Open(int flags) const { return ::open(path_.c_str(), flags); }

private:
    std::string path_;
};

std::string ReadAll(FileBuffer& buffer) {
    std::istream in(&buffer);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FileBuffer, ReadsToTheEndOrSaysWhyItCouldNot) {
    // Longer than the buffer, so that it is refilled.
    std::string text;
    for (int i = 0; text.size() < 200'000; ++i)
        text += "set Schedule_MondayStart1 " + std::to_string(i % 2400) + '\n';
    const TemporaryFile file(text);
    FileBuffer whole(file.Open(O_RDONLY), Direction::Read, file.Path(), true);
    EXPECT_EQ(ReadAll(whole), text);
    EXPECT_EQ(whole.Failure(), "");

    const struct {
        int fd;
        const char* failure;
    } failing[] = {{::open("/tmp", O_RDONLY), "cannot read the folder: Is a directory"},
                   {-1, "cannot read the folder: Bad file descriptor"},
                   {file.Open(O_WRONLY), "cannot read the folder: Bad file descriptor"}};
    for (const auto& [fd, failure] : failing) {
        FileBuffer buffer(fd, Direction::Read, "the folder", fd >= 0);
        EXPECT_EQ(ReadAll(buffer), "");
        EXPECT_EQ(buffer.Failure(), failure);
    }
}

TEST(FileBuffer, WritesEverythingOrKeepsTheFirstReason) {
    std::string text;
    for (int i = 0; text.size() < 200'000; ++i)
        text += std::to_string(i) + ' ';
    const TemporaryFile file("");
    {
        FileBuffer buffer(file.Open(O_WRONLY | O_TRUNC), Direction::Write, "out", true);
        std::ostream out(&buffer);
        out << text;
        EXPECT_TRUE(out.flush());
    }
    std::ifstream written(file.Path());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), text);

    const struct {
        int fd;
        const char* failure;
    } failing[] = {{::open("/dev/full", O_WRONLY), "cannot write out: No space left on device"},
                   {file.Open(O_RDONLY), "cannot write out: Bad file descriptor"}};
    for (const auto& [fd, failure] : failing) {
        FileBuffer buffer(fd, Direction::Write, "out", fd >= 0);
        std::ostream out(&buffer);
        out << "a few words\n";
        EXPECT_TRUE(out) << "held in the buffer until a flush";
        EXPECT_FALSE(out.flush());
        EXPECT_EQ(buffer.Failure(), failure);
        out.clear();
        out << text << std::flush;
        EXPECT_FALSE(out) << "no write is taken after a failure";
        EXPECT_EQ(buffer.Failure(), failure);
    }
}

TEST(PlayScript, AnswersEachLineBeforeReadingTheNext) {
    // A script typed line by line: the answer to a line must come out while the next one has
    // not been written yet, or a user (here, the test) waits for ever.
    int script[2];
    int answers[2];
    ASSERT_EQ(::pipe(script), 0);
    ASSERT_EQ(::pipe(answers), 0);
    int status = -1;
    std::thread player([&] {
        FileBuffer input(script[0], Direction::Read, "in", true);
        FileBuffer output(answers[1], Direction::Write, "out", true);
        std::ostringstream err;
        status = PlayScript(input, output, err, MakeMemoryControl, false);
    });
    const std::string line = "get Enable\n";
    ASSERT_EQ(::write(script[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    pollfd answer{answers[0], POLLIN, 0};
    const bool answered = ::poll(&answer, 1, 30'000) == 1;
    ::close(script[1]);
    player.join();
    EXPECT_TRUE(answered);
    char text[64] = {};
    EXPECT_EQ(::read(answers[0], text, sizeof text - 1), 14);
    EXPECT_STREQ(text, "Enable = True\n");
    EXPECT_EQ(status, 0);
    ::close(answers[0]);
}

}  // namespace
}  // namespace tarn::app
