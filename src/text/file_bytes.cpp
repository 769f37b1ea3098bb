#include "text/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace toravel {

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error) {
        content.reserve(static_cast<size_t>(size));
    }
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        content.append(chunk, n);
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return content;
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
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return SystemReason(errno != 0 ? errno : EACCES);
    }
    std::fclose(f);
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
