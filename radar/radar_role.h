#pragma once
// The role of a radar in a set of radars, as the unit reports it in the reply to the
// mode query: alone, the master that triggers the set, or a slave the master
// triggers. The unit sends a byte; a value beyond slave is kept as it came and counts
// as an unknown role.

#include <cstdint>

enum class TRadarRole : uint8_t { single = 0, master = 1, slave = 2 };
