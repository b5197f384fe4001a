// Paths of ItemByPath and ForcePath: segments separated by ".", "/" or "\",
// each a name (possibly empty) followed by positions in brackets: "a.b[1][0]".
#pragma once

#include "RtlString.h"

#include <vector>

struct TQJsonPathStep {
    String Name;
    // The texts inside the brackets, in order.
    std::vector<String> Indexes;
    // False when a bracket is not closed.
    bool Valid = true;
};

// The steps of a path; empty segments are skipped.
std::vector<TQJsonPathStep> SplitJsonPath(StringView APath);
