#include "ui/main/combo_list_target.h"

#include <QComboBox>

void ComboListTarget::Clear() {
    combo_.clear();
}

void ComboListTarget::AddItem(const std::string& text) {
    // A combo box selects the first entry added to it; adding must not select anything.
    const int selected = combo_.currentIndex();
    combo_.addItem(QString::fromStdString(text));
    combo_.setCurrentIndex(selected);
}

void ComboListTarget::SetListIndex(int index) {
    combo_.setCurrentIndex(index);
}
