// MinGW-w64's stdio.h, plus the multibyte state type that the Universal C Runtime's stdio.h
// brings in and the standard library's <cstdio> names.
#pragma once
#include_next <stdio.h>
#include <wchar.h>
