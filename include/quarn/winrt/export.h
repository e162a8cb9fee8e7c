#pragma once
// Marks what the library exports: the DLL's interface on Windows, default visibility elsewhere.

#if defined(_WIN32)
#if defined(QUARN_WINRT_BUILDING)
#define QUARN_WINRT_API __declspec(dllexport)
#else
#define QUARN_WINRT_API __declspec(dllimport)
#endif
#else
#define QUARN_WINRT_API __attribute__((visibility("default")))
#endif
