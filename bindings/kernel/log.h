#pragma once
// The host's log (whole lines, for errors a user may report) and trace (debugger output, for
// developers). Both go to a replaceable sink; without one they go to standard error.

#include <string_view>

#include "bindings/kernel/string.h"

namespace Kernel {

// Receives text from any thread; an implementation guards itself.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Write(std::string_view text) = 0;
};

class Logger {
public:
    void WriteLine(const char* line);
    void WriteLine(const String8& line) { WriteLine(line.CStr()); }
};

Logger& Log();

// Writes the text as it stands; trace texts carry their own line feeds.
void Trace(const char* text);
inline void Trace(const String8& text) {
    Trace(text.CStr());
}

// Install before the first line is written; each returns the sink it replaces.
TextSink* SetLogSink(TextSink* sink);
TextSink* SetTraceSink(TextSink* sink);

}  // namespace Kernel
