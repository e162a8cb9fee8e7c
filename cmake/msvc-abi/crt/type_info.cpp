// What the compiler's run-time type information needs of each module: the vtable of type_info
// that every type descriptor points at, and the list of names that type_info::name undecorated,
// freed when the module ends.
#include <typeinfo>

// An SList header: 16 bytes, 16-aligned, empty when zero.
struct alignas(16) __type_info_node {
    void* _Header[2];
};
__type_info_node __type_info_root_node{};

type_info::~type_info() noexcept = default;

// The vtable every type descriptor points at. The compiler treats type_info as the runtime's and
// never lays out its vtable, so it is written here: no complete object locator before it, and
// one slot, the deleting destructor, which does nothing (type descriptors are static data that
// nothing deletes).
extern "C" void* __cdecl __quarn_type_info_deleting_destructor(type_info* self, unsigned) {
    return self;
}
__asm__(
    ".section .rdata,\"dr\"\n"
    ".p2align 3\n"
    ".quad 0\n"
    ".globl \"??_7type_info@@6B@\"\n"
    "\"??_7type_info@@6B@\":\n"
    ".quad __quarn_type_info_deleting_destructor\n"
    ".text\n");

extern "C" void __cdecl __quarn_destroy_type_names() {
    __std_type_info_destroy_list(&__type_info_root_node);
}
