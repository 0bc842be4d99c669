#include "build/source_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/uio.h>

namespace {

// Whether the tag's bytes lie within its file as read.
bool InFile(const tag_entry* e)
{
    const tag_file* f = e->file;
    return f->source.IsOpen() && e->offset != 0 && uint64_t(e->offset) + e->size <= f->stamp.size;
}

} // namespace

bool TSourceFiles::Load(tag_entry* e)
{
    if (e->data || (e->size && !InFile(e))) return false;
    auto ahead = fAhead.find(e);
    if (ahead == fAhead.end()) {
        ReadAhead(e);
        ahead = fAhead.find(e);
    }
    tag_data_ptr data;
    if (ahead != fAhead.end()) {
        data = std::move(ahead->second);
        fAhead.erase(ahead);
    } else {
        data.reset(new (std::nothrow) uint8_t[e->size ? e->size : 1]);
        if (!data || !Read(e, 0, data.get(), e->size)) return false;
    }
    tag_adopt_data(e, std::move(data));
    return true;
}

const std::vector<tag_entry*>& TSourceFiles::ByOffset(const tag_file* f)
{
    auto [found, added] = fByOffset.try_emplace(f);
    if (added) {
        std::vector<tag_entry*>& order = found->second;
        for (tag_group* g = f->groups; g; g = g->next)
            for (tag_entry* e = g->entries; e; e = e->next)
                if (e->offset != 0 && e->size != 0) order.push_back(e);
        std::sort(order.begin(), order.end(), [](const tag_entry* a, const tag_entry* b) { return a->offset < b->offset; });
    }
    return found->second;
}

// Reads the tag and the tags of its type that follow it in its file with one call, each
// into a buffer of its own, as long as they follow each other without a gap.
void TSourceFiles::ReadAhead(const tag_entry* e)
{
    if (e->size == 0 || e->size > AHEAD_BYTES / 4) return;
    tag_file* f = e->file;
    const std::vector<tag_entry*>& order = ByOffset(f);
    auto at = std::lower_bound(order.begin(), order.end(), e->offset,
                               [](const tag_entry* a, uint32_t offset) { return a->offset < offset; });
    if (at == order.end() || *at != e) return;

    constexpr size_t MOST = 64;
    std::array<iovec, MOST> pieces;
    std::array<tag_data_ptr, MOST> buffers;
    std::array<const tag_entry*, MOST> tags;
    size_t count = 0, bytes = 0;
    uint64_t end = e->offset;
    for (; at != order.end() && count < MOST; ++at) {
        const tag_entry* t = *at;
        if (t->group != e->group || t->offset != end || t->data || !InFile(t) || bytes + t->size > WINDOW_SIZE) break;
        if (count > 0 && fAhead.count(t)) break;
        buffers[count].reset(new (std::nothrow) uint8_t[t->size]);
        if (!buffers[count]) break;
        pieces[count] = {buffers[count].get(), t->size};
        tags[count] = t;
        bytes += t->size;
        end += t->size;
        ++count;
    }
    if (count == 0 || f->source.GetStamp() != f->stamp) return;
    ssize_t got;
    do {
        got = ::preadv(f->source.GetDescriptor(), pieces.data(), int(count), off_t(e->offset));
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return;
    size_t left = size_t(got);
    for (size_t i = 0; i < count && left >= pieces[i].iov_len; ++i) {
        left -= pieces[i].iov_len;
        auto [slot, added] = fAhead.try_emplace(tags[i]);
        if (!added) continue;
        slot->second = std::move(buffers[i]);
        fAheadOrder.emplace_back(tags[i], uint32_t(pieces[i].iov_len));
        fAheadBytes += pieces[i].iov_len;
    }
    // the oldest go, whether a hook took them or not
    while (fAheadBytes > AHEAD_BYTES && !fAheadOrder.empty()) {
        auto [t, size] = fAheadOrder.front();
        fAheadOrder.pop_front();
        fAheadBytes -= size;
        fAhead.erase(t);
    }
}

bool TSourceFiles::Available(tag_entry* e)
{
    if (e->data || e->size == 0) return true;
    if (!InFile(e)) return false;
    const tag_file* f = e->file;
    if (std::find(fChecked.begin(), fChecked.end(), f) != fChecked.end()) return true;
    if (f->source.GetStamp() != f->stamp) return false;
    fChecked.push_back(f);
    return true;
}

bool TSourceFiles::Unchanged() const
{
    for (const tag_file* f : fChecked)
        if (f->source.GetStamp() != f->stamp) return false;
    return true;
}

// How much to read from at: up to the end of the tag's group when that lies within a
// window, since the tags of other types are written at other times.
uint32_t TSourceFiles::WindowFor(const tag_entry* e, uint64_t at, uint32_t count)
{
    const tag_entry* last = e->group->last;
    const uint64_t end = uint64_t(last->offset) + last->size;
    return end >= at + count && end - at < WINDOW_SIZE ? uint32_t(end - at) : WINDOW_SIZE;
}

bool TSourceFiles::Read(tag_entry* e, uint32_t offset, void* out, uint32_t count)
{
    if (uint64_t(offset) + count > e->size) return false;
    if (count == 0) return true;
    if (e->data) {
        std::memcpy(out, e->data.get() + offset, count);
        return true;
    }
    if (count > WINDOW_SIZE / 4 || e->offset == 0) return tag_read_stored_data(e, offset, out, count);
    const uint64_t at = uint64_t(e->offset) + offset;
    window* w = nullptr;
    for (window& candidate : fWindows)
        if (candidate.file == e->file && at >= candidate.start && at + count <= candidate.start + candidate.size) {
            w = &candidate;
            break;
        }
    if (!w) {
        w = &*std::min_element(fWindows.begin(), fWindows.end(),
                               [](const window& a, const window& b) { return a.used < b.used; });
        if (!w->bytes) w->bytes.reset(new (std::nothrow) uint8_t[WINDOW_SIZE]);
        if (!w->bytes) return tag_read_stored_data(e, offset, out, count);
        w->file = nullptr;
        w->start = at;
        w->size = tag_file_read_stored(e->file, at, w->bytes.get(), WindowFor(e, at, count));
        if (w->size < count) return false;
        w->file = e->file;
    }
    w->used = ++fUses;
    std::memcpy(out, w->bytes.get() + (at - w->start), count);
    return true;
}

bool TSourceFiles::Holds(const tag_entry* e) const
{
    if (e->data || e->size == 0) return true;
    const uint64_t at = e->offset;
    for (const window& w : fWindows)
        if (w.file == e->file && at >= w.start && at < w.start + w.size) return true;
    return false;
}

void TSourceFiles::Clear()
{
    for (window& w : fWindows) w.file = nullptr;
    fChecked.clear();
    fByOffset.clear();
    fAhead.clear();
    fAheadOrder.clear();
    fAheadBytes = 0;
}
