#pragma once
// How the machine turns float arguments into integer positions: shared by the functions and the
// compiled streams, which must land on exactly the same floats.

namespace particle_index {

// k is 1-based; 0 and below (and NaN) land before the first float.
inline int ZeroBased(float k)
{
    if (!(k > 0))
        return -1;
    if (k >= 65536.0f)
        return 65535;
    return static_cast<int>(k) - 1;
}

inline int Truncated(float value)
{
    if (!(value > -32768.0f))
        return -32768;
    if (value >= 32767.0f)
        return 32767;
    return static_cast<int>(value);
}

}  // namespace particle_index
