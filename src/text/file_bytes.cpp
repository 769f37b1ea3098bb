#include "text/file_bytes.h"

#include <cstdio>
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

}  // namespace toravel
