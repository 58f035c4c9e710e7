// The short account of a run, for a person: a line per call with its result and the values that
// matter, a table as its size and first rows, and the paper each call printed. The full trace of
// every argument stays with the Runner's own output.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// A value in a few words: a scalar as it reads; a short 1-D array inline, separated as the debug
// log does ([1; 'a'; True]: a number may hold a decimal comma); a longer one as its size and first
// elements; a 2-D array as its size. At most about maxWidth characters.
std::string BriefValue(const VARIANT& value, std::size_t maxWidth = 72);

// The first rows of a 2-D array ("table"), an item per row (element [a, i] is attribute a of
// item i), and "…" when more follow. Empty for anything else.
std::vector<std::string> BriefTableRows(const VARIANT& value, std::size_t rows = 3, std::size_t maxWidth = 90);

// What a printer appends to its paper file between Mark() and Take(): the paper of one call.
class PaperWatch {
public:
    explicit PaperWatch(std::string file) : file_(std::move(file)) {}
    bool Active() const { return !file_.empty(); }
    void Mark();
    std::vector<std::string> Take();

private:
    std::string file_;
    std::uintmax_t mark_ = 0;
};

} // namespace host
