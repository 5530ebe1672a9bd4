#include "ui/main/code_file.h"

#include "core/file_error.h"
#include "core/whole_file.h"

#include <QSaveFile>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

[[noreturn]] void Fail(const std::string& path, const QString& reason) {
    throw FileError(path, "save", reason.toStdString());
}

// Replacing a folder, a device or a pipe by a plain file would destroy it, not save to it.
void RefuseWhatIsNoFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(modTools::FileSystemPath(path), error);
    if (std::filesystem::is_directory(status)) {
        throw FileError::FromErrno(path, "save", EISDIR);
    }
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw FileError(path, "save", "it is not a regular file");
    }
}

} // namespace

namespace CodeFile {

bool Exists(const std::string& path) {
    return modTools::PathExists(path);
}

void Replace(const std::string& path, std::string_view bytes) {
    RefuseWhatIsNoFile(path);
    QSaveFile file(QString::fromStdString(path));
    // Never fall back to writing over the old file in place.
    file.setDirectWriteFallback(false);
    // The bytes go out in one write; unbuffered, a failure reports the system's reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(path, file.errorString());
    }
    // A write may take only part of the bytes (a full disk, a size limit); the next one
    // then fails with the reason.
    const auto size = static_cast<qint64>(bytes.size());
    for (qint64 written = 0; written < size;) {
        const qint64 step = file.write(bytes.data() + written, size - written);
        if (step <= 0) {
            const QString reason =
                file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("only %1 of %2 bytes could be written").arg(written).arg(size);
            file.cancelWriting();
            Fail(path, reason);
        }
        written += step;
    }
    if (!file.commit()) {
        Fail(path, file.errorString());
    }
}

} // namespace CodeFile
