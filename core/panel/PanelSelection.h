// Resolving a tree line to a record: by name, the first record of that name winning.
#pragma once

#include <string>
#include <vector>

// The index of the first record whose name equals name exactly, or -1.
template <class Record>
int FindByName(const std::vector<Record>& records, const std::string& name) {
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].name == name) return static_cast<int>(i);
    }
    return -1;
}
