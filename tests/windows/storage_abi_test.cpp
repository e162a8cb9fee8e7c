// The IIDs of the storage declarations against the published ones, parsed by the platform's own
// IIDFromString: the asynchronous operation yielding a StorageFile and its handler are computed
// from their type signatures, so a wrong signature shows here.
#include <gtest/gtest.h>

#include <objbase.h>

#include "bindings/winrt/abi.h"

namespace Quarn::WinRT::winrt {
namespace {

TEST(StorageAbi, IidsMatchThePublishedOnes) {
    using namespace abi;
    struct Case {
        const char* name;
        GUID ours;
        const wchar_t* published;
    };
    const Case cases[] = {
        {"IAsyncOperation<StorageFile>", kIid<StorageFileOperation>,
         L"{5e52f8ce-aced-5a42-95b4-f674dd84885e}"},
        {"AsyncOperationCompletedHandler<StorageFile>", kIid<StorageFileCompletedHandler>,
         L"{e521c894-2c26-5946-9e61-2b5e188d01ed}"},
        {"IAsyncInfo", kIid<IAsyncInfo>, L"{00000036-0000-0000-c000-000000000046}"},
        {"IStorageFile", kIid<IStorageFile>, L"{fa3f6186-4214-428c-a64c-14c9ac7315ea}"},
        {"IStorageFileStatics", kIid<IStorageFileStatics>,
         L"{5984c710-daf2-43c8-8bb4-a4d3eacfd03f}"},
        {"IRandomAccessStreamReferenceStatics", kIid<IRandomAccessStreamReferenceStatics>,
         L"{857309dc-3fbf-4e7d-986f-ef3b1a07a964}"},
        {"IStorageItem", kIid<IStorageItem>, L"{4207a996-ca2f-42f7-bde8-8b10457a7f30}"},
        {"IStorageFolder", kIid<IStorageFolder>, L"{72d1cb78-b3ef-4f75-a80b-6fd9dae2944b}"},
        {"IApplicationData", kIid<IApplicationData>, L"{c3da6fb7-b744-4b45-b0b8-223a0938d0dc}"},
        {"IApplicationData2", kIid<IApplicationData2>, L"{9e65cd69-0ba3-4e32-be29-b02de6607638}"},
        {"IApplicationData3", kIid<IApplicationData3>, L"{dc222cf4-2772-4c1d-aa2c-c9f743ade8d1}"},
        {"IApplicationDataStatics", kIid<IApplicationDataStatics>,
         L"{5612147b-e843-45e3-94d8-06169e3c8e17}"},
    };
    for (const Case& c : cases) {
        GUID published{};
        ASSERT_EQ(IIDFromString(c.published, &published), S_OK) << c.name;
        EXPECT_TRUE(IsEqualGUID(c.ours, published)) << c.name;
    }
}

}  // namespace
}  // namespace Quarn::WinRT::winrt
