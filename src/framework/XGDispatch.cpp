#include "framework/XGDispatch.h"

namespace {
const XGDispatchEntry kNoEntries[] = {{kXGDispatchEnd, nullptr}};
}

const XGDispatchMap XGDispatch::sDispatchMap = {nullptr, nullptr, kNoEntries};

int32_t XGDispatch::Send(XGCode code, XGParam p1, XGParam p2, bool passUp)
{
    int32_t result = kXGNotHandled;
    for (XGDispatch* target = this; target; target = passUp ? target->fNextTarget : nullptr) {
        for (const XGDispatchMap* map = target->GetDispatchMap(); map; map = map->base) {
            if (map->catchAll) {
                result = (target->*(map->catchAll))(code, p1, p2);
                if (result != kXGNotHandled) return result;
            }
            for (const XGDispatchEntry* e = map->entries; e && e->code != kXGDispatchEnd; ++e) {
                if (e->code == code) {
                    result = (target->*(e->handler))(code, p1, p2);
                    if (result != kXGNotHandled) return result;
                    break;
                }
            }
        }
    }
    return result;
}
