// A fresh temporary folder per test, removed afterwards, with helpers to write and read files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace toravel::testing {

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "toravel-test-";
        if (info != nullptr) {
            name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
        }
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        path_ = std::filesystem::temp_directory_path() / (name + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    // Writes `content` byte for byte and returns the full path.
    std::string Write(const std::string& name, std::string_view content) const {
        const std::string full = File(name);
        std::ofstream out(full, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        EXPECT_TRUE(out.good()) << "cannot write " << full;
        return full;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // A text file that the program wrote, with its line ends as "\n". On Windows text files
    // end their lines in CR LF: a bare LF there fails the running test.
    static std::string ReadText(const std::string& path) {
        const std::string bytes = Read(path);
#ifdef _WIN32
        std::string text;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                continue;
            }
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
                ADD_FAILURE() << path << ": a line ends in LF alone at byte " << i;
            }
            text += bytes[i];
        }
        return text;
#else
        return bytes;
#endif
    }

    // Every entry of the folder, by name.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace toravel::testing
