// Message dispatch by four-character codes. Every class derived from XGDispatch
// exposes one static dispatch map: a link to its base class's map, an optional
// catch-all handler that sees every message first, and entries (code, handler)
// ended by kXGDispatchEnd. Send walks the maps of the object, then (with passUp)
// those of its next target, up to the application.
#pragma once

#include <cstdint>

#include "framework/XGCode.h"

class XGDispatch;

// Parameters are pointer-sized so that a message can carry an object on a 64-bit host.
using XGParam = intptr_t;
using XGHandler = int32_t (XGDispatch::*)(XGCode code, XGParam p1, XGParam p2);

constexpr XGCode kXGDispatchEnd = 0xFFFFFFFF;
constexpr int32_t kXGNotHandled = -1;

struct XGDispatchEntry {
    XGCode code;
    XGHandler handler;
};

struct XGDispatchMap {
    const XGDispatchMap* base;
    XGHandler catchAll;
    const XGDispatchEntry* entries;
};

class XGDispatch {
public:
    XGDispatch() = default;
    XGDispatch(const XGDispatch&) = delete;
    XGDispatch& operator=(const XGDispatch&) = delete;
    virtual ~XGDispatch() = default;

    static const XGDispatchMap sDispatchMap;
    virtual const XGDispatchMap* GetDispatchMap() const { return &sDispatchMap; }

    XGDispatch* GetNextTarget() const { return fNextTarget; }
    void SetNextTarget(XGDispatch* next) { fNextTarget = next; }

    // Returns the first handler result other than -1, or -1 when nobody handled it.
    int32_t Send(XGCode code, XGParam p1 = 0, XGParam p2 = 0, bool passUp = false);

private:
    XGDispatch* fNextTarget = nullptr;
};

// In the class body.
#define XG_DECLARE_DISPATCH()                                                      \
public:                                                                            \
    static const XGDispatchMap sDispatchMap;                                       \
    const XGDispatchMap* GetDispatchMap() const override { return &sDispatchMap; } \
                                                                                   \
private:                                                                           \
    static const XGDispatchEntry sDispatchEntries[];

// In the source file:
//   XG_BEGIN_DISPATCH(TMyForm, XGForm)
//       XG_ON("cclk"_4cc, &TMyForm::DoClick)
//   XG_END_DISPATCH()
#define XG_BEGIN_DISPATCH_ALL(cls, base, catchAll)                                                      \
    const XGDispatchMap cls::sDispatchMap = {&base::sDispatchMap, static_cast<XGHandler>(catchAll), \
                                             cls::sDispatchEntries};                                \
    const XGDispatchEntry cls::sDispatchEntries[] = {
#define XG_BEGIN_DISPATCH(cls, base) XG_BEGIN_DISPATCH_ALL(cls, base, nullptr)
#define XG_ON(code, handler) {code, static_cast<XGHandler>(handler)},
#define XG_END_DISPATCH() \
    {kXGDispatchEnd, nullptr} \
    }                         \
    ;
