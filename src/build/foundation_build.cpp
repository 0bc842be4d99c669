#include "build/foundation_build.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>

#include "build/source_files.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "tags/tag_file_format.h"
#include "tags/tag_types.h"
#include "tags/writer_thread.h"

namespace {

constexpr tag_code MESH = "mesh"_4cc;
constexpr tag_code COLLECTION = ".256"_4cc;

// Collections whose ids mark them as language-dependent.
constexpr tag_code kLocalizedCollectionIds[] = {
    "MB01"_4cc, "MB02"_4cc, "MB03"_4cc, "MB04"_4cc, "MB05"_4cc, "MB06"_4cc, "MB07"_4cc,
    "MTit"_4cc, "NTit"_4cc, "LTit"_4cc, "FTit"_4cc, "OLB1"_4cc, "OLB2"_4cc, "OLB3"_4cc,
    "OLB4"_4cc, "OLB5"_4cc, "OLB6"_4cc, "OLB7"_4cc, "OTit"_4cc, "PTit"_4cc, "inmt"_4cc,
};

const char* const kOutputNames[] = {"small.tag", "small_localized.tag", "large.tag"};

uint64_t Key(tag_code type, tag_code id)
{
    return (uint64_t(type) << 32) | id;
}

bool IsLocalized(tag_code type, tag_code id)
{
    if (tag_type_is_localized(type)) return true;
    return type == COLLECTION && std::find(std::begin(kLocalizedCollectionIds), std::end(kLocalizedCollectionIds),
                                           id) != std::end(kLocalizedCollectionIds);
}

bool FromFoundationFile(const tag_entry* e)
{
    return e->file->kind == TAG_FILE_KIND_BASE;
}

} // namespace

TFoundationBuild::TFoundationBuild(TTagStore& store) : fStore(store), fSources(std::make_unique<TSourceFiles>())
{
}

TFoundationBuild::~TFoundationBuild()
{
    if (fSinkInstalled) set_dependency_sink(fPreviousSink);
    CloseLog();
}

void TFoundationBuild::begin_foundation_build(const std::string& base_folder)
{
    CloseLog();
    fCollected.clear();
    fCurrent = fReferrer = -1;
    fCurrentMap = 0;
    fCapturing = false;
    fLimitLogged = false;
    fLogLines = 0;
    fOutputs.clear();
    fFailure.clear();
    fSources->Clear();

    fFolder = base_folder + "/" + FOUNDATION_BUILD_FOLDER;
    std::error_code ec;
    std::filesystem::create_directories(fFolder, ec);
    if (!XGFile::IsDirectory(fFolder)) throw XGPostError(kXGFileCreateError, {fFolder});
    for (const char* name : {"small.tag", "small_localized.tag", "large.tag", "large_localized.tag", DEPENDENCY_LOG_NAME})
        std::filesystem::remove(fFolder + "/" + name, ec);
    fLog = std::fopen((fFolder + "/" + DEPENDENCY_LOG_NAME).c_str(), "w");

    fRecords.clear();
    fReported.clear();
    fReferences.clear();
    if (!fSinkInstalled) {
        fPreviousSink = set_dependency_sink(this);
        fSinkInstalled = true;
    }
}

int32_t* TFoundationBuild::Record(tag_code type, tag_code id)
{
    auto found = fRecords.find(Key(type, id));
    return found == fRecords.end() ? nullptr : &found->second;
}

std::string TFoundationBuild::Describe(const tag_entry* e) const
{
    std::string where = e->file->path.empty() ? std::string("unsaved file") : "file " + tag_file_name(e->file);
    return "'" + std::string(e->name) + "' (" + tag_code_to_text(e->group->type) + "/" + tag_code_to_text(e->id) +
           ") in " + where;
}

void TFoundationBuild::WalkLog(const std::string& message)
{
    std::string from = fCurrent < 0 ? std::string("initial seeding") : Describe(fCollected[size_t(fCurrent)].entry);
    FinishLog(message + " (referenced from " + from + ")");
}

void TFoundationBuild::FinishLog(const std::string& message)
{
    if (!fLog) return;
    std::fputs(message.c_str(), fLog);
    std::fputc('\n', fLog);
    ++fLogLines;
}

void TFoundationBuild::CloseLog()
{
    if (fLog) std::fclose(fLog);
    fLog = nullptr;
}

