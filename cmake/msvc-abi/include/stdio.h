// MinGW-w64's stdio.h, plus what the Universal C Runtime's stdio.h has and the standard library
// uses: the multibyte state type <cstdio> names, and the access to a stream's buffer that
// <fstream> uses.
#pragma once
#include_next <stdio.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif
__declspec(dllimport) errno_t __cdecl _get_stream_buffer_pointers(FILE* _Stream, char*** _Base,
                                                                  char*** _Pointer, int** _Count);
#ifdef __cplusplus
}
#endif
