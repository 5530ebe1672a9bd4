#include "ui/main/remembered_printers.h"

#include "app_info.h"

#include <QByteArray>
#include <QSettings>
#include <algorithm>

namespace {

const QString Group = QStringLiteral("Printers");
const QString Key = QStringLiteral("address");

} // namespace

// The organisation is the program itself: it has no other name to file its settings under.
RememberedPrinters::RememberedPrinters()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QString::fromUtf8(AppInfo::Title),
                                            QString::fromUtf8(AppInfo::Title))) {}

RememberedPrinters::RememberedPrinters(const QString& file)
    : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

RememberedPrinters::~RememberedPrinters() = default;

// An address is kept as its bytes: a device's path need not be text. What another run wrote
// meanwhile is read first.
std::vector<std::string> RememberedPrinters::Addresses() const {
    settings_->sync();
    std::vector<std::string> addresses;
    const int size = std::min(settings_->beginReadArray(Group), MaxPrinters);
    for (int i = 0; i < size; ++i) {
        settings_->setArrayIndex(i);
        const std::string address = settings_->value(Key).toByteArray().toStdString();
        if (!address.empty()) {
            addresses.push_back(address);
        }
    }
    settings_->endArray();
    return addresses;
}

bool RememberedPrinters::Contains(const std::string& address) const {
    const std::vector<std::string> addresses = Addresses();
    return std::find(addresses.begin(), addresses.end(), address) != addresses.end();
}

bool RememberedPrinters::Remember(const std::string& address) {
    std::vector<std::string> addresses = Addresses();
    if (std::find(addresses.begin(), addresses.end(), address) != addresses.end()) {
        return true;
    }
    addresses.push_back(address);
    if (addresses.size() > static_cast<std::size_t>(MaxPrinters)) {
        addresses.erase(addresses.begin());
    }
    return Write(addresses);
}

bool RememberedPrinters::Forget(const std::string& address) {
    std::vector<std::string> addresses = Addresses();
    std::erase(addresses, address);
    return Write(addresses);
}

QString RememberedPrinters::Location() const {
    return settings_->fileName();
}

bool RememberedPrinters::Write(const std::vector<std::string>& addresses) {
    settings_->remove(Group);
    settings_->beginWriteArray(Group, static_cast<int>(addresses.size()));
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        settings_->setArrayIndex(static_cast<int>(i));
        settings_->setValue(Key, QByteArray::fromStdString(addresses[i]));
    }
    settings_->endArray();
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}
