// View records: what a view resource says about one view (class code, id, frame,
// text, attributes) and the views inside it.
//
// Resources are written as text, one record per line, children indented below
// their parent:
//   CODE ID LEFT TOP WIDTH HEIGHT ["text"] [key[=value]]...
// Values and the text may be quoted ("a b", with \" \\ \t \n); '#' starts a comment
// line. A resource holds exactly one top record.
//
// Stored as resource 'VRes': per record four big-endian 32-bit words (id, number of
// subviews, length of the data, class code), the data (frame as four signed 32-bit
// words, the text, the attributes), then the subview records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/XGCode.h"
#include "framework/XGResources.h"

constexpr XGCode kXGViewResourceType = 0x56526573; // 'VRes'

struct XGRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const XGRect&) const = default;
};

struct XGViewRecord {
    XGCode classCode = 0;
    int32_t id = 0;
    XGRect frame;
    std::string text;
    std::vector<std::pair<std::string, std::string>> attributes; // in order; a key may repeat
    std::vector<XGViewRecord> children;

    bool Has(std::string_view key) const;
    std::string Get(std::string_view key, std::string_view fallback = {}) const;
    int32_t GetInt(std::string_view key, int32_t fallback) const;
    // Every value of a repeated key, in order.
    std::vector<std::string> GetAll(std::string_view key) const;
    void Set(std::string key, std::string value);

    bool operator==(const XGViewRecord&) const = default;
};

// "WxH" into two numbers; false when it is not that form.
bool XGParseSize(std::string_view text, int32_t& width, int32_t& height);

// False with the line and the reason when the text is not a view resource.
bool XGParseViewText(std::string_view text, XGViewRecord& out, std::string* why);

XGResourceData XGEncodeViewResource(const XGViewRecord& record);
// Every count and length is checked against the bytes; false with the reason when
// they do not fit.
bool XGDecodeViewResource(const uint8_t* data, size_t size, XGViewRecord& out, std::string* why);
