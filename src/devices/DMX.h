#pragma once
// Shared vocabulary of the DMX objects: the block's active state, the
// source kinds, the area state, the 512-level buffer and the object types.
// The classes are in DmxBlock.h, DmxArea.h and DmxSources.h.
#include <QString>
#include <array>
#include <cstdint>

#include "platform/SmallSet.h"

namespace vela {

constexpr int kDmxChannels = 512;
// The levels of one universe, channel 1 at index 0.
using TDmxOneBlock = std::array<uint8_t, kDmxChannels>;

enum TDmxActivestate : uint8_t { DMX_AllOff = 0, Dmx_Passive = 1, Dmx_Active = 2, DmxUpdated = 3 };

enum TDMXSourceKind : uint8_t { DMXS_Any = 0, DMXS_Lightboard = 1, DMXS_DmxPlayer = 2 };
// "Any", "Lightboard", "DMX Recorder"; "??" for other values.
QString SourceKindText(int Kind);

// Bit values 1 and 2 in the stored byte.
enum TDmxAreaStateBit : uint8_t { St_DmxFromVelaNet = 0, St_DmxToVelaNet = 1 };
using TDmxAreaState = TSmallSet<TDmxAreaStateBit, uint8_t>;

// Registered object types.
constexpr uint32_t kVelanetObjectType = 102;
constexpr uint32_t kDmxBlockType = 401;
constexpr uint32_t kDmxAreaType = 406;
constexpr uint32_t kAcnDevsType = 419;
constexpr uint32_t kDeviceRefType = 420;

}  // namespace vela
