#include "text/file_replacement.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "text/text_writer.h"

#if defined(__unix__)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace toravel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

// Writes `content` through a replacement of `target` and commits it.
bool Replace(const std::string& target, const std::string& content, std::string& problem) {
    int error = 0;
    std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(target, problem, error);
    if (!replacement) {
        return false;
    }
    std::unique_ptr<FileSink> sink = FileSink::Adopt(replacement->TakeDescriptor());
    if (!sink || !sink->Write(content.data(), content.size()) || !sink->Finish()) {
        return false;
    }
    return !replacement->Commit();
}

TEST(FileReplacement, WritesANewFileAndReplacesAnOldOneLeavingNothingElse) {
    TempDir dir;
    std::string problem;
    ASSERT_TRUE(Replace(dir.File("out.x"), "first", problem)) << problem;
    ASSERT_TRUE(Replace(dir.File("out.x"), "second", problem)) << problem;
    EXPECT_EQ(TempDir::Read(dir.File("out.x")), "second");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.x"});
}

TEST(FileReplacement, AnAbandonedReplacementLeavesTheTargetAndNoTemporary) {
    TempDir dir;
    const std::string target = dir.Write("out.x", "kept");
    std::string problem;
    int error = 0;
    {
        std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(target, problem, error);
        ASSERT_TRUE(replacement);
        EXPECT_TRUE(fs::exists(replacement->temporary()));
    }
    EXPECT_EQ(TempDir::Read(target), "kept");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.x"});
}

TEST(FileReplacement, ATargetNameOfTheLongestLengthStillGetsATemporary) {
    TempDir dir;
    const std::string target = dir.File(std::string(251, 'n') + ".x");
    std::string problem;
    ASSERT_TRUE(Replace(target, "long", problem)) << problem;
    EXPECT_EQ(TempDir::Read(target), "long");
}

#if defined(__unix__)
TEST(FileReplacement, TheTemporaryNeverFollowsAPlantedLinkAndIsUnpredictable) {
    TempDir dir;
    const std::string target = dir.File("out.x");
    std::string problem;
    int error = 0;
    auto first = FileReplacement::Begin(target, problem, error);
    auto second = FileReplacement::Begin(target, problem, error);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->temporary(), second->temporary());
    EXPECT_LE(fs::path(first->temporary()).filename().string().size(), 30u);
    struct stat info {};
    ASSERT_EQ(lstat(first->temporary().c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST(FileReplacement, KeepsTheModeOfTheFileItReplaces) {
    TempDir dir;
    const std::string target = dir.Write("out.x", "old");
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    std::string problem;
    ASSERT_TRUE(Replace(target, "new", problem)) << problem;
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(Replace(target, "newer", problem)) << problem;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(FileReplacement, AnOutputThatIsALinkIsReplacedAtTheFileItNames) {
    TempDir dir;
    fs::create_directories(dir.path() / "real");
    const std::string real = dir.Write("real/out.x", "old");
    fs::create_symlink(real, dir.path() / "link.x");
    std::string problem;
    ASSERT_TRUE(Replace(dir.File("link.x"), "new", problem)) << problem;
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.x"));
    EXPECT_EQ(TempDir::Read(real), "new");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.x", "real"}));
}

TEST(FileReplacement, RefusesEveryTargetThatIsNoRegularFile) {
    TempDir dir;
    fs::create_directories(dir.path() / "folder");
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    fs::create_symlink(dir.path() / "nowhere", dir.path() / "dangling");
    fs::create_symlink("/dev/null", dir.path() / "to_device");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.File("sock");
    const bool haveSocket = socketPath.size() < sizeof address.sun_path;
    if (haveSocket) {
        socketPath.copy(address.sun_path, socketPath.size());
        ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    const struct {
        std::string target, hint;
    } cases[] = {
        {"/dev/null", "it is not a regular file"},
        {dir.File("folder"), "it is a folder"},
        {dir.File("fifo"), "it is not a regular file"},
        {dir.File("to_device"), "it is not a regular file"},
        {dir.File("dangling"), "it is a symbolic link to " + dir.File("nowhere") +
                                   ", which does not exist"},
        {haveSocket ? socketPath : "/dev/zero", "it is not a regular file"},
    };
    for (const auto& c : cases) {
        std::string problem;
        int error = 0;
        EXPECT_FALSE(FileReplacement::Begin(c.target, problem, error)) << c.target;
        EXPECT_EQ(problem, c.hint) << c.target;
    }
    close(sock);
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"dangling", "fifo", "folder", "sock", "to_device"}));
}
#endif

}  // namespace
}  // namespace toravel
