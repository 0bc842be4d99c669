// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "build/tagdepend.h"

// A per-process scratch folder, made once.
const std::string& fuzz_scratch_folder();
// Writes the input to a file in the scratch folder and returns its path.
std::string fuzz_write_input(const std::string& name, const uint8_t* data, size_t size);

// Counts what the collect-dependencies hooks report while it exists.
class TFuzzDependencySink : public TDependencySink {
public:
    TFuzzDependencySink() : fPrevious(set_dependency_sink(this)) {}
    ~TFuzzDependencySink() override { set_dependency_sink(fPrevious); }
    void AddDependency(tag_code, tag_code) override { ++fCount; }
    void UnreadableTag(tag_entry*) override { ++fCount; }
    int fCount = 0;

private:
    TDependencySink* fPrevious;
};
