#pragma once
#include <QStringList>

#include <string>
#include <vector>

// The order both lists show names in: by name without regard to case, names equal but
// for case by their bytes. Names are folded and compared as bytes where they are plain
// ASCII, which most are, and only decoded once sorted: 100,000 names sort in a blink.
struct FoldedName {
    std::string key;  // the name case-folded, UTF-8
    std::string raw;  // as the file system spells it
    bool ascii;       // raw is plain ASCII, and key is raw with A-Z lowered
};

// `raw` with its key: A-Z lowered where the name is plain ASCII, else Qt's case folding.
FoldedName FoldName(std::string raw);
// Sorts and decodes the names as Qt shows file names.
QStringList SortAndDecode(std::vector<FoldedName> names);
