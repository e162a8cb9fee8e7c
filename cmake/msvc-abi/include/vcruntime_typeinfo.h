// type_info, bad_cast and bad_typeid laid out as vcruntime140.dll and the compiler's run-time
// type information expect: a vtable pointer, then the undecorated name cache and the decorated
// name. Names, comparison and hashing are the runtime's; the vtable and the list of cached names
// belong to each module (see crt/type_info.cpp).
#pragma once
#include <vcruntime_exception.h>

#pragma pack(push, _CRT_PACKING)

extern "C" {
struct __std_type_info_data {
    char const* _UndecoratedName;
    char const _DecoratedName[1];
};

struct __type_info_node;

_VCRTIMP int __cdecl __std_type_info_compare(__std_type_info_data const* _Lhs,
                                             __std_type_info_data const* _Rhs);
_VCRTIMP size_t __cdecl __std_type_info_hash(__std_type_info_data const* _Data);
_VCRTIMP char const* __cdecl __std_type_info_name(__std_type_info_data* _Data,
                                                  __type_info_node* _RootNode);
_VCRTIMP void __cdecl __std_type_info_destroy_list(__type_info_node* _RootNode);
}

// The names that name() undecorated, freed when the module unloads.
extern __type_info_node __type_info_root_node;

#pragma warning(push)
#pragma warning(disable : 4577)
class type_info {
public:
    type_info(type_info const&) = delete;
    type_info& operator=(type_info const&) = delete;

    [[nodiscard]] size_t hash_code() const noexcept { return __std_type_info_hash(&_Data); }

    [[nodiscard]] bool operator==(type_info const& _Other) const noexcept {
        return __std_type_info_compare(&_Data, &_Other._Data) == 0;
    }

    [[nodiscard]] bool before(type_info const& _Other) const noexcept {
        return __std_type_info_compare(&_Data, &_Other._Data) < 0;
    }

    [[nodiscard]] char const* name() const noexcept {
        return __std_type_info_name(&_Data, &__type_info_root_node);
    }

    [[nodiscard]] char const* raw_name() const noexcept { return _Data._DecoratedName; }

    virtual ~type_info() noexcept;

private:
    mutable __std_type_info_data _Data;
};
#pragma warning(pop)

namespace std {

using ::type_info;

class bad_cast : public exception {
public:
    bad_cast() noexcept : exception("bad cast", 1) {}
    static bad_cast __construct_from_string_literal(char const* const _Message) noexcept {
        return bad_cast(_Message, 1);
    }

private:
    bad_cast(char const* const _Message, int) noexcept : exception(_Message, 1) {}
};

class bad_typeid : public exception {
public:
    bad_typeid() noexcept : exception("bad typeid", 1) {}
    static bad_typeid __construct_from_string_literal(char const* const _Message) noexcept {
        return bad_typeid(_Message, 1);
    }

private:
    friend class __non_rtti_object;
    bad_typeid(char const* const _Message, int) noexcept : exception(_Message, 1) {}
};

class __non_rtti_object : public bad_typeid {
public:
    static __non_rtti_object __construct_from_string_literal(char const* const _Message) noexcept {
        return __non_rtti_object(_Message, 1);
    }

private:
    __non_rtti_object(char const* const _Message, int) noexcept : bad_typeid(_Message, 1) {}
};

}  // namespace std

#pragma pack(pop)
