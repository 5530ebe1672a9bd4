#include "ui/main/print_progress.h"

#include "core/byte_count.h"

QString PrintProgress::Text() const {
    return QStringLiteral("Printing file %1 of %2: %3 of %4")
        .arg(file)
        .arg(files)
        .arg(ByteCountText(bytesSent), ByteCountText(fileSize));
}

QString ByteCountText(std::uint64_t bytes) {
    return QString::fromStdString(modTools::ByteCountText(bytes, "bytes"));
}
