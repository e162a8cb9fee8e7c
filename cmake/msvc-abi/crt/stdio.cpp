// The formatted input and output functions, which the Universal C Runtime keeps inline in its
// headers over four exported entry points (ucrtbase.dll's __stdio_common_*). MinGW-w64's headers
// declare the narrow ones as functions (the wide ones they define inline), so each module
// defines them here, with the options Microsoft's headers pass by default.
#include <stdarg.h>
#include <stdio.h>

namespace {
// %s in the wide functions takes a wide string, as Microsoft's headers have always had it.
constexpr unsigned __int64 kLegacyWideSpecifiers = 1ull << 2;
// snprintf returns the length it needed and always terminates, as C99 says.
constexpr unsigned __int64 kStandardSnprintf = 1ull << 1;
}  // namespace

extern "C" {
int __cdecl vfprintf(FILE* stream, const char* format, va_list arguments) {
    return __stdio_common_vfprintf(kLegacyWideSpecifiers, stream, format, nullptr, arguments);
}

int __cdecl fprintf(FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = vfprintf(stream, format, arguments);
    va_end(arguments);
    return result;
}

int __cdecl vprintf(const char* format, va_list arguments) {
    return vfprintf(stdout, format, arguments);
}

int __cdecl printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = vfprintf(stdout, format, arguments);
    va_end(arguments);
    return result;
}

int __cdecl vsnprintf(char* buffer, size_t count, const char* format, va_list arguments) {
    const int result = __stdio_common_vsprintf(kLegacyWideSpecifiers | kStandardSnprintf, buffer,
                                               count, format, nullptr, arguments);
    return result < 0 ? -1 : result;
}

int __cdecl snprintf(char* buffer, size_t count, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = vsnprintf(buffer, count, format, arguments);
    va_end(arguments);
    return result;
}

int __cdecl vsprintf(char* buffer, const char* format, va_list arguments) {
    return vsnprintf(buffer, static_cast<size_t>(-1), format, arguments);
}

int __cdecl sprintf(char* buffer, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = vsprintf(buffer, format, arguments);
    va_end(arguments);
    return result;
}

int __cdecl vsscanf(const char* input, const char* format, va_list arguments) {
    return __stdio_common_vsscanf(0, input, static_cast<size_t>(-1), format, nullptr, arguments);
}

int __cdecl sscanf(const char* input, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = vsscanf(input, format, arguments);
    va_end(arguments);
    return result;
}
}
