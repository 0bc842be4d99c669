#include "framework/qt/XGDragData.h"

#include <QMimeData>
#include <QUrl>

namespace {
const char kZepfPrefix[] = "application/x-CF_ZEPF#";
}

void XGDragData::Add(int32_t type, const void* data, size_t size)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (XGDragItem& item : fItems) {
        if (item.type == type) {
            item.bytes.insert(item.bytes.end(), bytes, bytes + size);
            return;
        }
    }
    fItems.push_back({type, std::vector<uint8_t>(bytes, bytes + size)});
}

void XGDragData::AddFile(std::string path)
{
    fFiles.push_back(std::move(path));
}

bool XGDragData::Has(int32_t type) const
{
    if (type == kXGDragFiles) return !fFiles.empty();
    return Get(type) != nullptr;
}

const std::vector<uint8_t>* XGDragData::Get(int32_t type) const
{
    for (const XGDragItem& item : fItems)
        if (item.type == type) return &item.bytes;
    return nullptr;
}

QString XGDragData::MimeType(int32_t type)
{
    switch (type) {
    case kXGDragText: return QStringLiteral("text/plain");
    case kXGDragFiles: return QStringLiteral("text/uri-list");
    case kXGDragFormat512: return QStringLiteral("application/x-zepf-format-512");
    default: return QString::fromLatin1(kZepfPrefix) + QString::number(long(type));
    }
}

QMimeData* XGDragData::ToMime() const
{
    auto* mime = new QMimeData;
    for (const XGDragItem& item : fItems) {
        QByteArray bytes(reinterpret_cast<const char*>(item.bytes.data()), qsizetype(item.bytes.size()));
        if (item.type == kXGDragText) mime->setText(QString::fromUtf8(bytes));
        else mime->setData(MimeType(item.type), bytes);
    }
    if (!fFiles.empty()) {
        QList<QUrl> urls;
        for (const std::string& f : fFiles) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(f)));
        mime->setUrls(urls);
    }
    return mime;
}

XGDragData XGDragData::FromMime(const QMimeData* mime)
{
    XGDragData data;
    if (!mime) return data;
    if (mime->hasUrls()) {
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) data.AddFile(url.toLocalFile().toStdString());
    }
    for (const QString& format : mime->formats()) {
        QByteArray bytes = mime->data(format);
        if (format == MimeType(kXGDragText)) {
            data.Add(kXGDragText, bytes.constData(), size_t(bytes.size()));
        } else if (format == MimeType(kXGDragFormat512)) {
            data.Add(kXGDragFormat512, bytes.constData(), size_t(bytes.size()));
        } else if (format.startsWith(QLatin1String(kZepfPrefix))) {
            bool ok = false;
            long type = format.mid(int(sizeof kZepfPrefix - 1)).toLong(&ok);
            if (ok && type >= INT32_MIN && type <= INT32_MAX && type != kXGDragText && type != kXGDragFiles &&
                type != kXGDragFormat512)
                data.Add(int32_t(type), bytes.constData(), size_t(bytes.size()));
        }
    }
    return data;
}
