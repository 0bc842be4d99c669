#include "framework/qt/XGFactories.h"

#include <utility>
#include <vector>

#include "framework/XGError.h"
#include "framework/qt/XGControls.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGOpenGLView.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"

namespace {

template <class C>
std::vector<std::pair<XGCode, C>>& Registry()
{
    static std::vector<std::pair<XGCode, C>> registry;
    return registry;
}

template <class C>
void Register(XGCode code, C constructor)
{
    for (auto& entry : Registry<C>()) {
        if (entry.first == code) {
            entry.second = constructor;
            return;
        }
    }
    Registry<C>().emplace_back(code, constructor);
}

template <class C>
C Find(XGCode code)
{
    for (auto& entry : Registry<C>())
        if (entry.first == code) return entry.second;
    return nullptr;
}

void BuildSubviews(const XGViewRecord& record, XGView* parent)
{
    for (const XGViewRecord& child : record.children) XGBuildView(child, parent);
}

} // namespace

void XGRegisterView(XGCode code, XGViewConstructor constructor)
{
    Register(code, constructor);
}

void XGRegisterWindow(XGCode code, XGWindowConstructor constructor)
{
    Register(code, constructor);
}

XGViewConstructor XGFindView(XGCode code)
{
    return Find<XGViewConstructor>(code);
}

XGWindowConstructor XGFindWindow(XGCode code)
{
    return Find<XGWindowConstructor>(code);
}

int XGViewClassCount()
{
    return int(Registry<XGViewConstructor>().size());
}

void XGRegisterFrameworkClasses()
{
    XGRegisterView("text"_4cc, XGMakeView<XGStaticText>);
    XGRegisterView("edit"_4cc, XGMakeView<XGEditText>);
    XGRegisterView("popm"_4cc, XGMakeView<XGPopupMenu>);
    XGRegisterView("pbtn"_4cc, XGMakeView<XGPushButton>);
    XGRegisterView("scrv"_4cc, XGMakeView<XGScrollView>);
    XGRegisterView("list"_4cc, XGMakeView<XGListControl>);
    XGRegisterView("grou"_4cc, XGMakeView<XGGroupBox>);
    XGRegisterView("radb"_4cc, XGMakeView<XGRadioButton>);
    XGRegisterView("chkb"_4cc, XGMakeView<XGCheckBox>);
    XGRegisterView("slid"_4cc, XGMakeView<XGSlider>);
    XGRegisterView("opgl"_4cc, XGMakeView<XGOpenGLView>);
    XGRegisterView("icon"_4cc, XGMakeView<XGIconView>);
    XGRegisterWindow("wind"_4cc, XGMakeWindow<XGDocumentWindow>);
    XGRegisterWindow("dlog"_4cc, XGMakeWindow<XGDialog>);
}

XGViewRecord XGLoadViewResource(int32_t resource)
{
    const XGResourceData* hsrc = XGGetResource(kXGViewResourceType, resource);
    XG_ASSERT(hsrc != NULL, "XGViewFactory");
    XGViewRecord record;
    const XGViewRecord* h = XGDecodeViewResource(hsrc->data(), hsrc->size(), record, nullptr) ? &record : nullptr;
    XG_ASSERT(h != NULL, "XGViewFactory");
    return record;
}

XGView* XGBuildView(int32_t resource, XGView* parent)
{
    return XGBuildView(XGLoadViewResource(resource), parent);
}

XGView* XGBuildView(const XGViewRecord& record, XGView* parent)
{
    XGViewConstructor constructor = XGFindView(record.classCode);
    if (!constructor) throw XGPostError(kXGUnableToCreateView, {record.classCode});
    XGView* view = constructor(parent, record);
    try {
        BuildSubviews(record, view);
    } catch (...) {
        delete view;
        throw;
    }
    return view;
}

XGWindow* XGBuildWindow(int32_t resource)
{
    return XGBuildWindow(XGLoadViewResource(resource));
}

XGWindow* XGBuildWindow(const XGViewRecord& record)
{
    XGWindowConstructor constructor = XGFindWindow(record.classCode);
    if (!constructor) throw XGPostError(kXGUnableToCreateWindow, {record.classCode});
    XGWindow* window = constructor(record);
    try {
        BuildSubviews(record, window->GetRootView());
    } catch (...) {
        delete window;
        throw;
    }
    return window;
}
