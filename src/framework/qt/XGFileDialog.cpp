#include "framework/qt/XGFileDialog.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QStringList>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGAppMultiWindow.h"

namespace {

XGFileHook& Hook()
{
    static XGFileHook hook;
    return hook;
}

} // namespace

XGFileHook XGSetFileHook(XGFileHook hook)
{
    XGFileHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

QString XGConvertFilter(const std::string& filter)
{
    QStringList parts = QString::fromLatin1(filter.c_str()).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
            for (const QString& variant : {p, p.toLower(), p.toUpper()})
                if (!patterns.contains(variant)) patterns << variant;
        }
        out << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

std::string XGChooseFile(const XGFileRequest& request)
{
    if (Hook()) return Hook()(request);
    QWidget* parent = nullptr;
    if (auto* app = dynamic_cast<XGAppMultiWindow*>(XGAppCore::Get())) parent = app->GetFrame();
    QFileDialog dialog(parent);
    dialog.setNameFilter(XGConvertFilter(request.filter));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.proposedName.empty()) dialog.selectFile(QString::fromStdString(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string XGChooseFileToOpen(const std::string& filter, const std::string& defaultExtension)
{
    XGFileRequest request;
    request.filter = filter;
    request.defaultExtension = defaultExtension;
    return XGChooseFile(request);
}
