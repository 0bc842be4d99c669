#include "framework/qt/XGEmbeddedResources.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "framework/XGError.h"
#include "framework/XGMenuResource.h"
#include "framework/XGResources.h"
#include "framework/XGViewRecord.h"
#include "framework/qt/XGPictures.h"

namespace {

template <class F>
void ForEach(const QString& folder, const char* suffix, F f)
{
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        QString path = it.next();
        QFileInfo info(path);
        if (info.suffix() != QLatin1String(suffix)) continue;
        bool ok = false;
        int n = info.completeBaseName().toInt(&ok);
        if (!ok) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        QByteArray bytes = file.readAll();
        f(n, path.toStdString(), bytes);
    }
}

} // namespace

namespace {

void LoadResources(const QString& root)
{
    auto folder = [&](const char* name) { return root + QLatin1String(name); };
    ForEach(folder("views"), "txt", [](int n, const std::string& path, const QByteArray& bytes) {
        XGViewRecord record;
        std::string why;
        if (!XGParseViewText(std::string_view(bytes.constData(), size_t(bytes.size())), record, &why))
            throw XGError(kXGError, "View resource error", path + ", " + why);
        XGAddResource(kXGViewResourceType, n, XGEncodeViewResource(record));
    });
    ForEach(folder("menus"), "txt", [](int n, const std::string& path, const QByteArray& bytes) {
        XGMenuBarResource menu;
        std::string why;
        if (!XGParseMenuText(std::string_view(bytes.constData(), size_t(bytes.size())), menu, &why))
            throw XGError(kXGError, "Menu resource error", path + ", " + why);
        XGAddResource(kXGMenuResourceType, n, XGResourceData(bytes.begin(), bytes.end()));
    });
    ForEach(folder("pictures"), "png", [](int n, const std::string&, const QByteArray& bytes) {
        XGAddResource(kXGPictureType, n, XGResourceData(bytes.begin(), bytes.end()));
    });
    ForEach(folder("icons"), "xpm", [](int n, const std::string&, const QByteArray& bytes) {
        XGAddResource(kXGIconType, n, XGResourceData(bytes.begin(), bytes.end()));
    });
}

} // namespace

void XGLoadEmbeddedResources()
{
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    LoadResources(QStringLiteral(":/"));
}

void XGLoadResourceFolder(const std::string& folder)
{
    XGLoadEmbeddedResources();
    LoadResources(QString::fromStdString(folder) + QLatin1Char('/'));
}
