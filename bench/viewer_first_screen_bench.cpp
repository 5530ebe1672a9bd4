// The viewer's first screen against plain reads of the same file, in one run, files in the
// page cache:
//
//   viewer_first_screen_bench FILE [PNG]
//
// prints, in seconds: `read-first-screen` (the file opened and its first 64 KiB read, all a
// first screen needs of it), `read-whole` (every byte read in 1 MiB pieces),
// `viewer-first-screen` (the window made and shown until the pass's first report is handled
// and the page's rows are decoded and asked for: a screenful of rows, or for a file without
// commands the summary's progress line), `viewer-whole-pass` (until the summary is
// complete), `viewer-jump` (the middle and the last rows then shown: decoded again from the
// nearest point) and, on Linux, the peak memory. With PNG the window as first shown is saved
// there.
#include "core/file_reader.h"
#include "ui/inspect/command_table_model.h"
#include "ui/inspect/frm_inspect.h"
#include "ui/inspect/inspect_pass.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#ifdef __linux__
#include <sys/resource.h>
#endif

namespace {

// A bound only a hang reaches.
constexpr qint64 LimitMs = 30 * 60 * 1000;

double Seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double ReadSeconds(const std::string& path, std::size_t piece, bool whole) {
    QElapsedTimer timer;
    timer.start();
    FileReader file(path);
    std::vector<char> buffer(piece);
    std::uint64_t total = 0;
    while (const std::size_t count = file.Read(buffer.data(), buffer.size())) {
        total += count;
        if (!whole) {
            break;
        }
    }
    const double seconds = Seconds(timer);
    std::fprintf(stderr, "(read %llu bytes)\n", static_cast<unsigned long long>(total));
    return seconds;
}

template <typename Condition> bool WaitFor(Condition condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > LimitMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// The viewer's list brought to a row, and every cell of the page asked for, as a repaint
// would.
void ShowRows(frmInspect& viewer, CommandTableModel& rows, qint64 row) {
    viewer.SelectRow(row);
    for (int shown = 0; shown < rows.rowCount(); ++shown) {
        for (int column = 0; column < rows.columnCount(); ++column) {
            rows.data(rows.index(shown, column));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: viewer_first_screen_bench FILE [PNG]\n");
        return 2;
    }
    const std::string path = argv[1];
    std::printf("read-first-screen %.6f\n", ReadSeconds(path, 64 * 1024, false));
    std::printf("read-whole %.6f\n", ReadSeconds(path, 1024 * 1024, true));

    QElapsedTimer timer;
    timer.start();
    auto* viewer = new frmInspect(path, [](const std::string&) {});
    viewer->show();
    auto* rows = viewer->findChild<CommandTableModel*>();
    auto* summary = viewer->findChild<QLabel*>(QStringLiteral("lblSummary"));
    const auto passEnded = [summary] {
        return !summary->text().contains(QStringLiteral("reading"));
    };
    const auto total = [rows] { return static_cast<qint64>(rows->Total()); };
    // The first screen: the pass's first report handled, its rows on the page and asked
    // for (a file without commands has only the summary's progress line to show).
    bool reported = false;
    auto* pass = viewer->findChild<InspectPass*>();
    QObject::connect(pass, &InspectPass::Progress, viewer, [&reported] { reported = true; });
    QObject::connect(pass, &InspectPass::Finished, viewer, [&reported] { reported = true; });
    if (!WaitFor([&] { return reported; })) {
        return 1;
    }
    ShowRows(*viewer, *rows, 0);
    std::printf("viewer-first-screen %.6f rows %lld\n", Seconds(timer),
                static_cast<long long>(total()));
    if (argc > 2) {
        viewer->grab().save(QString::fromLocal8Bit(argv[2]));
    }
    if (!WaitFor(passEnded)) {
        return 1;
    }
    std::printf("viewer-whole-pass %.6f rows %lld\n", Seconds(timer),
                static_cast<long long>(total()));

    // Rows anywhere, once all are known: the longest a scroll to them can take.
    for (const qint64 row : {total() / 2, std::max<qint64>(0, total() - 1)}) {
        QElapsedTimer jump;
        jump.start();
        ShowRows(*viewer, *rows, row);
        std::printf("viewer-jump %.6f row %lld\n", Seconds(jump), static_cast<long long>(row));
    }
#ifdef __linux__
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak-memory-kib %ld\n", usage.ru_maxrss);
#endif
    viewer->close();
    QApplication::processEvents();
    return 0;
}
