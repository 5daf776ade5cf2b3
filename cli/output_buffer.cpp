#include "output_buffer.h"

#include <cerrno>
#include <cstring>

namespace orvantis::cli {

OutputBuffer::OutputBuffer(std::FILE* stream, std::size_t capacity)
    : stream_(stream), data_(std::make_unique<char[]>(capacity)), capacity_(capacity)
{
}

char* OutputBuffer::reserve(std::size_t bytes)
{
    if (capacity_ - used_ < bytes) {
        writeToStream(data_.get(), used_);
        used_ = 0;
    }
    return data_.get() + used_;
}

void OutputBuffer::append(std::string_view text)
{
    if (text.size() > capacity_ - used_) {
        writeToStream(data_.get(), used_);
        used_ = 0;
        if (text.size() > capacity_) {
            writeToStream(text.data(), text.size());
            return;
        }
    }
    std::memcpy(data_.get() + used_, text.data(), text.size());
    used_ += text.size();
}

bool OutputBuffer::flush()
{
    writeToStream(data_.get(), used_);
    used_ = 0;
    if (!failed() && std::fflush(stream_) != 0)
        error_ = errno != 0 ? errno : EIO;
    return !failed();
}

void OutputBuffer::writeToStream(const char* data, std::size_t size)
{
    if (failed() || size == 0)
        return;
    errno = 0;
    if (std::fwrite(data, 1, size, stream_) != size)
        error_ = errno != 0 ? errno : EIO;
}

} // namespace orvantis::cli
