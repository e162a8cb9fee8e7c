// The linker's sign that a module uses floating point; the runtime reads nothing else of it.
extern "C" int _fltused = 0x9875;
