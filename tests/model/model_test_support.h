// Helpers of the model tests: skeleton export texts, error messages and tag data.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/XGError.h"
#include "support/test_support.h"
#include "tags/tags.h"

// A skeleton export with three bones (root, arm, and "Hand_ATTACH point", a tag bone),
// the given vertex and face sections and one frame with every bone at the origin.
inline std::string skl_text(const std::string& vertices, const std::string& faces, int version = 2,
                            const std::string& frames = "")
{
    std::string text = "SKELETON\nVERSION " + std::to_string(version) +
                       "\nNUMMATERIALS 1\nMATERIAL 0 skin.tga\n"
                       "NUMBONES 3\nBONE 0 -1 root\nBONE 1 0 arm\nBONE 2 0 Hand_ATTACH point\n" +
                       vertices + faces + "FRAMERATE 30\n";
    if (!frames.empty()) return text + frames;
    text += "NUMFRAMES 1\nFRAME 0\n";
    for (int b = 0; b < 3; ++b)
        text += "BONE " + std::to_string(b) + "\nOFFSET 0 0 0\nX 1 0 0\nY 0 1 0\nZ 0 0 1\n";
    return text + "END\n";
}

// The message of the XGError the call raises, "no error" when it raises none.
inline std::string error_of(const std::function<void()>& call)
{
    try {
        call();
    } catch (const XGError& e) {
        return e.GetMessage();
    }
    return "no error";
}

// Where two byte strings first differ, "none" when they are equal.
inline std::string first_difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) return "byte " + std::to_string(i);
    return a.size() == b.size() ? "none" : "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
}

// The tag's data as stored.
inline bytes tag_data(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    return data ? bytes(data, data + size) : bytes();
}
