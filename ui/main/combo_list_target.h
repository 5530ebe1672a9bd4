#pragma once

#include "printing/list_target.h"

#include <string>

class QComboBox;

// Lets the printer list be filled into a combo box. Each entry keeps the printer's name
// exactly as the catalog gave it, which is what a job is sent to; its text is that name
// shown in the system's 8-bit encoding.
class ComboListTarget final : public ListTarget {
public:
    explicit ComboListTarget(QComboBox& combo) : combo_(combo) {}

    void Clear() override;
    void AddItem(const std::string& text) override;
    void SetListIndex(int index) override;

    // The printer name of the entry at `index`, byte for byte as it was added.
    static std::string ItemName(const QComboBox& combo, int index);

private:
    QComboBox& combo_;
};
