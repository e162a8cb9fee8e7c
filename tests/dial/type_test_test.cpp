// The cached run-time class test must answer exactly what dynamic_cast answers.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "items/type_test.h"

namespace Quarn::WinRT::detail {
namespace {

struct Base {
    virtual ~Base() = default;
    int base = 1;
};
struct Other {
    virtual ~Other() = default;
    int other = 2;
};
struct Left : virtual Base {
    int left = 3;
};
struct Right : virtual Base {
    int right = 4;
};
struct Diamond : Left, Right, Other {
    int diamond = 5;
};
struct Plain : Base, Other {};
struct Unrelated : Base {};

// One site, many dynamic types: every answer equals dynamic_cast's, hit or miss.
Other* AsOther(Base* object) {
    return CachedCast<Other, struct AsOtherSite>(object);
}
Right* AsRight(Base* object) {
    return CachedCast<Right, struct AsRightSite>(object);
}

TEST(CachedCast, AgreesWithDynamicCastAcrossInheritanceKinds) {
    Diamond diamond;
    Plain plain;
    Unrelated unrelated;
    Left left;
    Base* const objects[] = {&diamond, &plain, &unrelated, &left,      &diamond,
                             &plain,   &plain, &unrelated, &unrelated, &diamond};
    for (Base* object : objects) {
        EXPECT_EQ(AsOther(object), dynamic_cast<Other*>(object));
        EXPECT_EQ(AsRight(object), dynamic_cast<Right*>(object));
    }
    EXPECT_EQ(AsOther(nullptr), nullptr);
}

// Two named sites testing for one class keep one entry each: alternating objects between them
// never evicts the other's, and a site's entry is the one its name selects.
TEST(CachedCast, EachNamedSiteKeepsItsOwnEntry) {
    Plain plain;
    Unrelated unrelated;
    const void* plainTable;
    const void* unrelatedTable;
    std::memcpy(&plainTable, static_cast<const void*>(static_cast<Base*>(&plain)), sizeof(void*));
    std::memcpy(&unrelatedTable, static_cast<const void*>(static_cast<Base*>(&unrelated)),
                sizeof(void*));
    for (int i = 0; i < 4; ++i) {
        Other* fromPlain = CachedCast<Other, struct PlainSite>(static_cast<Base*>(&plain));
        Other* fromUnrelated =
            CachedCast<Other, struct UnrelatedSite>(static_cast<Base*>(&unrelated));
        EXPECT_EQ(fromPlain, static_cast<Other*>(&plain));
        EXPECT_EQ(fromUnrelated, nullptr);
        const TypeTestEntry& plainEntry = t_typeTestEntry<Other, struct PlainSite>;
        const TypeTestEntry& unrelatedEntry = t_typeTestEntry<Other, struct UnrelatedSite>;
        EXPECT_EQ(plainEntry.vtable, plainTable);
        EXPECT_TRUE(plainEntry.match);
        EXPECT_EQ(unrelatedEntry.vtable, unrelatedTable);
        EXPECT_FALSE(unrelatedEntry.match);
    }
    const Base* constant = &plain;
    const Other* asOther = CachedCast<Other, struct ConstSite>(constant);
    EXPECT_EQ(asOther, static_cast<const Other*>(&plain));
}

TEST(CachedCast, ThreadsTestingOneSiteAgree) {
    Diamond diamond;
    Unrelated unrelated;
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20000; ++i) {
                Base* object = (i + t) % 2 ? static_cast<Base*>(&diamond) : &unrelated;
                if (AsOther(object) != dynamic_cast<Other*>(object)) {
                    ++wrong[static_cast<std::size_t>(t)];
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace Quarn::WinRT::detail
