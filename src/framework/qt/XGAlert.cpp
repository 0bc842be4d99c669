#include "framework/qt/XGAlert.h"

#include <memory>

#include "framework/XGError.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFactories.h"

namespace {

bool gCancelled = false;

// Error, Warning and About: one OK button; the window's title and the icon are set per kind.
const char kMessageTemplate[] = R"(dlog 0 0 0 330 118 "" default=100 cancel=100
  icon 0 14 14 32 32
  text 1 60 12 256 20 "^0" bold
  text 2 60 36 256 44 "^1" wrap
  pbtn 100 240 84 76 24 "OK" default
)";

const char kCautionTemplate[] = R"(dlog 0 0 0 330 118 "Caution" default=100 cancel=101
  icon 0 14 14 32 32 kind=2
  text 1 60 12 256 20 "^0" bold
  text 2 60 36 256 44 "^1" wrap
  pbtn 101 154 84 76 24 "Cancel"
  pbtn 100 240 84 76 24 "OK" default
)";

const char kSaveWindowTemplate[] = R"(dlog 0 0 0 350 118 "Save Window?" default=100 cancel=101
  icon 0 14 14 32 32 kind=2
  text 1 60 12 276 60 "Should the contents of ^0 be saved before the window is closed?" wrap
  pbtn 102 14 84 96 24 "Don't Save"
  pbtn 101 176 84 76 24 "Cancel"
  pbtn 100 260 84 76 24 "Save" default
)";

// ^0 and ^1 in one pass, so that a title holding "^1" stays as it is.
void Fill(XGViewRecord& record, const std::string& title, const std::string& message)
{
    std::string out;
    const std::string& in = record.text;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '^' && i + 1 < in.size() && (in[i + 1] == '0' || in[i + 1] == '1')) {
            out += in[i + 1] == '0' ? title : message;
            ++i;
        } else {
            out += in[i];
        }
    }
    record.text = std::move(out);
    for (XGViewRecord& child : record.children) Fill(child, title, message);
}

XGViewRecord Parse(const char* text)
{
    XGViewRecord record;
    std::string why;
    XG_ASSERT(XGParseViewText(text, record, &why), "XGAlert");
    return record;
}

// A message alert: its window title and its icon kind.
XGViewRecord MessageRecord(const char* title, int32_t icon)
{
    XGViewRecord record = Parse(kMessageTemplate);
    record.text = title;
    for (XGViewRecord& child : record.children)
        if (child.classCode == "icon"_4cc) child.Set("kind", std::to_string(icon));
    return record;
}

int32_t Run(XGViewRecord record, const std::string& p0, const std::string& p1, const std::string& caption = {})
{
    if (!caption.empty()) record.text = caption;
    // the alert's own title stays; only the items carry the texts
    for (XGViewRecord& child : record.children) Fill(child, p0, p1);
    std::unique_ptr<XGWindow> window(XGBuildWindow(record));
    auto* dialog = dynamic_cast<XGDialog*>(window.get());
    XG_ASSERT(dialog != NULL, "XGAlert");
    return dialog->RunModal();
}

} // namespace

int32_t XGShowAlert(int32_t kind, const std::string& title, const std::string& message, const std::string& caption)
{
    XGViewRecord record = kind == kXGCaution   ? Parse(kCautionTemplate)
                          : kind == kXGWarning ? MessageRecord("Warning", 3)
                                               : MessageRecord("Error", 1);
    return Run(std::move(record), title, message, caption);
}

void XGShowErrorAlert(const XGError& error)
{
    gCancelled = false;
    int32_t answer = XGShowAlert(error.GetKind(), error.GetTitle(), error.GetMessage());
    if (error.GetKind() == kXGCaution && answer == kXGAlertCancel) gCancelled = true;
}

bool XGAlertCancelled()
{
    return gCancelled;
}

void XGShowAbout(const std::string& name, const std::string& text)
{
    Run(MessageRecord("About", 4), name, text);
}

int32_t XGAskSaveWindow(const std::string& name)
{
    return Run(Parse(kSaveWindowTemplate), name, "");
}
