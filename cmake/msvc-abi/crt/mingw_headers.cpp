// What MinGW-w64's headers ask of a module that MinGW-w64's own runtime would define. Its
// <locale.h> references __mingw_initcharmax when char is unsigned (/J, as GoogleTest builds), to
// pull in a constructor that tells msvcrt.dll so; the Universal C Runtime has no such switch.
extern "C" int __mingw_initcharmax = 0;
