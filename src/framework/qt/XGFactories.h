// The view and window factories: registries of (class code, constructor) and the
// builders that make views and windows from view resources.
#pragma once

#include <cstdint>

#include "framework/XGCode.h"
#include "framework/XGViewRecord.h"

class XGView;
class XGWindow;

using XGViewConstructor = XGView* (*)(XGView* parent, const XGViewRecord& record);
using XGWindowConstructor = XGWindow* (*)(const XGViewRecord& record);

template <class T>
XGView* XGMakeView(XGView* parent, const XGViewRecord& record)
{
    return new T(parent, record);
}
template <class T>
XGWindow* XGMakeWindow(const XGViewRecord& record)
{
    return new T(record);
}

// A code already registered gets the new constructor; a new code is appended.
void XGRegisterView(XGCode code, XGViewConstructor constructor);
void XGRegisterWindow(XGCode code, XGWindowConstructor constructor);
XGViewConstructor XGFindView(XGCode code);
XGWindowConstructor XGFindWindow(XGCode code);
int XGViewClassCount();

// The framework's own classes: text, edit, popm, pbtn, scrv, list, grou, radb, chkb,
// slid, opgl, icon; windows wind and dlog.
void XGRegisterFrameworkClasses();

// The view tree of resource 'VRes' number resource inside parent. An unknown class
// code raises 128/12; a missing or unreadable resource a framework assertion.
XGView* XGBuildView(int32_t resource, XGView* parent);
XGView* XGBuildView(const XGViewRecord& record, XGView* parent);
// The window of a resource with its views; an unknown window class raises 128/8.
XGWindow* XGBuildWindow(int32_t resource);
XGWindow* XGBuildWindow(const XGViewRecord& record);

// The decoded record of a view resource (framework assertions when it is missing or unreadable).
XGViewRecord XGLoadViewResource(int32_t resource);
