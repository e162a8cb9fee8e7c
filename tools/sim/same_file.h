#pragma once
// Whether two paths name one file, whether or not it exists yet: the simulator refuses to
// write its transcript or a frame over one of its own inputs.

#include <string>

namespace Quarn::WinRT::sim {

bool SameFile(const std::string& a, const std::string& b);

}  // namespace Quarn::WinRT::sim
