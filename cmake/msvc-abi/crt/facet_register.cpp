// std::_Facet_Register: the standard library hands it each locale facet it creates for the
// program's lifetime, and the module deletes them when it ends (Microsoft's msvcprt.lib keeps
// this beside its imports). Facets are registered under the library's own locale lock; the list
// is guarded here as well, since a module may create facets from several threads.
#include <windows.h>
#include <cstdlib>
#include <locale>

namespace {
struct RegisteredFacet {
    std::_Facet_base* facet;
    RegisteredFacet* next;
};

SRWLOCK g_lock = SRWLOCK_INIT;
RegisteredFacet* g_facets = nullptr;

void __cdecl DeleteRegisteredFacets() {
    AcquireSRWLockExclusive(&g_lock);
    RegisteredFacet* entry = g_facets;
    g_facets = nullptr;
    ReleaseSRWLockExclusive(&g_lock);
    while (entry != nullptr) {
        RegisteredFacet* next = entry->next;
        delete entry->facet->_Decref();
        delete entry;
        entry = next;
    }
}
}  // namespace

namespace std {
void __cdecl _Facet_Register(_Facet_base* facet) {
    auto* entry = new RegisteredFacet{facet, nullptr};
    AcquireSRWLockExclusive(&g_lock);
    const bool first = g_facets == nullptr;
    entry->next = g_facets;
    g_facets = entry;
    ReleaseSRWLockExclusive(&g_lock);
    if (first) {
        atexit(DeleteRegisteredFacets);
    }
}
}  // namespace std
