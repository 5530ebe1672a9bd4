// The rendered manual, read back the way a person and a PDF viewer would: every page is
// drawn with something on it, and the token table's text comes out token by token.
#include "core/control_tokens.h"
#include "tests/support/temp_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString ManualPdf = QStringLiteral(TOLVENMARK_MANUAL_PDF);

struct ToolRun {
    bool started = false;
    int exitCode = -1;
    QString output;
};

// The poppler tools take the path as one argument; no shell sees it.
ToolRun RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    run.started = process.waitForStarted();
    if (run.started && process.waitForFinished(60000)) {
        run.exitCode = process.exitCode();
        run.output = QString::fromUtf8(process.readAllStandardOutput());
    }
    return run;
}

QString PdfText(const QStringList& extra = {}) {
    const ToolRun run =
        RunTool(QStringLiteral("pdftotext"), QStringList{QStringLiteral("-layout")} + extra +
                                                 QStringList{ManualPdf, QStringLiteral("-")});
    EXPECT_TRUE(run.started) << "pdftotext (poppler-utils) is needed for this test";
    EXPECT_EQ(run.exitCode, 0);
    return run.output;
}

// The share of pixels that are clearly darker than paper.
double Ink(const QImage& page) {
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    qint64 dark = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            dark += line[x] < 160 ? 1 : 0;
        }
    }
    return static_cast<double>(dark) / (static_cast<double>(grey.width()) * grey.height());
}

TEST(ManualPdf, EveryPageRendersWithTextOnIt) {
    TempDir temp;
    const QString prefix = QString::fromStdString(temp.File("page"));
    const ToolRun run =
        RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"),
                                             QStringLiteral("-png"), ManualPdf, prefix});
    ASSERT_TRUE(run.started) << "pdftoppm (poppler-utils) is needed for this test";
    ASSERT_EQ(run.exitCode, 0) << "pdftoppm could not read " << ManualPdf.toStdString();

    const QStringList pages =
        QDir(QString::fromStdString(temp.Path().string()))
            .entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
    ASSERT_GE(pages.size(), 2);
    for (const QString& name : pages) {
        const QImage page(QString::fromStdString(temp.File(name.toStdString())));
        ASSERT_FALSE(page.isNull()) << name.toStdString();
        EXPECT_LT(page.width(), page.height()) << name.toStdString() << " is not portrait";
        const double ink = Ink(page);
        EXPECT_GT(ink, 0.002) << name.toStdString() << " is blank";
        EXPECT_LT(ink, 0.5) << name.toStdString() << " is mostly dark";
    }
}

TEST(ManualPdf, TokenTableGivesEachTokenItsDecimalAndHexValue) {
    const QString text = PdfText();
    for (const ControlTokens::Token& token : ControlTokens::All) {
        const QString name =
            QString::fromLatin1(token.text.data(), static_cast<qsizetype>(token.text.size()));
        const QString hex = QStringLiteral("%1").arg(token.byte, 2, 16, QLatin1Char('0')).toUpper();
        // The token, its decimal value and its hexadecimal value, in that order on one line.
        const QString row = QRegularExpression::escape(name) +
                            QStringLiteral(R"(\s+%1\s+%2\s)").arg(token.byte).arg(hex);
        EXPECT_TRUE(text.contains(QRegularExpression(row)))
            << "no table row for " << name.toStdString();
    }
}

TEST(ManualPdf, AngleBracketsThatAreNoTokensSurvive) {
    const QString text = PdfText();
    for (const char* written : {"<esc>", "<HT>", "<SP>", "<<ESC>>", "<ESC>E", "<CR><LF>"}) {
        EXPECT_TRUE(text.contains(QLatin1String(written))) << written;
    }
}

TEST(ManualPdf, FirstPageCarriesTheTitleAndAPageNumber) {
    const QString first = PdfText(
        {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1")});
    EXPECT_TRUE(first.contains(QStringLiteral("Tolvenmark Manual")));
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral(R"(Page 1 of \d+)"))));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
