// Helpers for the SMD tests: fixture files in a temporary folder, and an interaction that
// only records what it was asked, for inputs whose messages are not known in advance.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interaction.h"

namespace toravel::testing {

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        static std::atomic<int> counter{0};
        std::random_device random;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("toravel_smd_" + std::to_string(stamp) + "_" + std::to_string(random()) + "_" +
                 std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes `content` byte for byte to `name` in the folder and returns the full path.
    std::string Write(const std::string& name, std::string_view content) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        EXPECT_TRUE(out.good()) << "cannot write " << file;
        return file.string();
    }
    std::string PathOf(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Records every notice; answers questions with Yes and the name dialog with `animSetName`.
class RecordingInteraction : public UserInteraction {
  public:
    bool AskYesNo(std::string_view text, std::string_view, bool) override {
        questions.emplace_back(text);
        return true;
    }
    void ShowMessage(std::string_view text, std::string_view title) override {
        messages.push_back(std::string(title) + ": " + std::string(text));
    }
    std::optional<std::string> AskAnimSetName() override { return animSetName; }
    std::optional<FileChoice> AskOpenFileName(const FileFilter&) override { return std::nullopt; }
    std::optional<FileChoice> AskSaveFileName(const FileFilter&, std::string_view) override {
        return std::nullopt;
    }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

    std::optional<std::string> animSetName = "Anim";
    std::vector<std::string> questions;
    std::vector<std::string> messages;  // "title: text"
};

}  // namespace toravel::testing
