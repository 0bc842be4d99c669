// An indexed list of strings, each with optional extra data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class XGStringList {
public:
    int32_t GetCount() const { return (int32_t)fItems.size(); }
    void Append(std::string text);
    void Append(std::string text, intptr_t extra);
    void Insert(int32_t index, std::string text);
    void Remove(int32_t index);
    void RemoveAll() { fItems.clear(); }

    // Out of range: error 128/2. Extra data never stored: error 128/3.
    const std::string& Get(int32_t index) const;
    void Set(int32_t index, std::string text);
    intptr_t GetExtra(int32_t index) const;
    void SetExtra(int32_t index, intptr_t extra);
    int32_t Find(const std::string& text) const;

private:
    struct Item {
        std::string text;
        intptr_t extra = 0;
        bool hasExtra = false;
    };
    void Check(int32_t index) const;
    std::vector<Item> fItems;
};
