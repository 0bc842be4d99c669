// How long work tells how far it has come and learns that the person wants it to stop.
// The work calls Report between its steps; an operation that may be stopped there
// (nothing is left half-written) ends when Report says so.
#pragma once

#include <cstdint>
#include <string>

class XGProgress {
public:
    virtual ~XGProgress() = default;
    // What is being done and how far: done of total (a total of 0 tells nothing of how
    // far). False once the person asked to stop.
    virtual bool Report(const std::string& what, int64_t done, int64_t total) = 0;
};