tag_entry* TFoundationBuild::Choose(tag_code type, tag_code id)
{
    tag_entry* taken = nullptr;
    bool duplicates = false;
    fStore.index().all(type, id, fMatches);
    for (const TTagIndex::match& m : fMatches) {
        tag_entry* e = m.entry;
        if (!taken) {
            taken = e;
            continue;
        }
        bool taken_base = FromFoundationFile(taken);
        bool later_base = FromFoundationFile(e);
        if (later_base && !taken_base) continue;
        if (!later_base && taken_base) {
            taken = e;
            continue;
        }
        if (!duplicates) WalkLog("duplicate tag " + Describe(taken));
        duplicates = true;
        WalkLog("duplicate tag " + Describe(e));
    }
    return taken;
}

// Steps 1 to 5 of adding a tag: the record whose references are to be walked, or -1.
int TFoundationBuild::Visit(tag_code type, tag_code id)
{
    if (tag_id_is_none(type) || tag_id_is_none(id)) return -1;
    if (!tag_type_info_for(type)) {
        WalkLog("unknown tag type " + tag_code_to_text(type) + " of id " + tag_code_to_text(id));
        return -1;
    }
    if (const int32_t* known = Record(type, id)) {
        collected_tag& record = fCollected[size_t(*known)];
        if (type == MESH || record.map == fCurrentMap || record.small) return -1;
        record.small = 1; // needed from a second map: promoted, and its references with it
        return *known;
    }
    tag_entry* chosen = Choose(type, id);
    if (!chosen) {
        WalkLog("missing tag " + tag_code_to_text(type) + "/" + tag_code_to_text(id));
        return -1;
    }
    if (FromFoundationFile(chosen)) WalkLog("used foundation tag " + Describe(chosen));
    if (fCollected.size() >= size_t(MAXIMUM_COLLECTED_TAGS)) {
        if (!fLimitLogged) WalkLog("limit of " + std::to_string(MAXIMUM_COLLECTED_TAGS) + " tags exceeded");
        fLimitLogged = true;
        return -1;
    }
    uint8_t small;
    if (type == COLLECTION || type == "bina"_4cc || type == "font"_4cc) small = 1;
    else if (type == MESH) small = 0;
    else small = fCurrentMap == 0 ? 1 : 0;
    fCollected.push_back({type, id, chosen, fCurrentMap, small});
    const int32_t record = int32_t(fCollected.size() - 1);
    fRecords.emplace(Key(type, id), record);
    return record;
}

// Runs the record's hook and keeps what it reports on the pending stack, to be added one by
// one (depth first, in the order reported) without the hooks calling each other.
void TFoundationBuild::Enter(size_t record, std::vector<walk_frame>& stack)
{
    const collected_tag& c = fCollected[record];
    tag_collect_dependencies_hook hook = tag_type_collect_dependencies_hook(c.type);
    if (!hook) return;
    walk_frame frame{record, fCurrent, fCurrentMap, fPending.size(), 0, fPending.size()};
    fReferrer = fCurrent;
    fCurrent = long(record);
    if (c.type == MESH) fCurrentMap = c.id;
    // A tag walked again (promoted) reports what its hook reported the first time.
    if (record < fReported.size() && fReported[record].second != NOT_REPORTED) {
        const auto [begin, count] = fReported[record];
        fPending.insert(fPending.end(), fReferences.begin() + begin, fReferences.begin() + begin + count);
        frame.end = fPending.size();
        stack.push_back(frame);
        return;
    }
    // Data loaded for the hook goes as soon as it has returned; the outputs read it again
    // (and fail if its file was changed meanwhile).
    const bool loaded = c.entry->data != nullptr;
    fSources->Load(c.entry);
    fCapturing = true;
    const size_t unreadable = fUnreadable;
    try {
        hook(c.entry);
    } catch (...) {
        fCapturing = false;
        if (!loaded) tag_forget_data(c.entry);
        throw;
    }
    fCapturing = false;
    if (!loaded) tag_forget_data(c.entry);
    frame.end = fPending.size();
    stack.push_back(frame);
    if (fUnreadable == unreadable) {
        if (fReported.size() <= record) fReported.resize(record + 1, {0, NOT_REPORTED});
        fReported[record] = {uint32_t(fReferences.size()), uint32_t(frame.end - frame.begin)};
        fReferences.insert(fReferences.end(), fPending.begin() + long(frame.begin), fPending.end());
    }
}

