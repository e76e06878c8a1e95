#pragma once
// Boxes as one finds them on a real rig: varied port modes, protocols, subnets
// and universes, names, firmware versions, IP settings, some boxes waiting for
// a restart. The same seed gives the same boxes.
#include <cstdint>
#include <random>

#include "boxsim/SimBox.h"

namespace boxsim {

// The MAC of box `index`: a locally administered address whose byte 3 tells
// the kind (0x10 makes a two-port box a TYX2-10), bytes 4-5 the index.
vela::TEmac SimBoxMac(vela::TTyxKind kind, int index);

// A firmware version record for "major.minor.release.build".
vela::TFirmVer FirmVer(uint8_t major, uint8_t minor, uint8_t release, uint8_t build);

TSimBox MakeSimBox(vela::TTyxKind kind, int index, uint32_t address, std::mt19937& rng);

}  // namespace boxsim
