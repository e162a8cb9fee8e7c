#pragma once
// A text already in memory, read as a stream without a copy of it: a script a test or a fuzzer
// holds goes through the same line reader as a script file.

#include <istream>
#include <streambuf>
#include <string_view>

namespace Quarn::WinRT::sim {

class TextStream : private std::streambuf, public std::istream {
public:
    // `text` must outlive the stream.
    explicit TextStream(std::string_view text) : std::istream(this) {
        // The get area is only read from: a stream buffer wants it writable for putback, which
        // this one refuses (the default pbackfail).
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

}  // namespace Quarn::WinRT::sim
