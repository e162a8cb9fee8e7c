#include "bindings/kernel/path.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(PathTraitsDosTest, OneBackslashBetweenComponents) {
    struct Case {
        std::string_view path;
        std::string_view component;
        std::string_view expected;
    };
    const Case cases[] = {
        {"C:\\App\\Resources", "Dial", "C:\\App\\Resources\\Dial"},
        {"C:\\App\\", "Dial", "C:\\App\\Dial"},
        {"C:\\App", "\\Dial", "C:\\App\\Dial"},
        {"C:\\App\\", "\\Dial", "C:\\App\\Dial"},
        {"C:\\App\\\\", "\\\\Dial", "C:\\App\\Dial"},
        {"C:/App/", "/Dial", "C:/App\\Dial"},
        {"C:\\", "Dial", "C:\\Dial"},
        {"C:\\App", "Dial\\", "C:\\App\\Dial\\"},
        {"", "Dial", "Dial"},
        {"", "\\Dial", "\\Dial"},
        {"C:\\App", "", "C:\\App"},
        {"", "", ""},
        {"C:\\App", "\\", "C:\\App\\"},
        {"C:\\App\\", "\\", "C:\\App\\"},
        {"\\", "Dial", "\\Dial"},
        {"\\\\", "server", "\\\\server"},  // a path of separators only keeps them
    };
    for (const Case& c : cases) {
        Kernel::String8 path{c.path};
        Kernel::PathTraitsDos::Append(path, c.component);
        EXPECT_EQ(std::string(path.GetView()), c.expected)
            << '"' << c.path << "\" + \"" << c.component << '"';
    }
}

TEST(PathTraitsDosTest, ChainedAppendsBuildAResourcePath) {
    Kernel::PathDos path(Kernel::String8("C:\\App\\Resources"));
    path.Append("Dial").Append("brush_size.png");
    EXPECT_EQ(path.ToString(), "C:\\App\\Resources\\Dial\\brush_size.png");
}

}  // namespace
