#pragma once

namespace Kernel {

template <class T>
struct PointT {
    T x{};
    T y{};
    friend bool operator==(const PointT&, const PointT&) = default;
};

}  // namespace Kernel
