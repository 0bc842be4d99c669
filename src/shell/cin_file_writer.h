// Writes interface-builder files in the form the dialog tag maker reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/tag_code.h"

struct TCinControl {
    tag_code view_class;
    int32_t id;
    int32_t left, top, right, bottom;
    std::string text; // for the classes that carry one; at most 255 characters are kept
};

class TCinWriter {
public:
    TCinWriter();

    // A resource the dialog tag maker passes over.
    void add_resource(tag_code type, const std::string& name, const std::vector<uint8_t>& body);
    // A view resource: a window record and its controls (classes of the maker's table).
    void add_dialog(const std::string& name, const std::string& title, int32_t x, int32_t y, int32_t width,
                    int32_t height, const std::vector<TCinControl>& controls);

    const std::vector<uint8_t>& bytes() const { return fBytes; }

private:
    std::vector<uint8_t> fBytes;
};
