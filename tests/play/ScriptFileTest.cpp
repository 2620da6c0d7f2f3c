// The script and its output over file descriptors: files longer than the buffer are read and
// written whole, and each line is answered before the next is read. The examples' error runs show
// what the program says when a read or a write fails.

#include "app/ScriptFile.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "app/ScriptRunner.h"

namespace tarn::app {
namespace {

using Direction = FileBuffer::Direction;

/// An empty temporary file, removed at the end of the test.
class TemporaryFile {
public:
    TemporaryFile() {
        char name[] = "/tmp/tarn-script-XXXXXX";
        ::close(::mkstemp(name));
        path_ = name;
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

TEST(FileBuffer, WritesAndReadsMoreThanItsBufferWhole) {
    // Longer than the buffer, so that it is emptied and refilled.
    std::string text;
    for (int i = 0; text.size() < 200'000; ++i)
        text += "set Schedule_MondayStart1 " + std::to_string(i % 2400) + '\n';
    const TemporaryFile file;
    {
        FileBuffer buffer(file.Open(O_WRONLY | O_TRUNC), Direction::Write, "out", true);
        std::ostream out(&buffer);
        out << text;
        EXPECT_TRUE(out.flush());
    }
    FileBuffer whole(file.Open(O_RDONLY), Direction::Read, file.Path(), true);
    EXPECT_EQ(ReadAll(whole), text);
    EXPECT_EQ(whole.Failure(), "");
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
