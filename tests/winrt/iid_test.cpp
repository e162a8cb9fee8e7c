// The compile-time SHA-1 and the Windows Runtime's IIDs of parameterised interfaces, against
// FIPS 180 test vectors and IIDs the platform's own headers publish. Built for Linux and for
// the Windows run under Wine alike.
#include "bindings/winrt/iid.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace Quarn::WinRT::winrt {
namespace {

std::string Hex(const Sha1::Digest& digest) {
    std::string text;
    for (const std::uint8_t byte : digest) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

std::string Text(const Guid& guid) {
    return std::string(GuidSignature(guid).View());
}

Sha1::Digest Hash(std::string_view message) {
    Sha1 sha;
    sha.Update(message);
    return sha.Finish();
}

TEST(Sha1, FipsVectors) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        // 448 bits: the length no longer fits the first block, so padding takes a second one.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
         "lmnopqrsmnopqrstnopqrstu",
         "a49b2446a02c645bf419f995b67091253a04a259"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(Hash(c.message)), c.digest) << "message of " << c.message.size() << " bytes";
    }
}

TEST(Sha1, SplitUpdatesHashLikeOne) {
    // Block boundaries must not depend on how the input arrives.
    const std::string message(200, 'x');
    for (std::size_t split : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 128u, 200u}) {
        Sha1 sha;
        sha.Update(std::string_view(message).substr(0, split));
        sha.Update(std::string_view(message).substr(split));
        EXPECT_EQ(Hex(sha.Finish()), Hex(Hash(message))) << "split at " << split;
    }
}

TEST(Guid, ParsesAndPrintsInSignatureForm) {
    constexpr Guid guid = ParseGuid("FADED0B7-b84c-4894-87AA-8f25aa5f288b");
    EXPECT_EQ(guid.data1, 0xfaded0b7u);
    EXPECT_EQ(guid.data2, 0xb84cu);
    EXPECT_EQ(guid.data3, 0x4894u);
    EXPECT_EQ(guid.data4[0], 0x87u);
    EXPECT_EQ(guid.data4[7], 0x8bu);
    EXPECT_EQ(Text(guid), "{faded0b7-b84c-4894-87aa-8f25aa5f288b}");
}

// The default interfaces of the runtime classes the instances below are made of.
constexpr Guid kIStorageFile = ParseGuid("fa3f6186-4214-428c-a64c-14c9ac7315ea");
constexpr Guid kIRadialController = ParseGuid("3055d1c8-df51-43d4-b23b-0e1037467a09");
constexpr Guid kIRadialControllerMenuItem = ParseGuid("c80fc98d-ad0b-4c9c-8f2f-136a2373a6ba");
constexpr auto kStorageFile = RuntimeClass("Windows.Storage.StorageFile", kIStorageFile);
constexpr auto kRadialController =
    RuntimeClass("Windows.UI.Input.RadialController", kIRadialController);

// Computed at compile time: usable where a constant is needed.
constexpr Guid kAsyncStorageFile = ParameterizedIid(PInterface(kIAsyncOperation, kStorageFile));
static_assert(kAsyncStorageFile == ParseGuid("5e52f8ce-aced-5a42-95b4-f674dd84885e"));

