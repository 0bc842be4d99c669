// The foundation build: from a list of root tags, follow every reference through the
// types' collect-dependencies hooks, pick the tag that the open files provide for each,
// and write them into small.tag, small_localized.tag and large.tag in the folder
// foundation_build, with dependency_log.txt telling what was noticed on the way.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "build/tagdepend.h"
#include "framework/XGProgress.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

constexpr int MAXIMUM_COLLECTED_TAGS = 50000;
constexpr const char* FOUNDATION_BUILD_FOLDER = "foundation_build";
constexpr const char* DEPENDENCY_LOG_NAME = "dependency_log.txt";

struct collected_tag {
    tag_code type;
    tag_code id;
    tag_entry* entry; // the tag chosen to provide it
    tag_code map;     // the map being walked when it was added, 0 outside any map
    uint8_t small;    // small.tag rather than large.tag
};

// One output file as written: its name and the number of its tags of each type, in file order.
struct foundation_output {
    std::string name;
    std::vector<std::pair<tag_code, int>> types;
};

class TSourceFiles;

// The walk's state: the sink of the hooks while it walks, and the source of its outputs'
// data while they are written.
class TFoundationBuild : public TDependencySink, public TTagDataSource {
public:
    explicit TFoundationBuild(TTagStore& store);
    ~TFoundationBuild() override;
    TFoundationBuild(const TFoundationBuild&) = delete;
    TFoundationBuild& operator=(const TFoundationBuild&) = delete;

    // Resets the state, makes the folder foundation_build below base_folder when it is
    // missing, deletes the outputs of an earlier build there and creates the log. Raises
    // XGError when the folder cannot be made.
    void begin_foundation_build(const std::string& base_folder);
    // Adds the tag and, recursively, everything it references.
    void AddDependency(tag_code type, tag_code id) override;
    void UnreadableTag(tag_entry* e) override;
    // The data of an output's tag, from the tag chosen to provide it.
    bool ReadTagData(tag_entry* output, uint32_t offset, void* out, uint32_t count) override;
    // Distributes the collected tags over the three outputs, writes them and closes the
    // log. False when the data of a tag could not be had or an output not written.
    bool finish_foundation_build();

    const std::vector<collected_tag>& collected() const { return fCollected; }
    const std::string& folder() const { return fFolder; }
    const std::vector<foundation_output>& outputs() const { return fOutputs; }
    const std::string& failure() const { return fFailure; } // why finishing failed
    int log_lines() const { return fLogLines; }

private:
    struct reference {
        tag_code type;
        tag_code id;
    };
    // A record whose references (fPending[begin, end)) are being added, and the state to
    // restore after it.
    struct walk_frame {
        size_t record;
        long saved_current;
        tag_code saved_map;
        size_t begin;
        size_t end;
        size_t next;
    };

    int Visit(tag_code type, tag_code id);
    int32_t* Record(tag_code type, tag_code id);
    tag_entry* Choose(tag_code type, tag_code id);
    void Walk(size_t record);
    void Enter(size_t record, std::vector<walk_frame>& stack);
    std::string Describe(const tag_entry* e) const;
    void WalkLog(const std::string& message);
    void FinishLog(const std::string& message);
    void CloseLog();
    // The output of a record: 0 small, 1 localized, 2 large (the order they are written in).
    static int Output(const collected_tag& c);
    // Refuses outputs that a tag file cannot hold, before anything is written.
    bool OutputsFit();

    TTagStore& fStore;
    std::string fFolder;
    std::FILE* fLog = nullptr;
    int fLogLines = 0;
    std::vector<collected_tag> fCollected;
    std::unordered_map<uint64_t, int32_t> fRecords; // the collected record of each type and id
    std::vector<TTagIndex::match> fMatches;         // the tags of one type and id, reused
    long fCurrent = -1; // the record being walked, -1 during seeding
    tag_code fCurrentMap = 0;
    long fReferrer = -1; // the record that referenced the one whose hook is running
    bool fCapturing = false;
    std::vector<reference> fPending; // what the hooks reported, not yet added
    // What each record's hook reported (begin and count in fReferences), for walking it again.
    static constexpr uint32_t NOT_REPORTED = UINT32_MAX;
    std::vector<std::pair<uint32_t, uint32_t>> fReported;
    std::vector<reference> fReferences;
    size_t fUnreadable = 0; // tags the hooks could not read
    bool fLimitLogged = false;
    TDependencySink* fPreviousSink = nullptr;
    bool fSinkInstalled = false;
    std::vector<foundation_output> fOutputs;
    std::string fFailure;
    std::unique_ptr<TSourceFiles> fSources;
};

// Root list items: a four-character type, a colon and a four-character id, separated by
// blanks and control characters. Other items are skipped and listed in skipped.
std::vector<std::pair<tag_code, tag_code>> parse_root_list(const std::string& text,
                                                            std::vector<std::string>* skipped = nullptr);

// What a build command did.
struct foundation_build_result {
    bool finished = false; // all three outputs written
    std::string failure;
    std::string folder;
    std::vector<foundation_output> outputs;
    int log_lines = 0;
    size_t collected = 0;
    std::vector<std::string> skipped_items;
};

// The build command over a root list file. Raises XGError when the root list cannot be
// read or the folder cannot be made; nothing is built then.
// progress hears of each root item walked and each output written.
foundation_build_result build_foundation(TTagStore& store, const std::string& root_list, const std::string& base_folder,
                                         XGProgress* progress = nullptr);

// "N tags (type count, ...)" for one output.
std::string foundation_output_summary(const foundation_output& output);
