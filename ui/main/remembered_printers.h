#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

class QSettings;

// The printers the user added by their address (File > Add Printer Address, Find Printers),
// kept per user across runs in the platform's settings store, in the order they were added.
// Each is kept as the printer list holds it: the address in full, its language included.
// The store is read anew for each question, so two windows of the program that add printers
// at once keep both.
class RememberedPrinters {
public:
    // At most this many are kept, the newest; a store edited by hand is read no further.
    static constexpr int MaxPrinters = 200;

    // The user's own store, under the program's name.
    RememberedPrinters();
    // A store of its own in the file, in the INI format (the tests' store).
    explicit RememberedPrinters(const QString& file);
    ~RememberedPrinters();

    RememberedPrinters(const RememberedPrinters&) = delete;
    RememberedPrinters& operator=(const RememberedPrinters&) = delete;

    std::vector<std::string> Addresses() const;
    bool Contains(const std::string& address) const;
    // Adds the address at the end unless it is there. False when the store could not be
    // written: the address is then kept for this run only.
    bool Remember(const std::string& address);
    // Takes the address out; false when the store could not be written.
    bool Forget(const std::string& address);
    // Where the store is, as the user may look for it: a file, or a place in the registry.
    QString Location() const;

private:
    bool Write(const std::vector<std::string>& addresses);

    std::unique_ptr<QSettings> settings_;
};
