#pragma once
// Interface identifiers of the Windows Runtime, computed at compile time.
//
// A parameterised interface (IVector<T>, TypedEventHandler<S, A>, IAsyncOperation<T>, ...) has no
// IID of its own in any header: the runtime derives it from the instance's type signature, a
// name-based UUID of version 5 over SHA-1 of the signature's UTF-8 bytes, in the namespace
// 11f47ad5-7b73-42c0-abae-878b1e16adee. The signature is composed with the helpers below, e.g.
//
//   constexpr Guid kHandler = ParameterizedIid(PInterface(
//       kTypedEventHandler, RuntimeClass("Windows.UI.Input.RadialControllerMenuItem",
//                                        kIRadialControllerMenuItem),
//       kObject));
//
// Portable C++: no Windows header, so the same computation runs in the Linux tests.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace Quarn::WinRT::winrt {

// A GUID in its four fields, as the platform's GUID lays them out.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

// SHA-1 (FIPS 180-4), usable in constant expressions.
class Sha1 {
public:
    using Digest = std::array<std::uint8_t, 20>;

    constexpr void Update(std::span<const std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes) {
            AddByte(byte);
        }
    }
    constexpr void Update(std::string_view text) {
        for (const char c : text) {
            AddByte(static_cast<std::uint8_t>(c));
        }
    }

    // Pads the message and returns the digest; the hasher is spent afterwards.
    constexpr Digest Finish() {
        const std::uint64_t bitLength = m_length * 8;
        AddByte(0x80);
        while (m_used != 56) {
            AddByte(0);
        }
        for (int shift = 56; shift >= 0; shift -= 8) {
            AddByte(static_cast<std::uint8_t>(bitLength >> shift));
        }
        Digest digest{};
        for (std::size_t i = 0; i < 5; ++i) {
            for (std::size_t j = 0; j < 4; ++j) {
                digest[i * 4 + j] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * j));
            }
        }
        return digest;
    }

private:
    static constexpr std::uint32_t Rotl(std::uint32_t value, int bits) {
        return (value << bits) | (value >> (32 - bits));
    }

    constexpr void AddByte(std::uint8_t byte) {
        m_block[m_used++] = byte;
        ++m_length;
        if (m_used == 64) {
            Compress();
            m_used = 0;
        }
    }

    constexpr void Compress() {
        std::array<std::uint32_t, 80> w{};
        for (std::size_t i = 0; i < 16; ++i) {
            w[i] = (std::uint32_t{m_block[i * 4]} << 24) |
                   (std::uint32_t{m_block[i * 4 + 1]} << 16) |
                   (std::uint32_t{m_block[i * 4 + 2]} << 8) | std::uint32_t{m_block[i * 4 + 3]};
        }
        for (std::size_t i = 16; i < 80; ++i) {
            w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        }
        std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3],
                      e = m_state[4];
        for (std::size_t i = 0; i < 80; ++i) {
            std::uint32_t f = 0;
            std::uint32_t k = 0;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            const std::uint32_t next = Rotl(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = Rotl(b, 30);
            b = a;
            a = next;
        }
        m_state[0] += a;
        m_state[1] += b;
        m_state[2] += c;
        m_state[3] += d;
        m_state[4] += e;
    }

    std::array<std::uint32_t, 5> m_state{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476,
                                         0xC3D2E1F0};
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_used = 0;
    std::uint64_t m_length = 0;
};

// A string of fixed capacity that constant expressions can build and concatenate; signatures
// are made of these. N counts the characters, without a terminator.
template <std::size_t N>
struct FixedString {
    std::array<char, N> chars{};

    constexpr FixedString() = default;
    // From a string literal: FixedString("string").
    constexpr FixedString(const char (&text)[N + 1]) {
        for (std::size_t i = 0; i < N; ++i) {
            chars[i] = text[i];
        }
    }
    constexpr std::string_view View() const { return {chars.data(), N}; }
};
template <std::size_t M>
FixedString(const char (&)[M]) -> FixedString<M - 1>;

template <std::size_t A, std::size_t B>
constexpr FixedString<A + B> operator+(const FixedString<A>& a, const FixedString<B>& b) {
    FixedString<A + B> joined;
    for (std::size_t i = 0; i < A; ++i) {
        joined.chars[i] = a.chars[i];
    }
    for (std::size_t i = 0; i < B; ++i) {
        joined.chars[A + i] = b.chars[i];
    }
    return joined;
}

namespace detail {

constexpr std::uint8_t HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    throw "not a hexadecimal digit";  // a compile error: only constant text is parsed
}

constexpr char HexDigit(unsigned value) {
    return "0123456789abcdef"[value & 0xF];
}

}  // namespace detail

// Parses "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (no braces) at compile time; malformed text
// does not compile.
consteval Guid ParseGuid(std::string_view text) {
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-') {
        throw "a GUID is written as 8-4-4-4-12 hexadecimal digits";
    }
    const auto hex = [&](std::size_t from, std::size_t count) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value = value * 16 + detail::HexValue(text[from + i]);
        }
        return value;
    };
    Guid guid;
    guid.data1 = hex(0, 8);
    guid.data2 = static_cast<std::uint16_t>(hex(9, 4));
    guid.data3 = static_cast<std::uint16_t>(hex(14, 4));
    guid.data4[0] = static_cast<std::uint8_t>(hex(19, 2));
    guid.data4[1] = static_cast<std::uint8_t>(hex(21, 2));
    for (std::size_t i = 0; i < 6; ++i) {
        guid.data4[2 + i] = static_cast<std::uint8_t>(hex(24 + 2 * i, 2));
    }
    return guid;
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in lower case, as signatures write a GUID.
constexpr FixedString<38> GuidSignature(const Guid& guid) {
    FixedString<38> text;
    std::size_t at = 0;
    const auto put = [&](std::uint32_t value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
            text.chars[at++] = detail::HexDigit(value >> shift);
        }
    };
    text.chars[at++] = '{';
    put(guid.data1, 8);
    text.chars[at++] = '-';
    put(guid.data2, 4);
    text.chars[at++] = '-';
    put(guid.data3, 4);
    text.chars[at++] = '-';
    put(guid.data4[0], 2);
    put(guid.data4[1], 2);
    text.chars[at++] = '-';
    for (std::size_t i = 2; i < 8; ++i) {
        put(guid.data4[i], 2);
    }
    text.chars[at++] = '}';
    return text;
}

