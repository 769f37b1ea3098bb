// Buffered text output with error detection. Numbers are formatted without any dependence on
// the locale: floats exactly as printf "%7.6f" of the value converted to double.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace toravel {

// Where a TextWriter's bytes go.
class OutputSink {
  public:
    virtual ~OutputSink() = default;
    // Writes all `size` bytes or reports false.
    virtual bool Write(const char* data, size_t size) = 0;
    // Pushes everything written so far to its destination; false on failure.
    virtual bool Finish() { return true; }
};

// Appends to a string; for tests, dumps and in-memory output.
class StringSink : public OutputSink {
  public:
    bool Write(const char* data, size_t size) override {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// A file opened for writing as text: lines end in CR LF on Windows and in LF elsewhere.
class FileSink : public OutputSink {
  public:
    // Creates or truncates the file; nothing when it cannot be opened (with the system's
    // error number in `error`, when given).
    static std::unique_ptr<FileSink> Create(const std::string& path, int* error = nullptr);
    // Writes to a descriptor already open for writing, which the sink then owns (and closes
    // even when this fails).
    static std::unique_ptr<FileSink> Adopt(int fd, int* error = nullptr);
    ~FileSink() override;
    bool Write(const char* data, size_t size) override;
    // Flushes and closes the file, reporting any error on the way.
    bool Finish() override;
    // The system's error number of the first write, flush or close that failed; 0 if none.
    int error() const { return error_; }

  private:
    explicit FileSink(std::FILE* file) : file_(file) {}
    void Note(bool ok);
    std::FILE* file_;
    int error_ = 0;
};

class TextWriter {
  public:
    explicit TextWriter(OutputSink& sink);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    TextWriter& Text(std::string_view text) {
        if (text.size() <= kCapacity - used_) {
            text.copy(buffer_.get() + used_, text.size());
            used_ += text.size();
        } else {
            Spill(text);
        }
        return *this;
    }
    TextWriter& Char(char c) {
        if (used_ == kCapacity) {
            Drain();
        }
        buffer_[used_++] = c;
        return *this;
    }
    TextWriter& Newline() { return Char('\n'); }
    TextWriter& Indent(int depth);
    TextWriter& Int(int64_t value);
    TextWriter& Unsigned(uint32_t value);
    // printf "%7.6f" of the value as a double, in the C locale.
    TextWriter& Float(float value);
    // `text` between double quotes, as a string of the X text format, which has no escapes: a
    // double quote inside is written as a single quote and a control character (a line
    // break) as a blank, so that the string ends where it should and stays on its line.
    TextWriter& Quoted(std::string_view text);

    // Pushes all buffered output through the sink and finishes it. True when every byte
    // reached its destination; after a failure nothing more is written.
    bool Finish();
    bool ok() const { return ok_; }

  private:
    static constexpr size_t kCapacity = 1 << 16;
    void Drain();
    void Spill(std::string_view text);
    char* Reserve(size_t size) {
        if (kCapacity - used_ < size) {
            Drain();
        }
        return buffer_.get() + used_;
    }

    OutputSink& sink_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    bool ok_ = true;
};

// "%7.6f" of `value` into `out` (at least 48 characters); returns the length.
size_t FormatFixed6(float value, char* out);

}  // namespace toravel
