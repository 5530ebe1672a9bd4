#include "ui/main/print_progress.h"

QString PrintProgress::Text() const {
    return QStringLiteral("Printing file %1 of %2: %3 of %4")
        .arg(file)
        .arg(files)
        .arg(ByteCountText(bytesSent), ByteCountText(fileSize));
}

QString ByteCountText(std::uint64_t bytes) {
    if (bytes < 1024) {
        return QStringLiteral("%1 bytes").arg(bytes);
    }
    const char* const units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // Each unit up to the one under which the value stays below 1024 once rounded.
    while (value >= 1023.95 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}
