#include "framework/qt/XGPictures.h"

#include <QPixmap>
#include <map>

#include "framework/XGResources.h"

namespace {

QPixmap Load(XGCode type, int32_t n)
{
    static std::map<std::pair<XGCode, int32_t>, QPixmap> cache;
    auto key = std::make_pair(type, n);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    QPixmap pixmap;
    if (const XGResourceData* data = XGGetResource(type, n))
        pixmap.loadFromData(data->data(), uint(data->size()));
    cache[key] = pixmap;
    return pixmap;
}

} // namespace

QPixmap XGGetPicture(int32_t n)
{
    return Load(kXGPictureType, n);
}

QPixmap XGGetIcon(int32_t n)
{
    return Load(kXGIconType, n);
}
