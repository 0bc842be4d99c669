#include "framework/XGStringList.h"

#include "framework/XGError.h"

void XGStringList::Check(int32_t index) const
{
    if (index < 0 || index >= GetCount()) throw XGPostError(kXGStringListOverflow);
}

void XGStringList::Append(std::string text)
{
    fItems.push_back({std::move(text)});
}

void XGStringList::Append(std::string text, intptr_t extra)
{
    fItems.push_back({std::move(text), extra, true});
}

void XGStringList::Insert(int32_t index, std::string text)
{
    if (index < 0 || index > GetCount()) throw XGPostError(kXGStringListOverflow);
    fItems.insert(fItems.begin() + index, Item{std::move(text)});
}

void XGStringList::Remove(int32_t index)
{
    Check(index);
    fItems.erase(fItems.begin() + index);
}

const std::string& XGStringList::Get(int32_t index) const
{
    Check(index);
    return fItems[index].text;
}

void XGStringList::Set(int32_t index, std::string text)
{
    Check(index);
    fItems[index].text = std::move(text);
}

intptr_t XGStringList::GetExtra(int32_t index) const
{
    Check(index);
    if (!fItems[index].hasExtra) throw XGPostError(kXGStringListError);
    return fItems[index].extra;
}

void XGStringList::SetExtra(int32_t index, intptr_t extra)
{
    Check(index);
    fItems[index].extra = extra;
    fItems[index].hasExtra = true;
}

int32_t XGStringList::Find(const std::string& text) const
{
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i].text == text) return (int32_t)i;
    return -1;
}
