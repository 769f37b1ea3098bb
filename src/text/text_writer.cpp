#include "text/text_writer.h"

#include <cerrno>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace toravel {

namespace {

// "00" to "99", for writing two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

std::unique_ptr<FileSink> FileSink::Create(const std::string& path, int* error) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        if (error != nullptr) {
            *error = errno != 0 ? errno : EACCES;
        }
        return nullptr;
    }
    return std::unique_ptr<FileSink>(new FileSink(file));
}

std::unique_ptr<FileSink> FileSink::Adopt(int fd, int* error) {
    errno = 0;
#if defined(_WIN32)
    std::FILE* file = fd >= 0 ? _fdopen(fd, "w") : nullptr;
#else
    std::FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
#endif
    if (file == nullptr) {
        if (error != nullptr) {
            *error = errno != 0 ? errno : EBADF;
        }
        if (fd >= 0) {
#if defined(_WIN32)
            _close(fd);
#else
            close(fd);
#endif
        }
        return nullptr;
    }
    return std::unique_ptr<FileSink>(new FileSink(file));
}

void FileSink::Note(bool ok) {
    if (!ok && error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
}

FileSink::~FileSink() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FileSink::Write(const char* data, size_t size) {
    errno = 0;
    const bool ok = file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
    Note(ok);
    return ok;
}

bool FileSink::Finish() {
    if (file_ == nullptr) {
        return false;
    }
    errno = 0;
    const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    Note(flushed);
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    Note(closed);
    file_ = nullptr;
    return flushed && closed;
}

TextWriter::TextWriter(OutputSink& sink) : sink_(sink), buffer_(new char[kCapacity]) {}

TextWriter::~TextWriter() = default;

void TextWriter::Drain() {
    if (ok_ && used_ > 0) {
        ok_ = sink_.Write(buffer_.get(), used_);
    }
    used_ = 0;
}

void TextWriter::Spill(std::string_view text) {
    if (text.size() >= kCapacity) {
        // A large block (a part formatted elsewhere) goes to the sink without a copy.
        Drain();
        if (ok_) {
            ok_ = sink_.Write(text.data(), text.size());
        }
        return;
    }
    while (!text.empty()) {
        if (used_ == kCapacity) {
            Drain();
        }
        const size_t n = std::min(text.size(), kCapacity - used_);
        text.copy(buffer_.get() + used_, n);
        used_ += n;
        text.remove_prefix(n);
    }
}

TextWriter& TextWriter::Indent(int depth) {
    size_t n = depth > 0 ? static_cast<size_t>(depth) : 0;
    // Nearly every indent is shallow: one fixed-size copy, of which only `n` bytes count.
    static constexpr char kSpaces[33] = "                                ";
    if (n <= 32) {
        std::memcpy(Reserve(32), kSpaces, 32);
        used_ += n;
        return *this;
    }
    while (n > 0) {
        const size_t chunk = std::min<size_t>(n, 256);
        std::memset(Reserve(chunk), ' ', chunk);
        used_ += chunk;
        n -= chunk;
    }
    return *this;
}

TextWriter& TextWriter::Int(int64_t value) {
    char* out = Reserve(24);
    used_ += static_cast<size_t>(std::to_chars(out, out + 24, value).ptr - out);
    return *this;
}

TextWriter& TextWriter::Unsigned(uint32_t value) {
    char* out = Reserve(16);
    used_ += static_cast<size_t>(std::to_chars(out, out + 16, value).ptr - out);
    return *this;
}

TextWriter& TextWriter::Float(float value) {
    // The largest float has 39 integer digits: sign, 39 digits, point and 6 decimals fit in 48.
    char* out = Reserve(48);
    used_ += FormatFixed6(value, out);
    return *this;
}

bool TextWriter::Finish() {
    Drain();
    if (ok_) {
        ok_ = sink_.Finish();
    }
    return ok_;
}

size_t FormatFixed6(float value, char* out) {
    const double v = value;
    if (!std::isfinite(v)) {
        // printf pads "nan" and "inf" to the field width of 7.
        const char* word =
            std::isnan(v) ? (std::signbit(v) ? "-nan" : "nan") : (v < 0 ? "-inf" : "inf");
        const size_t len = std::strlen(word);
        std::memset(out, ' ', 7 - len);
        std::memcpy(out + 7 - len, word, len);
        return 7;
    }
    const double scaled = std::fabs(v) * 1e6;
    constexpr double kTwoTo52 = 4503599627370496.0;
    if (scaled < kTwoTo52) {
        // A float has 24 significant bits, so its product with 10^6 (2^6 * 15625, 14 more
        // bits) is exact in a double. Adding and taking away 2^52 rounds it to an integer,
        // ties to even, exactly as printf rounds its six decimals.
        const auto micros = static_cast<uint64_t>((scaled + kTwoTo52) - kTwoTo52);
        char* p = out;
        if (std::signbit(v)) {
            *p++ = '-';
        }
        const uint64_t whole = micros / 1000000;
        if (whole < 10) {
            *p++ = static_cast<char>('0' + whole);
        } else if (whole < 100) {
            std::memcpy(p, kDigitPairs + 2 * whole, 2);
            p += 2;
        } else {
            p = std::to_chars(p, p + 24, whole).ptr;
        }
        *p = '.';
        const auto fraction = static_cast<uint32_t>(micros - whole * 1000000);
        const uint32_t high = fraction / 10000;
        const uint32_t rest = fraction - high * 10000;
        const uint32_t middle = rest / 100;
        std::memcpy(p + 1, kDigitPairs + 2 * high, 2);
        std::memcpy(p + 3, kDigitPairs + 2 * middle, 2);
        std::memcpy(p + 5, kDigitPairs + 2 * (rest - middle * 100), 2);
        return static_cast<size_t>(p + 7 - out);
    }
    return static_cast<size_t>(std::to_chars(out, out + 48, v, std::chars_format::fixed, 6).ptr -
                               out);
}

TextWriter& TextWriter::Quoted(std::string_view text) {
    Char('"');
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c < 0x20) {
            Text(text.substr(start, i - start));
            Char(c == '"' ? '\'' : ' ');
            start = i + 1;
        }
    }
    Text(text.substr(start));
    return Char('"');
}

}  // namespace toravel
