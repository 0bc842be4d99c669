// Random ranges as stored: the lower bound as it is, the upper bound as a delta (0 when
// the bounds are equal, else upper - lower + 1). Upper bounds below the lower bound are
// limited to it; deltas beyond what the stored width holds are limited to its largest.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>

// Any width: the delta limited to 0..max_delta, the upper bound to lo..hi.
inline int64_t range_encode(int64_t lower, int64_t upper, int64_t max_delta)
{
    int64_t span = upper - lower;
    return span <= 0 ? 0 : std::min(span + 1, max_delta);
}

inline int64_t range_decode(int64_t lower, int64_t delta, int64_t lo, int64_t hi)
{
    return delta == 0 ? lower : std::clamp(lower + delta - 1, lo, hi);
}

template <class T>
T range_encode(T lower, T upper)
{
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4);
    return T(range_encode(int64_t(lower), int64_t(upper), int64_t(std::numeric_limits<T>::max())));
}

template <class T>
T range_decode(T lower, T delta)
{
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4);
    return T(range_decode(int64_t(lower), int64_t(delta), int64_t(std::numeric_limits<T>::min()),
                          int64_t(std::numeric_limits<T>::max())));
}

inline float range_encode(float lower, float upper)
{
    return upper > lower ? upper - lower + 1.0f : 0.0f;
}

inline float range_decode(float lower, float delta)
{
    return delta == 0.0f ? lower : lower + delta - 1.0f;
}
