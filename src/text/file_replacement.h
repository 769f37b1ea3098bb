// Replacing a file safely in a folder that others may write to: the new content goes to a
// temporary beside the destination that is created exclusively under an unpredictable name
// (never through a link someone planted), gets the mode of the file it replaces, and is
// renamed over the destination once complete.
#pragma once

#include <memory>
#include <string>
#include <system_error>

namespace toravel {

class FileReplacement {
  public:
    // Starts replacing `target`. An existing target that is a symbolic link is replaced at
    // the file the link names (the link stays); an existing target that is no regular file
    // (a folder, a device, a FIFO, a socket) or a link to nothing is refused. Nothing when
    // the replacement cannot start: `problem` then says why in words, and `error` holds the
    // system's error number when the system gave one (0 otherwise).
    static std::unique_ptr<FileReplacement> Begin(const std::string& target,
                                                  std::string& problem, int& error);
    // Removes the temporary unless it was committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The temporary, created and open for writing.
    const std::string& temporary() const { return temporary_; }
    // The file that Commit replaces: the target, or the file its link names.
    const std::string& destination() const { return destination_; }
    // Hands the open descriptor of the temporary to the caller, who closes it; -1 once taken.
    int TakeDescriptor();
    // Renames the complete temporary over the destination; on failure removes the temporary
    // and returns the error.
    std::error_code Commit();

  private:
    FileReplacement() = default;
    std::string temporary_;
    std::string destination_;
    int fd_ = -1;
    bool done_ = false;
};

}  // namespace toravel
