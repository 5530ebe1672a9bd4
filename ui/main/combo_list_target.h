#pragma once

#include "printing/list_target.h"

class QComboBox;

// Lets the printer list be filled into a combo box: entries are added as the catalog
// names them (UTF-8, as CUPS gives queue names) and the selected index is set directly.
class ComboListTarget final : public ListTarget {
public:
    explicit ComboListTarget(QComboBox& combo) : combo_(combo) {}

    void Clear() override;
    void AddItem(const std::string& text) override;
    void SetListIndex(int index) override;

private:
    QComboBox& combo_;
};
