#pragma once
// A stream over bytes in memory that behaves like a file another process is busy with: a read
// hands back at most `maxRead` bytes (short reads), and `appendedLater` is added to the end once
// the size has been measured (a line appended meanwhile). Portable, for the fuzzers too.
#include <algorithm>
#include <cstring>
#include <istream>
#include <string>
#include <utility>

namespace testsupport {

class ChoppyBuffer : public std::streambuf {
  public:
    ChoppyBuffer(std::string bytes, std::size_t maxRead, std::string appendedLater = "")
        : bytes_(std::move(bytes)), later_(std::move(appendedLater)), maxRead_(maxRead) {}

  protected:
    pos_type seekoff(off_type offset, std::ios::seekdir way, std::ios::openmode) override {
        off_type base = way == std::ios::beg   ? 0
                        : way == std::ios::cur ? static_cast<off_type>(position_)
                                               : static_cast<off_type>(bytes_.size());
        pos_type result = seekpos(base + offset, std::ios::in);
        if (way == std::ios::end) bytes_ += std::exchange(later_, std::string());
        return result;
    }
    pos_type seekpos(pos_type where, std::ios::openmode) override {
        off_type at = where;
        if (at < 0 || at > static_cast<off_type>(bytes_.size())) return pos_type(off_type(-1));
        position_ = static_cast<std::size_t>(at);
        return where;
    }
    int_type underflow() override {
        if (position_ >= bytes_.size()) return traits_type::eof();
        return traits_type::to_int_type(bytes_[position_]);
    }
    int_type uflow() override {
        int_type c = underflow();
        if (c != traits_type::eof()) ++position_;
        return c;
    }
    std::streamsize xsgetn(char* target, std::streamsize wanted) override {
        std::size_t n = std::min({static_cast<std::size_t>(wanted), maxRead_,
                                  bytes_.size() - std::min(position_, bytes_.size())});
        if (n > 0) std::memcpy(target, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<std::streamsize>(n);
    }

  private:
    std::string bytes_;
    std::string later_;
    std::size_t maxRead_;
    std::size_t position_ = 0;
};

}  // namespace testsupport
