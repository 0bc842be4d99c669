// An open file. Failures raise the framework's file errors with the file's name:
// open 128/15, create 128/16, read 128/17, write 128/18, position 128/19, truncate 128/20.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a file on disk is: its identity and the state of its contents. A file replaced by
// rename gets another inode; one changed in place another size or modification time.
struct XGFileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modified = 0; // nanoseconds
    bool operator==(const XGFileStamp&) const = default;
    // The same file, whatever became of its contents.
    bool SameFile(const XGFileStamp& other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

class XGFile {
public:
    enum Mode { kRead, kReadWrite };

    XGFile() = default;
    explicit XGFile(std::string path) : fName(std::move(path)) {}
    ~XGFile();
    XGFile(const XGFile&) = delete;
    XGFile& operator=(const XGFile&) = delete;
    XGFile(XGFile&& other) noexcept;
    XGFile& operator=(XGFile&& other) noexcept;

    const std::string& GetName() const { return fName; }
    void SetName(std::string path) { fName = std::move(path); }

    void Open(Mode mode);      // an existing file
    bool TryOpen(Mode mode);   // false instead of an error
    void Create();             // create or truncate, for reading and writing
    bool CreateNew();          // a file that did not exist, for reading and writing; false (errno) otherwise
    void Close();
    bool IsOpen() const { return fRefNum >= 0; }
    bool IsWritable() const { return fRWFlag; }

    void Read(void* buffer, size_t count);
    void ReadAt(uint64_t offset, void* buffer, size_t count);
    // Reads what is there, up to count; returns the bytes read.
    size_t ReadSome(uint64_t offset, void* buffer, size_t count);
    void Write(const void* buffer, size_t count);
    void WriteAt(uint64_t offset, const void* buffer, size_t count);

    uint64_t GetLength() const;
    uint64_t GetPosition() const;
    void SetPosition(uint64_t position);
    void SetLength(uint64_t length);
    void Flush();
    // The open file as it is now.
    XGFileStamp GetStamp() const;
    int GetDescriptor() const { return fRefNum; }

    // The file at path as it is now; exists is false when there is none.
    static XGFileStamp StampOf(const std::string& path);
    static bool Exists(const std::string& path);
    // Every open tag file keeps its file open: allows the process as many open files as it may.
    static void RaiseOpenFileLimit();
    static bool IsDirectory(const std::string& path);

private:
    std::string fName;
    int fRefNum = -1;
    bool fRWFlag = false;
};
