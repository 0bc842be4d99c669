#include "framework/XGArray.h"

void XGArray::AdjustCapacity(int32_t count)
{
    int32_t capacity = RoundUp(count);
    if (capacity != fAlloc) Reallocate(capacity, count < fLength ? count : fLength);
}

void XGArray::SetLength(int32_t n)
{
    XG_ASSERT(n >= 0, "XGArray");
    if (n == fLength) return;
    int32_t old = fLength;
    if (n < old) {
        Resize(old, n);
        fLength = n;
        AdjustCapacity(n);
    } else {
        AdjustCapacity(n);
        Resize(old, n);
        fLength = n;
    }
}
