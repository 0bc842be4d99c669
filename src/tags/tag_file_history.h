// Undo and redo of the changes made to one tag file's set of tags (tags deleted, cut,
// pasted, created, dropped or imported, and changes of name, id, type or version).
// A step keeps the file's tags in order before and after, with the data of the tags
// the step removed or added, so that undoing and redoing gives the file back tag for
// tag and in the same order. A change that did not go through the history (another
// window, a script) ends it: the steps recorded before can no longer be undone.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "tags/tags.h"

class TTagFileHistory {
public:
    TTagFileHistory() = default;
    TTagFileHistory(const TTagFileHistory&) = delete;
    TTagFileHistory& operator=(const TTagFileHistory&) = delete;

    // Starts a step on the file: removing names the tags the step may take away (their
    // data is kept for undo).
    void Begin(tag_file* f, const std::vector<tag_entry*>& removing = {});
    // Ends the step; a step that changed nothing is not kept. Redo is gone after it.
    void End();
    // Ends the step without keeping it (the operation failed and left the file as it was).
    void Cancel();

    bool CanUndo() const;
    bool CanRedo() const;
    // Each gives back the tags removed and made and the names restored; removing is
    // called for each tag before it is deleted (to close its editor).
    void Undo(const std::function<void(tag_entry*)>& removing);
    void Redo(const std::function<void(tag_entry*)>& removing);
    void Clear();

private:
    struct Handle {
        tag_entry* entry = nullptr; // null while the tag is not in the file
    };
    struct Item {
        std::shared_ptr<Handle> handle;
        tag_code type;
        tag_code id;
        char name[32];
        int16_t version;
        std::shared_ptr<std::vector<uint8_t>> data; // for tags a step removes or adds
    };
    using Snapshot = std::vector<Item>;
    struct Step {
        Snapshot before;
        Snapshot after;
    };

    Snapshot Capture(const std::vector<tag_entry*>& keepData);
    // Whether the file holds exactly the snapshot's tags, in its order.
    bool Holds(const Snapshot& s) const;
    void Restore(const Snapshot& s, const std::function<void(tag_entry*)>& removing);

    tag_file* fFile = nullptr;
    std::vector<std::shared_ptr<Handle>> fHandles;
    std::vector<Step> fUndo;
    std::vector<Step> fRedo;
    Snapshot fPending;
    bool fOpen = false;
};