// The signatures of the fundamental types that the interfaces here are parameterised with.
inline constexpr FixedString kString{"string"};
inline constexpr FixedString kObject{"cinterface(IInspectable)"};

// An interface or a delegate type that is not parameterised: its IID.
constexpr FixedString<38> Interface(const Guid& iid) {
    return GuidSignature(iid);
}
constexpr FixedString<48> Delegate(const Guid& iid) {
    return FixedString{"delegate("} + GuidSignature(iid) + FixedString{")"};
}
// A runtime class: its full name and its default interface.
template <std::size_t N>
constexpr auto RuntimeClass(const char (&name)[N], const Guid& defaultInterface) {
    return FixedString{"rc("} + FixedString<N - 1>(name) + FixedString{";"} +
           GuidSignature(defaultInterface) + FixedString{")"};
}
// An enumeration: its full name, "i4" for a plain one, "u4" for a flags one.
template <std::size_t N>
constexpr auto Enum(const char (&name)[N], bool flags = false) {
    return FixedString{"enum("} + FixedString<N - 1>(name) +
           (flags ? FixedString{";u4)"} : FixedString{";i4)"});
}

// An instance of a parameterised type: the generic type's IID, then each argument's signature.
template <std::size_t... N>
constexpr auto PInterface(const Guid& generic, const FixedString<N>&... arguments) {
    return FixedString{"pinterface("} + GuidSignature(generic) +
           ((FixedString{";"} + arguments) + ...) + FixedString{")"};
}

// The namespace of the runtime's name-based IIDs.
inline constexpr Guid kParameterizedNamespace = ParseGuid("11f47ad5-7b73-42c0-abae-878b1e16adee");

// The IID of the parameterised instance with the given signature.
constexpr Guid ParameterizedIid(std::string_view signature) {
    Sha1 sha;
    // The namespace in network byte order, then the signature's bytes.
    const Guid& ns = kParameterizedNamespace;
    const std::array<std::uint8_t, 16> nsBytes{static_cast<std::uint8_t>(ns.data1 >> 24),
                                               static_cast<std::uint8_t>(ns.data1 >> 16),
                                               static_cast<std::uint8_t>(ns.data1 >> 8),
                                               static_cast<std::uint8_t>(ns.data1),
                                               static_cast<std::uint8_t>(ns.data2 >> 8),
                                               static_cast<std::uint8_t>(ns.data2),
                                               static_cast<std::uint8_t>(ns.data3 >> 8),
                                               static_cast<std::uint8_t>(ns.data3),
                                               ns.data4[0],
                                               ns.data4[1],
                                               ns.data4[2],
                                               ns.data4[3],
                                               ns.data4[4],
                                               ns.data4[5],
                                               ns.data4[6],
                                               ns.data4[7]};
    sha.Update(nsBytes);
    sha.Update(signature);
    const Sha1::Digest hash = sha.Finish();

    Guid guid;
    guid.data1 = (std::uint32_t{hash[0]} << 24) | (std::uint32_t{hash[1]} << 16) |
                 (std::uint32_t{hash[2]} << 8) | std::uint32_t{hash[3]};
    guid.data2 = static_cast<std::uint16_t>((hash[4] << 8) | hash[5]);
    // Version 5 in the top four bits of the third field, the RFC 4122 variant in the fourth.
    guid.data3 = static_cast<std::uint16_t>((((hash[6] << 8) | hash[7]) & 0x0FFF) | 0x5000);
    for (std::size_t i = 0; i < 8; ++i) {
        guid.data4[i] = hash[8 + i];
    }
    guid.data4[0] = static_cast<std::uint8_t>((guid.data4[0] & 0x3F) | 0x80);
    return guid;
}
template <std::size_t N>
constexpr Guid ParameterizedIid(const FixedString<N>& signature) {
    return ParameterizedIid(signature.View());
}

// The generic types whose instances the wheel and storage code use.
inline constexpr Guid kIIterable = ParseGuid("faa585ea-6214-4217-afda-7f46de5869b3");
inline constexpr Guid kIIterator = ParseGuid("6a79e863-4300-459a-9966-cbb660963ee1");
inline constexpr Guid kIVector = ParseGuid("913337e9-11a1-4345-a3a2-4e7f956e222d");
inline constexpr Guid kIVectorView = ParseGuid("bbe1fa4c-b0e3-4583-baef-1f1b2e483e56");
inline constexpr Guid kTypedEventHandler = ParseGuid("9de1c534-6ae1-11e0-84e1-18a905bcc53f");
inline constexpr Guid kIAsyncOperation = ParseGuid("9fc2b0bb-e446-44e2-aa61-9cab8f636af2");
inline constexpr Guid kAsyncOperationCompletedHandler =
    ParseGuid("fcdcf02c-e5d8-4478-915a-4d90b74b83a5");

}  // namespace Quarn::WinRT::winrt
