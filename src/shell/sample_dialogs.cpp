// Dialog tags of the sample data: an interface-builder file written beside the tag
// folders, then imported into the base file as the editor's Import .CIN File does.
#include <filesystem>

#include "build/sample_data.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "shell/cin_file_writer.h"
#include "shell/ditlmaker.h"

namespace {

std::vector<uint8_t> SampleInterfaceFile()
{
    TCinWriter w;
    w.add_resource("STR#"_4cc, "Menu Strings", {0, 2, 4, 'P', 'l', 'a', 'y', 4, 'Q', 'u', 'i', 't'});
    w.add_dialog("Main Menu", "Main Menu", 0, 0, 640, 480,
                 {{"text"_4cc, 888, 220, 40, 420, 70, "Quenchold"},
                  {"pict"_4cc, 10, 120, 90, 520, 290, ""},
                  {"list"_4cc, 4000, 20, 420, 140, 460, ""},
                  {"pbtn"_4cc, 1, 270, 310, 370, 334, "Play"},
                  {"pbtn"_4cc, 2, 270, 344, 370, 368, "Options"},
                  {"pbtn"_4cc, 3, 270, 378, 370, 402, "Quit"}});
    w.add_dialog("Game Options", "Options", 120, 90, 400, 300,
                 {{"text"_4cc, 30, 20, 20, 120, 36, "Volume"},
                  {"scrb"_4cc, 20, 130, 20, 380, 36, ""},
                  {"stsb"_4cc, 21, 130, 46, 200, 62, ""},
                  {"chkb"_4cc, 10, 20, 72, 200, 88, "Show subtitles"},
                  {"chkb"_4cc, 11, 20, 96, 200, 112, "Auto-save"},
                  {"popm"_4cc, 22, 20, 122, 200, 142, ""},
                  {"edit"_4cc, 23, 20, 152, 200, 170, "Player"},
                  {"head"_4cc, 1000, 220, 72, 380, 142, ""},
                  {"stat"_4cc, 31, 20, 200, 380, 214, ""},
                  {"pbtn"_4cc, 100, 290, 260, 380, 284, "OK"},
                  {"pbtn"_4cc, 101, 190, 260, 280, 284, "Cancel"}});
    w.add_dialog("Player Lobby", "Lobby", 40, 40, 560, 400,
                 {{"text"_4cc, 1099, 20, 10, 540, 26, ""},
                  {"list"_4cc, 555, 20, 36, 260, 200, ""},
                  {"list"_4cc, 444, 280, 36, 540, 300, ""},
                  {"head"_4cc, 1042, 20, 210, 260, 300, ""},
                  {"edit"_4cc, 40, 280, 310, 540, 328, ""},
                  {"pbtn"_4cc, 100, 440, 350, 540, 374, "Start"}});
    return w.bytes();
}

} // namespace

void add_sample_dialogs(TSampleData& data)
{
    std::string folder = data.folder() + "/interface";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw XGPostError(kXGFileCreateError, {folder});
    std::string path = folder + "/sample_dialogs.CIN";
    std::vector<uint8_t> bytes = SampleInterfaceFile();
    XGFile out(path);
    out.Create();
    out.Write(bytes.data(), bytes.size());
    out.Close();

    TDialogImportReport report = make_dialog_tags(path, data.base());
    if (report.failed() || report.count(kDialogSkipped))
        throw XGError(kXGError, "Sample Data", dialog_import_summary(report));
    for (const TDialogImportItem& item : report.items) data.add_root(DIALOG_TAG, item.id);
}
