#include "text/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace toravel {

namespace {

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

}  // namespace

int ReplaceError(const std::string& path) {
    if (!Exists(path)) {
        return 0;
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (f == nullptr) {
        return errno != 0 ? errno : EACCES;
    }
    std::fclose(f);
    return 0;
}

std::string TemporaryPathFor(const std::string& target) {
    for (int attempt = 0;; ++attempt) {
        std::string candidate = target + ".toravel-" + std::to_string(attempt) + ".tmp";
        if (!Exists(candidate)) {
            return candidate;
        }
    }
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return !error && same;
}

std::error_code ReplaceWith(const std::string& temporary, const std::string& target) {
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return error;
}

}  // namespace toravel
