// Whether two coordinates make a point of the P-256 curve, by plain arithmetic: a key whose
// point is off the curve is refused when it is read, the same way on every system, rather
// than later in whatever way the system's cryptography fails on it.
#pragma once

#include "manifest/key_formats.h"

namespace torvexupdate {

// True when x and y (big-endian) are below the curve's prime and y² = x³ − 3x + b.
bool OnP256Curve(const Bytes32& x, const Bytes32& y);

}  // namespace torvexupdate
