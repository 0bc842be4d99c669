// quenchold [--data DIR] [--no-splash] [ROOTLIST]: the editor. The data folder is the
// folder that holds the program unless --data names another (an installed program,
// whose folder holds no data, takes the current folder), and it becomes the current
// folder; a root list runs the foundation build and quits without a window. Resource
// files installed beside the program (../share/quenchold/resources) are read over the
// built-in ones.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "framework/ProgramAssert.h"
#include "framework/XGDirectory.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "framework/qt/XGStartup.h"
#include "shell/TTolvaneApp.h"

namespace {

bool gHeadless = false;

void ShowAssertion(const ProgramAssertion& a)
{
    std::fputs(a.message.c_str(), stderr);
    if (!gHeadless && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QStringLiteral("Assertion Failure"), QString::fromStdString(a.message));
    std::_Exit(1);
}

std::string ProgramFolder(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    return self.parent_path().string();
}

// Whether the folder holds any of the data subfolders.
bool HoldsData(const std::string& folder)
{
    for (const char* sub : {"tags", "local", "plugins"})
        if (XGFile::IsDirectory(folder + "/" + sub)) return true;
    return false;
}

void Usage(FILE* out)
{
    std::fprintf(out, "usage: quenchold [--data DIR] [--no-splash] [ROOTLIST]\n");
}

} // namespace

int main(int argc, char** argv)
{
    SetProgramAssertHandler(ShowAssertion);
    std::string program = ProgramFolder(argv[0]);
    std::string data = HoldsData(program) ? program : std::string(".");
    XGStartupOptions options;
    std::string resources = program + "/../share/quenchold/resources";
    if (XGFile::IsDirectory(resources)) options.resources = XGNormalPath(resources);
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (arg == "--no-splash") {
            options.splash = false;
        } else if (arg == "--help") {
            Usage(stdout);
            return 0;
        } else if (arg.rfind("--", 0) == 0 || !options.documents.empty()) {
            std::fprintf(stderr, "quenchold: unexpected argument %s\n", arg.c_str());
            Usage(stderr);
            return 2;
        } else {
            options.documents.push_back(arg);
        }
    }
    if (!XGFile::IsDirectory(data)) {
        std::fprintf(stderr, "quenchold: the data folder %s does not exist\n", data.c_str());
        return 2;
    }
    // the data folder is the current folder too: scripts name their files from there
    data = XGNormalPath(data);
    for (std::string& document : options.documents) document = XGNormalPath(document);
    XGDirectory(data).MakeCurrent();
    if (!options.documents.empty()) {
        // a batch run: no window, so no display is needed
        gHeadless = true;
        options.headless = true;
        options.splash = false;
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // the frame's state is kept under ~/.config/Quenchold
    QCoreApplication::setOrganizationName(QStringLiteral("Quenchold"));
    QCoreApplication::setApplicationName(QStringLiteral("Quenchold"));
    int qtArgc = 1;
    try {
        return XGStartup(qtArgc, argv, [&] { return new TTolvaneApp(data); }, options);
    } catch (const std::exception& e) {
        // what no handler took
        std::string text = std::string("Unhandled exception: ") + e.what() + "\n";
        std::fputs(text.c_str(), stderr);
        if (!gHeadless && qobject_cast<QApplication*>(QCoreApplication::instance()))
            QMessageBox::critical(nullptr, QStringLiteral("Unhandled Exception"), QString::fromStdString(text));
        return 1;
    }
}
