// Dragged data: items by type number, and dropped files. Type 0 is plain text, 1 a
// list of files, 2 the platform's format 512; every other type (a program's
// four-character code, say) travels under its own MIME type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QMimeData;
class QString;

constexpr int32_t kXGDragText = 0;
constexpr int32_t kXGDragFiles = 1;
constexpr int32_t kXGDragFormat512 = 2;

struct XGDragItem {
    int32_t type = 0;
    std::vector<uint8_t> bytes;
};

class XGDragData {
public:
    void Add(int32_t type, const void* data, size_t size);
    void AddFile(std::string path);

    bool Has(int32_t type) const;
    // The bytes of the item of that type (items of one type are kept together), or null.
    const std::vector<uint8_t>* Get(int32_t type) const;
    const std::vector<XGDragItem>& Items() const { return fItems; }
    const std::vector<std::string>& Files() const { return fFiles; }

    QMimeData* ToMime() const;
    static XGDragData FromMime(const QMimeData* mime);
    // "text/plain", "text/uri-list", "application/x-zepf-format-512" or "application/x-CF_ZEPF#<n>".
    static QString MimeType(int32_t type);

private:
    std::vector<XGDragItem> fItems;
    std::vector<std::string> fFiles;
};
