#include "text/file_bytes.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

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

#if defined(_WIN32)
int OpenForReading(const std::string& path) {
    int fd = -1;
    const int error = _sopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY, _SH_DENYNO, 0);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return fd;
}
bool IsRegularDescriptor(int fd, unsigned long long& size) {
    struct _stat64 info {};
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        return false;
    }
    size = static_cast<unsigned long long>(info.st_size);
    return true;
}
long long ReadSome(int fd, char* into, size_t size) {
    return _read(fd, into, static_cast<unsigned>(size > (1u << 30) ? (1u << 30) : size));
}
void CloseDescriptor(int fd) {
    _close(fd);
}
#else
int OpenForReading(const std::string& path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
bool IsRegularDescriptor(int fd, unsigned long long& size) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    size = static_cast<unsigned long long>(info.st_size);
    return true;
}
long long ReadSome(int fd, char* into, size_t size) {
    ssize_t n;
    do {
        n = read(fd, into, size);
    } while (n < 0 && errno == EINTR);
    return n;
}
void CloseDescriptor(int fd) {
    close(fd);
}
#endif

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, size_t spare) {
    const int fd = OpenForReading(path);
    if (fd < 0) {
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { CloseDescriptor(fd); }
    } closer{fd};
    unsigned long long size = 0;
    if (!IsRegularDescriptor(fd, size) || size > kMaxInputBytes) {
        return std::nullopt;
    }
    // Read into memory rather than mapped: a mapped file that shrinks meanwhile ends the
    // process with a signal. One byte more than the size tells whether the file has grown.
    std::string content;
    content.reserve(static_cast<size_t>(size) + 1 + spare);
    content.resize(static_cast<size_t>(size) + 1);
    size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            // The file has grown since it was checked.
            if (used > kMaxInputBytes) {
                break;
            }
            content.resize(used + (1 << 16));
        }
        const long long n = ReadSome(fd, content.data() + used, content.size() - used);
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<size_t>(n);
    }
    if (used > kMaxInputBytes) {
        return std::nullopt;
    }
    content.resize(used);
    return content;
}

bool OpensForReading(const std::string& path) {
    const int fd = OpenForReading(path);
    if (fd < 0) {
        return false;
    }
    CloseDescriptor(fd);
    return true;
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

std::string OpenForReadingProblem(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        return SystemReason(error.value());
    }
    if (!std::filesystem::exists(status)) {
        return SystemReason(ENOENT);
    }
    if (std::filesystem::is_directory(status)) {
        return "it is a folder, not a file";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "it is not a regular file";
    }
    if (std::filesystem::file_size(path, error) > kMaxInputBytes && !error) {
        return "it is larger than 2 GiB, the largest file Toravel reads";
    }
    errno = 0;
    const int fd = OpenForReading(path);
    if (fd < 0) {
        return SystemReason(errno != 0 ? errno : EACCES);
    }
    CloseDescriptor(fd);
    return {};
}

std::string CreateProblem(const std::string& path) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (error) {
        return "the folder " + folder.string() + " does not exist";
    }
    if (!std::filesystem::is_directory(status)) {
        return folder.string() + " is not a folder";
    }
    if (std::filesystem::is_directory(path, error)) {
        return "it is a folder";
    }
    return {};
}

}  // namespace toravel
