// Reads the input as a view resource, both as text and as stored records; whatever
// is read must come back the same through the stored form.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/XGMenuResource.h"
#include "framework/XGViewRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XGViewRecord record;
    if (XGDecodeViewResource(data, size, record, nullptr)) {
        XGResourceData again = XGEncodeViewResource(record);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    }
    std::string_view text(reinterpret_cast<const char*>(data), size);
    XGViewRecord parsed;
    if (XGParseViewText(text, parsed, nullptr)) {
        XGResourceData bytes = XGEncodeViewResource(parsed);
        XGViewRecord back;
        if (!XGDecodeViewResource(bytes.data(), bytes.size(), back, nullptr) || !(back == parsed)) std::abort();
    }
    XGMenuBarResource menu;
    if (XGParseMenuText(text, menu, nullptr)) (void)menu.Accelerators();
    return 0;
}
