// The bytes of a tag file. A multi-tag file: a 128-byte file header, 112-byte entry
// points (one per map tag), 64-byte entry headers, then the data blocks packed in the
// same order. A single-tag file: one entry header, then the data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/XGCode.h"
#include "tags/byte_swapping.h"
#include "tags/tags.h"

class XGFile;

constexpr uint32_t TAG_FILE_SIGNATURE = "dng2"_4cc;
constexpr uint32_t TAG_ENTRY_SIGNATURE = "vrn2"_4cc;
constexpr uint32_t MESH_TAG = "mesh"_4cc;
constexpr uint32_t STRING_LIST_TAG = "stli"_4cc;

constexpr int32_t TAG_FILE_HEADER_SIZE = 128;
constexpr int32_t TAG_ENTRY_POINT_SIZE = 112;
constexpr int32_t TAG_ENTRY_HEADER_SIZE = 64;
constexpr int32_t MAXIMUM_TAGS_PER_FILE = 32767; // the header's count is signed 16-bit

struct tag_file_header {
    int16_t file_kind;
    int16_t header_word;
    char name[32];
    char description[64];
    int16_t entry_point_count;
    int16_t tag_count;
    uint32_t data_checksum;
    uint32_t reserved0;
    uint32_t file_size;
    uint32_t header_checksum;
    uint8_t reserved1[4];
    uint32_t signature;
};
static_assert(sizeof(tag_file_header) == TAG_FILE_HEADER_SIZE);

struct tag_entry_point {
    uint32_t map_id;
    uint32_t team_count;
    uint8_t reserved0[4];
    uint32_t reserved1;
    char map_tag_name[32];
    char map_title[64];
};
static_assert(sizeof(tag_entry_point) == TAG_ENTRY_POINT_SIZE);

struct tag_entry_header {
    int16_t reserved0;
    uint8_t reserved1;
    uint8_t file_mark;
    char name[32];
    uint32_t type;
    uint32_t id;
    uint32_t offset;
    uint32_t size;
    uint32_t reserved2;
    int16_t version;
    uint8_t reserved3;
    uint8_t reserved4;
    uint32_t signature;
};
static_assert(sizeof(tag_entry_header) == TAG_ENTRY_HEADER_SIZE);

extern const bs_code tag_header_bs_codes[];
extern const bs_code entry_points_bs_codes[];
extern const bs_code entry_header_bs_codes[];

// What reading a file's headers gives: the raw entry headers and how to read them.
struct tag_file_listing {
    int32_t kind = 0; // as stored; a multi-tag file may state any kind, 0 included
    int32_t header_word = 0;
    bool single = false; // the single-tag layout: the data follows the one entry header
    uint64_t length = 0; // of a single-tag file; of a multi-tag file, its headers
    int32_t tag_count = 0;
    std::vector<uint8_t>* head = nullptr; // the entry headers as read (the caller's buffer)
    size_t table = 0;                     // where they start in head

    // The stored bytes of entry header i.
    const uint8_t* entry_header(int32_t i) const { return head->data() + table + size_t(i) * TAG_ENTRY_HEADER_SIZE; }
    // Where entry i's data lies. Not checked here; reading the data checks it against the file.
    uint32_t data_offset(const uint8_t* header) const
    {
        // a single tag's data follows its header and runs to the end of the file
        return single ? uint32_t(TAG_ENTRY_HEADER_SIZE) : read_be32(header + 44);
    }
    uint32_t data_size(const uint8_t* header) const
    {
        return single ? uint32_t(length - TAG_ENTRY_HEADER_SIZE) : read_be32(header + 48);
    }
};

// Reads the headers of an open file into buffer (reused from file to file). False,
// with the reason, when it is not a tag file or its headers do not fit in it.
bool read_tag_file_listing(XGFile& file, tag_file_listing& listing, std::vector<uint8_t>& buffer,
                           std::string* why);

// The checksum register after feeding data: reflected 0xEDB88320, started at
// 0xFFFFFFFF (pass that as crc), no final inversion.
uint32_t tag_checksum(uint32_t crc, const void* data, size_t size);
constexpr uint32_t TAG_CHECKSUM_START = 0xFFFFFFFF;

// Where write_tag_file reads the data of tags that are not in memory. Without one it reads
// them from the file's own path, at their offsets.
class TTagDataSource {
public:
    virtual ~TTagDataSource() = default;
    // Fills out with count bytes of the tag's data from offset; false when they cannot be had.
    virtual bool ReadTagData(tag_entry* e, uint32_t offset, void* out, uint32_t count) = 0;
};

// Writes every tag of f to destination in a layout (Auto decides from the destination's
// folders), under the destination's lock (XGFileLock). The bytes go to a temporary file in
// the destination's folder (XGSaveFile), which replaces the destination only when everything
// was written; f's own file is not replaced when another program changed it since it was read,
// and with exclusive set no existing file is. With adopt set, f then refers to the destination.
// False, with the message that names the destination and the reason, on failure; f is
// unchanged then.
bool write_tag_file(tag_file* f, const std::string& destination, tag_file_layout layout, bool adopt,
                    std::string* why = nullptr, TTagDataSource* data = nullptr, bool exclusive = false);

class TWriterThread;

// write_tag_file in steps, so that several files can be written side by side: Begin checks,
// locks the destination and writes the headers to the temporary file, WriteNext the data of
// the tags one by one in file order, Finish the file header, and the temporary file replaces
// the destination. After a failure Why tells it and the temporary file is gone.
class TTagFileWriter {
public:
    TTagFileWriter(tag_file* f, const std::string& destination, tag_file_layout layout,
                   TTagDataSource* data = nullptr, bool exclusive = false);
    ~TTagFileWriter();
    TTagFileWriter(const TTagFileWriter&) = delete;
    TTagFileWriter& operator=(const TTagFileWriter&) = delete;

    // The destination is locked from Begin on, or with lock_late only while Finish replaces
    // it. Several files of one folder are written side by side with lock_late: a missing
    // file's lock is its folder's. Given a thread, more than a buffer of data is written there
    // while the next buffer fills: worth it when getting the data costs about as much as
    // writing it. The thread must outlive the writer.
    bool Begin(bool lock_late = false, TWriterThread* thread = nullptr);
    // The tag whose data goes next; null when all went, or after a failure.
    tag_entry* Next() const;
    bool WriteNext();
    bool Finish(bool adopt);
    const std::string& Why() const;

private:
    struct state;
    std::unique_ptr<state> fState;
};

// The layout Auto gives for a destination path (by the names of its folders).
tag_file_layout tag_file_auto_layout(const std::string& destination);
