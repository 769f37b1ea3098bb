#include "app/console_completion.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/command_table.h"

namespace toravel {

std::vector<std::string> CompleteCommandName(std::string_view prefix) {
    std::vector<std::string> words;
    auto offer = [&](std::string_view word) {
        if (word.starts_with(prefix)) {
            words.emplace_back(word);
        }
    };
    for (const CommandRow& row : CommandTable()) {
        offer(row.shortName);
    }
    for (std::string_view word : {"menu", "status", "help"}) {
        offer(word);
    }
    std::sort(words.begin(), words.end());
    return words;
}

std::vector<std::string> CompletePath(std::string_view prefix) {
#ifdef _WIN32
    const size_t slash = prefix.find_last_of("/\\");  // both separators name folders there
#else
    const size_t slash = prefix.rfind('/');
#endif
    const std::string folderPart(slash == std::string_view::npos ? ""
                                                                 : prefix.substr(0, slash + 1));
    const std::string_view start =
        slash == std::string_view::npos ? prefix : prefix.substr(slash + 1);
    std::error_code error;
    std::filesystem::directory_iterator it(folderPart.empty() ? "." : folderPart, error);
    std::vector<std::string> paths;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(start) || (name.starts_with('.') && !start.starts_with('.'))) {
            continue;
        }
        std::error_code typeError;
        paths.push_back(folderPart + name + (it->is_directory(typeError) ? "/" : ""));
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace toravel