void TFoundationBuild::Walk(size_t record)
{
    std::vector<walk_frame> stack;
    fPending.clear();
    Enter(record, stack);
    while (!stack.empty()) {
        walk_frame& top = stack.back();
        if (top.next == top.end) {
            fCurrent = top.saved_current;
            fCurrentMap = top.saved_map;
            fPending.resize(top.begin);
            stack.pop_back();
            continue;
        }
        reference r = fPending[top.next++];
        int next = Visit(r.type, r.id);
        if (next >= 0) Enter(size_t(next), stack);
    }
}

void TFoundationBuild::AddDependency(tag_code type, tag_code id)
{
    if (fCapturing) {
        fPending.push_back({type, id});
        return;
    }
    int record = Visit(type, id);
    if (record >= 0) Walk(size_t(record));
}

void TFoundationBuild::UnreadableTag(tag_entry* e)
{
    long current = fCurrent;
    fCurrent = fReferrer;
    WalkLog("unreadable tag " + Describe(e));
    ++fUnreadable;
    fCurrent = current;
}

bool TFoundationBuild::ReadTagData(tag_entry* output, uint32_t offset, void* out, uint32_t count)
{
    const int32_t* record = Record(output->group->type, output->id);
    if (!record) return false;
    return fSources->Read(fCollected[size_t(*record)].entry, offset, out, count);
}

int TFoundationBuild::Output(const collected_tag& c)
{
    return IsLocalized(c.type, c.id) ? 1 : c.small ? 0 : 2;
}

bool TFoundationBuild::OutputsFit()
{
    uint64_t tags[3] = {}, bytes[3] = {};
    for (const collected_tag& c : fCollected) {
        const int i = Output(c);
        ++tags[i];
        bytes[i] += TAG_ENTRY_HEADER_SIZE + uint64_t(c.entry->size) + (c.type == MESH ? TAG_ENTRY_POINT_SIZE : 0);
    }
    for (int i = 0; i < 3; ++i) {
        std::string problem;
        if (tags[i] > uint64_t(MAXIMUM_TAGS_PER_FILE))
            problem = std::string(kOutputNames[i]) + " would hold " + std::to_string(tags[i]) +
                      " tags; a tag file holds at most " + std::to_string(MAXIMUM_TAGS_PER_FILE) + ".";
        else if (TAG_FILE_HEADER_SIZE + bytes[i] > 0xFFFFFFFFull)
            problem = std::string(kOutputNames[i]) + " would hold " + std::to_string(TAG_FILE_HEADER_SIZE + bytes[i]) +
                      " bytes; a tag file holds at most 4294967295.";
        if (problem.empty()) continue;
        FinishLog(problem);
        fFailure = problem + " No output was written.";
        return false;
    }
    return true;
}

bool TFoundationBuild::finish_foundation_build()
{
    if (fSinkInstalled) {
        set_dependency_sink(fPreviousSink);
        fSinkInstalled = false;
    }
    // what was read ahead for hooks that did not run is not needed any more
    fSources->Clear();
    // The outputs list their tags; the data goes from the chosen tags to the files as they are
    // written (ReadTagData).
    TTagStore outputs;
    tag_file* large = outputs.new_tag_file();
    tag_file* small = outputs.new_tag_file();
    tag_file* localized = outputs.new_tag_file();
    tag_file* files[] = {small, localized, large};
    bool ok = OutputsFit();
    for (size_t k = 0; ok && k < fCollected.size(); ++k) {
        const collected_tag& c = fCollected[k];
        if (!fSources->Available(c.entry)) {
            FinishLog("out of memory building monolithic");
            fFailure = "The data of " + Describe(c.entry) + " cannot be read; no output was written.";
            ok = false;
            break;
        }
        tag_entry* e = outputs.create_tag(files[Output(c)], c.type, c.id, c.entry->version, c.entry->name, 0,
                                          tag_get_size(c.entry), nullptr);
        if (!e) {
            FinishLog("out of memory building monolithic");
            fFailure = "Out of memory building the outputs; no output was written.";
            ok = false;
            break;
        }
    }
    // The outputs are written side by side, so that small and large tags taken turn about from
    // one file share its reads: next goes a tag whose bytes were read already, else one of the
    // output that has had the fewest bytes. Their writing overlaps this reading.
    TWriterThread thread; // outlives the writers
    std::vector<std::unique_ptr<TTagFileWriter>> writers;
    auto failed = [&](int i, const std::string& why) {
        FinishLog(std::string("could not write ") + kOutputNames[i]);
        fFailure = std::string("could not write ") + kOutputNames[i] + ": " + why;
        return false;
    };
    std::array<uint64_t, 3> written{};
    for (int i = 0; ok && i < 3; ++i) {
        writers.push_back(std::make_unique<TTagFileWriter>(files[i], fFolder + "/" + kOutputNames[i],
                                                           TAG_FILE_TYPE_FOUNDATION, this));
        if (!writers.back()->Begin(true, &thread)) ok = failed(i, writers.back()->Why());
    }
    while (ok) {
        int pick = -1;
        bool read = false;
        for (int i = 0; i < 3 && !read; ++i) {
            const tag_entry* e = writers[size_t(i)]->Next();
            if (!e) continue;
            const int32_t* record = Record(e->group->type, e->id);
            read = record && fSources->Holds(fCollected[size_t(*record)].entry);
            if (read || pick < 0 || written[size_t(i)] < written[size_t(pick)]) pick = i;
        }
        if (pick < 0) break;
        written[size_t(pick)] += writers[size_t(pick)]->Next()->size;
        if (!writers[size_t(pick)]->WriteNext()) ok = failed(pick, writers[size_t(pick)]->Why());
    }
    // The data came from the files as they were read, or no output replaces anything.
    if (ok && !fSources->Unchanged()) {
        FinishLog("out of memory building monolithic");
        fFailure = "A file that the tags were read from was changed meanwhile; no output was written.";
        ok = false;
    }
    for (int i = 0; ok && i < 3; ++i) {
        if (!writers[size_t(i)]->Finish(false)) {
            ok = failed(i, writers[size_t(i)]->Why());
            break;
        }
        foundation_output output{kOutputNames[i], {}};
        for (tag_group* g = files[i]->groups; g; g = g->next) output.types.push_back({g->type, tag_count_tags(g)});
        fOutputs.push_back(std::move(output));
    }
    fSources->Clear();
    CloseLog();
    return ok;
}

