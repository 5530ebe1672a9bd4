#pragma once

#include <string>

// The list control the printer list is filled into: only these three operations are used.
class ListTarget {
public:
    virtual ~ListTarget() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text) = 0;
    // Selects the entry at `index`; -1 selects nothing.
    virtual void SetListIndex(int index) = 0;
};
