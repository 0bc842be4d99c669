// Shared test helpers.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/ProgramAssert.h"

using bytes = std::vector<uint8_t>;

// Thrown by the test assertion handler.
struct AssertionThrown : std::runtime_error {
    using std::runtime_error::runtime_error;
};
void install_throwing_assert_handler();

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return fPath; }
    std::string operator/(const std::string& name) const { return fPath + "/" + name; }
    // Creates the subfolders of a relative path; returns the full path.
    std::string mkdir(const std::string& relative) const;
    // Names of the files (not folders) directly in the folder at relative, sorted.
    std::vector<std::string> files(const std::string& relative = "") const;

private:
    std::string fPath;
};

bytes read_file(const std::string& path);
void write_file(const std::string& path, const bytes& data);
void write_text(const std::string& path, const std::string& text);
std::string read_text(const std::string& path);
bytes make_bytes(size_t size, uint8_t seed);

// Makes a file impossible to open for writing, also for root (read-only mode, and the
// immutable flag where the process may set it). make_writable undoes it.
bool make_unwritable(const std::string& path);
void make_writable(const std::string& path);
