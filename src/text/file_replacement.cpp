#include "text/file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "text/file_bytes.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace toravel {

namespace {

// A short name, so that a temporary fits beside a target of any name length; its random
// part makes it unguessable for anyone who would plant something there beforehand.
std::string RandomTemporaryName(std::random_device& random) {
    static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".toravel-";
    for (int i = 0; i < 12; ++i) {
        name += kDigits[random() % (sizeof kDigits - 1)];
    }
    return name + ".tmp";
}

std::string Beside(const std::string& file, const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    return folder.empty() ? name : (folder / name).string();
}

#if defined(_WIN32)
int CreateExclusive(const std::string& path, int mode) {
    int fd = -1;
    const int error = _sopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT,
                               _SH_DENYWR, (mode & 0200) != 0 ? _S_IREAD | _S_IWRITE : _S_IREAD);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return fd;
}
#else
int CreateExclusive(const std::string& path, int mode) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                static_cast<mode_t>(mode));
}
#endif

}  // namespace

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::string& target,
                                                        std::string& problem, int& error) {
    problem.clear();
    error = 0;
    std::unique_ptr<FileReplacement> replacement(new FileReplacement());
    replacement->destination_ = target;
    bool exists = false;
    int mode = 0666;  // a new file gets what the umask leaves of this, as fopen would give it
#if defined(_WIN32)
    std::error_code status;
    const auto kind = std::filesystem::status(target, status).type();
    if (kind == std::filesystem::file_type::directory) {
        problem = "it is a folder";
        return nullptr;
    }
    if (kind != std::filesystem::file_type::not_found && kind != std::filesystem::file_type::none &&
        kind != std::filesystem::file_type::regular) {
        problem = "it is not a regular file";
        return nullptr;
    }
    exists = kind == std::filesystem::file_type::regular;
#else
    struct stat info {};
    if (lstat(target.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            // The link stays and the file it names is replaced, as writing through the link
            // would; the temporary goes beside that file so the rename stays in its folder.
            std::error_code resolved;
            const std::filesystem::path real = std::filesystem::canonical(target, resolved);
            if (resolved) {
                problem = "it is a symbolic link to " +
                          std::filesystem::read_symlink(target, resolved).string() +
                          ", which does not exist";
                return nullptr;
            }
            replacement->destination_ = real.string();
            if (stat(replacement->destination_.c_str(), &info) != 0) {
                error = errno;
                problem = SystemReason(error);
                return nullptr;
            }
        }
        if (S_ISDIR(info.st_mode)) {
            problem = "it is a folder";
            return nullptr;
        }
        if (!S_ISREG(info.st_mode)) {
            problem = "it is not a regular file";
            return nullptr;
        }
        exists = true;
        mode = static_cast<int>(info.st_mode & 07777);
        // Replacing needs no write permission on the file itself, but a file the user may not
        // write to is not the user's to replace.
        if (access(replacement->destination_.c_str(), W_OK) != 0) {
            error = errno;
            problem = SystemReason(error);
            return nullptr;
        }
    } else if (errno != ENOENT) {
        error = errno;
        problem = SystemReason(error);
        return nullptr;
    }
#endif
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            Beside(replacement->destination_, RandomTemporaryName(random));
        // An existing output's mode is given only once the file is ours, so the temporary
        // is never readable by more people than the output it replaces.
        const int fd = CreateExclusive(candidate, exists ? 0600 : mode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            error = errno;
            problem = CreateProblem(target);
            if (problem.empty()) {
                problem = SystemReason(error);
            }
            return nullptr;
        }
        replacement->temporary_ = candidate;
        replacement->fd_ = fd;
#if !defined(_WIN32)
        if (exists && fchmod(fd, static_cast<mode_t>(mode)) != 0) {
            error = errno;
            problem = SystemReason(error);
            return nullptr;  // the destructor removes the temporary
        }
#endif
        return replacement;
    }
    error = EEXIST;
    problem = "no temporary file could be created beside it";
    return nullptr;
}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) {
#if defined(_WIN32)
        _close(fd_);
#else
        close(fd_);
#endif
    }
    if (!done_ && !temporary_.empty()) {
        std::remove(temporary_.c_str());
    }
}

int FileReplacement::TakeDescriptor() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::error_code FileReplacement::Commit() {
    if (fd_ >= 0) {
#if defined(_WIN32)
        _close(fd_);
#else
        close(fd_);
#endif
        fd_ = -1;
    }
    std::error_code error;
    std::filesystem::rename(temporary_, destination_, error);
    if (!error) {
        done_ = true;
    }
    return error;
}

}  // namespace toravel
