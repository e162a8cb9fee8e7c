#pragma once
// COM interfaces and the classes that implement them are released, never deleted through an
// interface pointer, so they have no virtual destructor. GCC and clang warn about that
// (-Wnon-virtual-dtor) at every such class, MinGW-w64's own interfaces included; Microsoft's
// compiler does not, and has no such pragma. Declarations of COM classes go between these two.
#if defined(__GNUC__)
#define QUARN_BEGIN_COM_CLASSES \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wnon-virtual-dtor\"")
#define QUARN_END_COM_CLASSES _Pragma("GCC diagnostic pop")
#else
#define QUARN_BEGIN_COM_CLASSES
#define QUARN_END_COM_CLASSES
#endif