std::vector<std::pair<tag_code, tag_code>> parse_root_list(const std::string& text, std::vector<std::string>* skipped)
{
    std::vector<std::pair<tag_code, tag_code>> items;
    auto separator = [](unsigned char c) { return c <= ' ' || c == 127; };
    size_t i = 0;
    while (i < text.size()) {
        if (separator(text[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < text.size() && !separator(text[i])) ++i;
        std::string item = text.substr(start, i - start);
        if (item.size() == 9 && item[4] == ':') {
            auto four = [&item](size_t at) {
                return (tag_code(uint8_t(item[at])) << 24) | (tag_code(uint8_t(item[at + 1])) << 16) |
                       (tag_code(uint8_t(item[at + 2])) << 8) | tag_code(uint8_t(item[at + 3]));
            };
            items.push_back({four(0), four(5)});
        } else if (skipped) {
            skipped->push_back(item);
        }
    }
    return items;
}

foundation_build_result build_foundation(TTagStore& store, const std::string& root_list, const std::string& base_folder,
                                         XGProgress* progress)
{
    XGFile list(root_list);
    list.Open(XGFile::kRead);
    uint64_t length = list.GetLength();
    std::string text(size_t(length), '\0');
    if (length) list.ReadAt(0, text.data(), text.size());
    list.Close();

    foundation_build_result result;
    std::vector<std::pair<tag_code, tag_code>> items = parse_root_list(text, &result.skipped_items);
    TFoundationBuild build(store);
    build.begin_foundation_build(base_folder);
    for (size_t i = 0; i < items.size(); ++i) {
        auto [type, id] = items[i];
        if (progress)
            progress->Report("Collecting the tags of " + tag_code_to_text(type) + ":" + tag_code_to_text(id) + " (" +
                                 std::to_string(build.collected().size()) + " tags so far)",
                             int64_t(i), int64_t(items.size()));
        build.AddDependency(type, id);
    }
    if (progress)
        progress->Report("Writing small.tag, small_localized.tag and large.tag (" +
                             std::to_string(build.collected().size()) + " tags)",
                         int64_t(items.size()), int64_t(items.size()));
    result.finished = build.finish_foundation_build();
    result.failure = build.failure();
    result.folder = build.folder();
    result.outputs = build.outputs();
    result.log_lines = build.log_lines();
    result.collected = build.collected().size();
    return result;
}

std::string foundation_output_summary(const foundation_output& output)
{
    int total = 0;
    std::string types;
    for (auto [type, count] : output.types) {
        total += count;
        types += (types.empty() ? "" : ", ") + tag_code_to_text(type) + " " + std::to_string(count);
    }
    return std::to_string(total) + (total == 1 ? " tag" : " tags") + (types.empty() ? "" : " (" + types + ")");
}
