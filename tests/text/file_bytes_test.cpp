#include "text/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "text/text_input.h"

#if defined(__unix__)
#include <sys/stat.h>
#endif

namespace toravel {
namespace {

using testing::TempDir;

TEST(FileBytes, ReadsARegularFileWholeAndExactly) {
    TempDir dir;
    const std::string bytes("a\r\nb\0c", 6);
    EXPECT_EQ(ReadFileBytes(dir.Write("f", bytes)), bytes);
    EXPECT_EQ(ReadFileBytes(dir.Write("empty", "")), std::string());
    EXPECT_EQ(ReadFileBytes(dir.File("missing")), std::nullopt);
}

#if defined(__unix__)
// None of these may hang, grow without bound or end the process: each is no input.
TEST(FileBytes, EveryInputThatIsNoRegularFileIsRefusedAtOnce) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    const struct {
        std::string path, problem;
    } cases[] = {
        {"/dev/zero", "it is not a regular file"},
        {"/dev/null", "it is not a regular file"},
        {dir.File("fifo"), "it is not a regular file"},
        {dir.path().string(), "it is a folder, not a file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadFileBytes(c.path), std::nullopt) << c.path;
        EXPECT_FALSE(TextInput::OpenFile(c.path)) << c.path;
        EXPECT_EQ(OpenForReadingProblem(c.path), c.problem) << c.path;
    }
    EXPECT_TRUE(OpensForReading(dir.File("fifo")));
}

TEST(FileBytes, AFileLargerThanTheLimitIsRefusedWithoutReadingIt) {
    TempDir dir;
    const std::string path = dir.Write("huge.smd", "");
    std::filesystem::resize_file(path, kMaxInputBytes + 1);  // sparse: no disk is used
    EXPECT_EQ(ReadFileBytes(path), std::nullopt);
    EXPECT_EQ(OpenForReadingProblem(path), "it is larger than 2 GiB, the largest file Toravel reads");
}
#endif

TEST(FileBytes, TextInputAddsTheFinalLineFeedWithoutCopying) {
    TempDir dir;
    // A size that is a multiple of the page size and no final line feed: the mapped reader
    // needed a second whole copy here.
    const std::string content(8192, 'x');
    std::optional<TextInput> input = TextInput::OpenFile(dir.Write("page", content));
    ASSERT_TRUE(input);
    EXPECT_EQ(input->text(), content + "\n");
}

}  // namespace
}  // namespace toravel
