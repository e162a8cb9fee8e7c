// The start-up sections a Microsoft-ABI linker sorts by name within .CRT: the compiler puts a
// pointer to each dynamic initialiser in .CRT$XCU (C++), .CRT$XIU (C, returning a status) or
// .CRT$XDU (thread_local), and each module brackets them with markers of its own.
#pragma once

using QuarnInitialiser = void(__cdecl*)();
using QuarnStatusInitialiser = int(__cdecl*)();

extern "C" {
extern QuarnStatusInitialiser __xi_a[], __xi_z[];
extern QuarnInitialiser __xc_a[], __xc_z[];
extern QuarnInitialiser __xd_a[], __xd_z[];
}

// Calls each initialiser between two markers, in order; 0, or the first failing status.
int QuarnRunStatusInitialisers(QuarnStatusInitialiser* first, QuarnStatusInitialiser* last);
void QuarnRunInitialisers(QuarnInitialiser* first, QuarnInitialiser* last);

// The module's exit table: what atexit registered and static destructors, run in reverse when
// the module unloads (a DLL) or the process exits (a program).
int QuarnInitialiseExitTable();
void QuarnRunExitTable();

// The module's part of starting: the security cookie, C then C++ initialisers. False when a C
// initialiser failed.
bool QuarnInitialiseModule();
