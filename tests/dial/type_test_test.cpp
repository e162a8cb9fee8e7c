// The cached run-time class test must answer exactly what dynamic_cast answers.
#include <gtest/gtest.h>

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
    const Base* constant = &plain;
    EXPECT_EQ((CachedCast<Other, struct ConstSite>(constant)), static_cast<const Other*>(&plain));
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
