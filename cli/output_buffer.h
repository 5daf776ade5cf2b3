// Buffered output that notices when the data does not arrive. orvantis-calc
// may stream hundreds of megabytes into a pipe, so it formats into one large
// block and hands the stream whole blocks; and since a report cut short by a
// full disk or a closed pipe must not pass for success, the first failing
// write is remembered (with its errno) and everything after it is dropped.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace orvantis::cli {

class OutputBuffer {
public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

    explicit OutputBuffer(std::FILE* stream, std::size_t capacity = kDefaultCapacity);
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // At least `bytes` (at most the capacity) of free room; write into it and
    // pass the end of what was written to commit().
    char* reserve(std::size_t bytes);
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - data_.get()); }

    void append(std::string_view text);

    // Hands everything to the stream and flushes it. False once any write has
    // failed; error() then holds the errno of the first failure.
    bool flush();

    bool failed() const { return error_ != 0; }
    int error() const { return error_; }

private:
    void writeToStream(const char* data, std::size_t size);

    std::FILE* stream_;
    std::unique_ptr<char[]> data_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    int error_ = 0;
};

} // namespace orvantis::cli
