#pragma once

#include "printing/list_target.h"

#include <string>
#include <vector>

// A list target that keeps what the printer list put into it.
class RecordingList final : public ListTarget {
public:
    std::vector<std::string> items;
    int index = -1;

    void Clear() override { items.clear(), index = -1; }
    void AddItem(const std::string& text) override { items.push_back(text); }
    void SetListIndex(int i) override { index = i; }
    std::string Selected() const {
        return index < 0 ? std::string() : items.at(static_cast<std::size_t>(index));
    }
};