TEST(ParameterizedIid, MatchesPublishedIids) {
    struct Case {
        const char* instance;
        std::string signature;
        Guid expected;
    };
    const Case cases[] = {
        {"IAsyncOperation<StorageFile>",
         std::string(PInterface(kIAsyncOperation, kStorageFile).View()),
         ParseGuid("5e52f8ce-aced-5a42-95b4-f674dd84885e")},
        {"AsyncOperationCompletedHandler<StorageFile>",
         std::string(PInterface(kAsyncOperationCompletedHandler, kStorageFile).View()),
         ParseGuid("e521c894-2c26-5946-9e61-2b5e188d01ed")},
        {"IIterable<String>", std::string(PInterface(kIIterable, kString).View()),
         ParseGuid("e2fcc7c1-3bfc-5a0b-b2b0-72e769d1cb7e")},
        {"IVector<String>", std::string(PInterface(kIVector, kString).View()),
         ParseGuid("98b9acc1-4b56-532e-ac73-03d5291cca90")},
        {"IVectorView<String>", std::string(PInterface(kIVectorView, kString).View()),
         ParseGuid("2f13c006-a03a-5f69-b090-75a43e33423e")},
        {"IAsyncOperation<Boolean>",
         std::string(PInterface(kIAsyncOperation, FixedString{"b1"}).View()),
         ParseGuid("cdb5efb3-5788-509d-9be1-71ccb8a3362a")},
        {"AsyncOperationCompletedHandler<Boolean>",
         std::string(PInterface(kAsyncOperationCompletedHandler, FixedString{"b1"}).View()),
         ParseGuid("c1d3d1a2-ae17-5a5f-b5a2-bdcc8844889a")},
        {"TypedEventHandler<RadialController, RadialControllerRotationChangedEventArgs>",
         std::string(
             PInterface(kTypedEventHandler, kRadialController,
                        RuntimeClass("Windows.UI.Input.RadialControllerRotationChangedEventArgs",
                                     ParseGuid("206aa435-e651-11e5-bf62-2c27d7404e85")))
                 .View()),
         ParseGuid("8fe73ac9-8a36-5152-815d-03310ee8bf85")},
        {"TypedEventHandler<RadialController, RadialControllerScreenContactContinuedEventArgs>",
         std::string(
             PInterface(
                 kTypedEventHandler, kRadialController,
                 RuntimeClass("Windows.UI.Input.RadialControllerScreenContactContinuedEventArgs",
                              ParseGuid("206aa437-e651-11e5-bf62-2c27d7404e85")))
                 .View()),
         ParseGuid("30579e67-fb4f-5d38-83b4-9cb610090def")},
        {"TypedEventHandler<RadialController, RadialControllerScreenContactStartedEventArgs>",
         std::string(
             PInterface(
                 kTypedEventHandler, kRadialController,
                 RuntimeClass("Windows.UI.Input.RadialControllerScreenContactStartedEventArgs",
                              ParseGuid("206aa436-e651-11e5-bf62-2c27d7404e85")))
                 .View()),
         ParseGuid("1f2d584e-3ad8-5049-b451-3a44a102fa82")},
        {"TypedEventHandler<RadialControllerMenuItem, Object>",
         std::string(PInterface(kTypedEventHandler,
                                RuntimeClass("Windows.UI.Input.RadialControllerMenuItem",
                                             kIRadialControllerMenuItem),
                                kObject)
                         .View()),
         ParseGuid("5c90d6fb-e4f8-5be2-8544-9de33f82c41a")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(ParameterizedIid(c.signature)), Text(c.expected))
            << c.instance << ": " << c.signature;
    }
}

TEST(ParameterizedIid, SignaturesAreWrittenAsTheRuntimeWritesThem) {
    // One wrong character changes the IID, so the text itself is checked once per form.
    EXPECT_EQ(
        PInterface(kIIterable, Enum("Windows.UI.Input.RadialControllerSystemMenuItemKind")).View(),
        "pinterface({faa585ea-6214-4217-afda-7f46de5869b3};"
        "enum(Windows.UI.Input.RadialControllerSystemMenuItemKind;i4))");
    EXPECT_EQ(Enum("Windows.Storage.FileAttributes", true).View(),
              "enum(Windows.Storage.FileAttributes;u4)");
    EXPECT_EQ(Delegate(ParseGuid("9de1c534-6ae1-11e0-84e1-18a905bcc53f")).View(),
              "delegate({9de1c534-6ae1-11e0-84e1-18a905bcc53f})");
    EXPECT_EQ(kStorageFile.View(),
              "rc(Windows.Storage.StorageFile;{fa3f6186-4214-428c-a64c-14c9ac7315ea})");
}

TEST(ParameterizedIid, IsVersionFiveWithTheRfcVariant) {
    for (const std::string_view signature : {"", "string", "pinterface({x};string)"}) {
        const Guid guid = ParameterizedIid(signature);
        EXPECT_EQ(guid.data3 >> 12, 5) << signature;
        EXPECT_EQ(guid.data4[0] >> 6, 2) << signature;
    }
}

}  // namespace
}  // namespace Quarn::WinRT::winrt
