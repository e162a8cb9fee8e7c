#include "bindings/kernel/log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace Kernel {

namespace {

std::atomic<TextSink*> g_logSink{nullptr};
std::atomic<TextSink*> g_traceSink{nullptr};

void WriteToStderr(std::string_view prefix, std::string_view text, bool newline) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%.*s%.*s%s", static_cast<int>(prefix.size()), prefix.data(),
                 static_cast<int>(text.size()), text.data(), newline ? "\n" : "");
}

}  // namespace

void Logger::WriteLine(const char* line) {
    const std::string_view text = line ? line : "";
    if (TextSink* sink = g_logSink.load(std::memory_order_acquire)) {
        sink->Write(text);
    } else {
        WriteToStderr("log: ", text, true);
    }
}

Logger& Log() {
    static Logger logger;
    return logger;
}

void Trace(const char* text) {
    const std::string_view view = text ? text : "";
    if (TextSink* sink = g_traceSink.load(std::memory_order_acquire)) {
        sink->Write(view);
    } else {
        WriteToStderr("trace: ", view, false);
    }
}

TextSink* SetLogSink(TextSink* sink) {
    return g_logSink.exchange(sink, std::memory_order_acq_rel);
}
TextSink* SetTraceSink(TextSink* sink) {
    return g_traceSink.exchange(sink, std::memory_order_acq_rel);
}

}  // namespace Kernel
