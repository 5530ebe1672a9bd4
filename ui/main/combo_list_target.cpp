#include "ui/main/combo_list_target.h"

#include <QByteArray>
#include <QComboBox>

void ComboListTarget::Clear() {
    combo_.clear();
}

void ComboListTarget::AddItem(const std::string& text) {
    // A combo box selects the first entry added to it; adding must not select anything.
    const int selected = combo_.currentIndex();
    // The name is kept as the platform gave it, byte for byte, for the spooler; the entry
    // shows it as the UTF-8 it is on every platform.
    combo_.addItem(QString::fromStdString(text), QByteArray::fromStdString(text));
    combo_.setCurrentIndex(selected);
}

void ComboListTarget::SetListIndex(int index) {
    combo_.setCurrentIndex(index);
}

std::string ComboListTarget::ItemName(const QComboBox& combo, int index) {
    return combo.itemData(index).toByteArray().toStdString();
}
