#pragma once
#include <QString>

namespace vela {

// The "ProductVersion" of the executable's version record: the CMake project
// version compiled in. Empty when the build carries no version.
QString ProductVersion();

}  // namespace vela
