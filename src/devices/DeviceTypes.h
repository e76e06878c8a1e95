#pragma once
// Registration of the device library's streamable classes with the class
// registry. Call after RegisterFrameworkTypes(), before any device object is
// made or read.

namespace vela {

// Idempotent.
void RegisterDeviceTypes();

}  // namespace vela
