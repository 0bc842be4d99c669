// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A per-process scratch folder, made once.
const std::string& fuzz_scratch_folder();
// Writes the input to a file in the scratch folder and returns its path.
std::string fuzz_write_input(const std::string& name, const uint8_t* data, size_t size);
