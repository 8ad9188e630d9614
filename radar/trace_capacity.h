#pragma once
// The samples one trace of the radar link holds at most: the last decoded trace of a
// radar, a trace an online stage works on and a record of the online store all have
// this length, so a trace passes from one to the next whole.

inline constexpr int LastArrayLength = 1026;
