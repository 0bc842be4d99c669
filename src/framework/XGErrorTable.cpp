#include "framework/XGErrorTable.h"

#include "framework/XGCode.h"

namespace {

const std::vector<XGErrorText>& FrameworkTable()
{
    static const std::vector<XGErrorText> table = {
        {"Out of memory", "There is insufficient memory in the heap in order to complete this operation."},
        {"Assertion Failure", "Internal software error (#1S) at #2S #3L"},
        {"String list overflow", "Internal software error: string index out of range"},
        {"String list error", "Internal software error: no extra data was stored with string"},
        {"Unable to get preferences",
         "Internal software error: There was a problem getting the registry key for this application."},
        {"Unable to create thread", "There are insufficient resources to create a new thread."},
        {"Unable to create thread.",
         "Internal software error: Threads are not supported by this build of the ZEPF libraries."},
        {"Random exception caught",
         "Internal software error: a random exception was unexpectedly caught by ZEPF."},
        {"Unable to create window", "Internal software error: The window factory for '#1I' was not found."},
        {"Window not built",
         "Internal software error: the window was not built for this single window application."},
        {"Window already built",
         "Internal software error: a window has already been built for this single window application."},
        {"Application Core Error",
         "Internal software error: the ZEPF application core object has not been built."},
        {"Unable to create view", "Internal software error: the view factory for '#1I' was not found."},
        {"Print Error", "An internal error occured while printing. Operation aborted."},
        {"Unable to initialize printer",
         "Unable to initialize the printer. Perhaps a printer has not been selected?"},
        {"File Open Error", "Unable to open file #1S"},
        {"File Create Error", "Unable to create file #1S"},
        {"File Read Error", "Unable to read data from file #1S"},
        {"File Write Error", "Unable to write data to file #1S"},
        {"Set File Position Error", "Unable to adjust #1S file position"},
        {"Set End Of File Error", "Unable to truncate file #1S"},
        {"File Does Not Exist", "The file #1S does not exist."},
        {"Overwrite File?", "The file #1S already exists. Do you wish to replace it?"},
    };
    return table;
}

void AppendPString(XGResourceData& out, const std::string& s)
{
    size_t n = s.size() > 255 ? 255 : s.size();
    out.push_back((uint8_t)n);
    out.insert(out.end(), s.begin(), s.begin() + n);
}

bool ReadPString(const XGResourceData& data, size_t& pos, std::string& out)
{
    if (pos >= data.size()) return false;
    size_t n = data[pos++];
    if (n > data.size() - pos) return false;
    out.assign((const char*)data.data() + pos, n);
    pos += n;
    return true;
}

} // namespace

XGResourceData XGBuildErrorTable(const std::vector<XGErrorText>& entries)
{
    XGResourceData out;
    out.push_back((uint8_t)(entries.size() >> 8));
    out.push_back((uint8_t)entries.size());
    for (const auto& e : entries) {
        AppendPString(out, e.title);
        AppendPString(out, e.message);
    }
    return out;
}

std::vector<XGErrorText> XGParseErrorTable(const XGResourceData& data)
{
    std::vector<XGErrorText> entries;
    if (data.size() < 2) return entries;
    int count = (data[0] << 8) | data[1];
    size_t pos = 2;
    for (int i = 0; i < count; ++i) {
        XGErrorText e;
        if (!ReadPString(data, pos, e.title) || !ReadPString(data, pos, e.message)) break;
        entries.push_back(std::move(e));
    }
    return entries;
}

bool XGLookupErrorText(uint32_t code, XGErrorText& out)
{
    const XGResourceData* data = XGGetResource("EMSG"_4cc, int32_t(code >> 16));
    if (!data) return false;
    // tables are small and errors rare: parse on demand
    std::vector<XGErrorText> entries = XGParseErrorTable(*data);
    uint32_t index = code & 0xFFFF;
    if (index >= entries.size()) return false;
    out = entries[index];
    return true;
}

void XGRegisterFrameworkErrorTable()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    XGAddResource("EMSG"_4cc, 128, XGBuildErrorTable(FrameworkTable()));
}
