// Renders the user manual from Markdown to the PDF that the Help menu opens.
//
//   manual_renderer MANUAL.md OUTPUT.pdf [VERSION]
//
// Runs without a display (Qt's offscreen platform), so the build can make the manual on a
// headless machine. A4 pages with margins, a running footer and page numbers.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr double BodyPointSize = 10;
// The same size as the body: the two DejaVu faces then share one line height, so the cells
// of a table row that meets the foot of a page move to the next page together.
constexpr double CodePointSize = 10;
constexpr double FooterPointSize = 8;

const QColor RuleGrey{150, 150, 150};
const QColor HeaderShade{228, 232, 238};
const QColor CodeShade{243, 243, 243};

QFont BodyFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(BodyPointSize);
    return font;
}

// A font whose every character has one width, so tokens, byte columns and command lines
// line up. The first family the system really has wins; the style hint covers the rest.
QFont CodeFont() {
    const QStringList families = QFontDatabase::families();
    QFont font;
    for (const char* name : {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono",
                             "Nimbus Mono PS", "Courier New"}) {
        if (families.contains(QLatin1String(name))) {
            font.setFamily(QLatin1String(name));
            break;
        }
    }
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(CodePointSize);
    return font;
}

bool IsCode(const QTextCharFormat& format) {
    return format.fontFixedPitch() || QFontInfo(format.font()).fixedPitch();
}

struct CodeRun {
    int start;
    int end;
    int weight;
};

// Code spans and code blocks get the one fixed-pitch font, whatever the importer chose;
// code blocks are also shaded and indented.
void UseCodeFont(QTextDocument& document) {
    std::vector<CodeRun> runs;
    std::vector<int> codeBlocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const bool codeBlock =
            format.hasProperty(QTextFormat::BlockCodeFence) || format.nonBreakableLines();
        if (codeBlock) {
            codeBlocks.push_back(block.position());
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            if (codeBlock || IsCode(piece.charFormat())) {
                runs.push_back({piece.position(), piece.position() + piece.length(),
                                piece.charFormat().fontWeight()});
            }
        }
    }

    const QFont code = CodeFont();
    for (const CodeRun& run : runs) {
        QTextCursor cursor(&document);
        cursor.setPosition(run.start);
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFont(code, QTextCharFormat::FontPropertiesAll);
        format.setFontWeight(run.weight);
        cursor.mergeCharFormat(format);
    }
    // A fenced block arrives as one block per line: space goes only above its first line
    // and below its last.
    for (std::size_t i = 0; i < codeBlocks.size(); ++i) {
        const QTextBlock block = document.findBlock(codeBlocks[i]);
        const bool first = i == 0 || document.findBlock(codeBlocks[i - 1]).next() != block;
        const bool last =
            i + 1 == codeBlocks.size() || block.next() != document.findBlock(codeBlocks[i + 1]);
        QTextBlockFormat shaded = block.blockFormat();
        shaded.setBackground(CodeShade);
        // Long command lines wrap rather than run off the page.
        shaded.setNonBreakableLines(false);
        shaded.setLeftMargin(12);
        shaded.setTopMargin(first ? 4 : 0);
        shaded.setBottomMargin(last ? 6 : 0);
        QTextCursor(block).setBlockFormat(shaded);
    }
}

// Air above each section heading, more for a section than for a subsection.
void SpaceHeadings(QTextDocument& document) {
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() > 0) {
            format.setTopMargin(format.headingLevel() <= 2 ? 14 : 8);
            format.setBottomMargin(4);
            QTextCursor(block).setBlockFormat(format);
        }
    }
}

void ShadeHeaderRow(QTextTable* table) {
    for (int column = 0; column < table->columns(); ++column) {
        QTextTableCell cell = table->cellAt(0, column);
        QTextCharFormat format = cell.format();
        format.setBackground(HeaderShade);
        cell.setFormat(format);
    }
}

// Thin ruled tables with room in the cells, the header row shaded and repeated on every
// page a table runs over.
void RuleTables(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderBrush(RuleGrey);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderCollapse(true);
            format.setCellPadding(4);
            format.setTopMargin(4);
            format.setBottomMargin(8);
            format.setCellSpacing(0);
            format.setHeaderRowCount(1);
            table->setFormat(format);
            ShadeHeaderRow(table);
        }
        RuleTables(child);
    }
}

int PageOf(double y, double pageHeight) {
    return static_cast<int>(y / pageHeight);
}

// Where a block's first line ends, in document coordinates.
double FirstLineBottom(QAbstractTextDocumentLayout& layout, const QTextBlock& block) {
    const QRectF box = layout.blockBoundingRect(block);
    const QTextLayout* lines = block.layout();
    if (lines == nullptr || lines->lineCount() == 0) {
        return box.bottom();
    }
    return box.top() + lines->lineAt(0).rect().bottom();
}

void BreakBefore(const QTextBlock& block) {
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).setBlockFormat(format);
}

void BreakBefore(QTextTable* table) {
    QTextTableFormat format = table->format();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(format);
}

bool IsHeading(const QTextBlock& block) {
    return block.blockFormat().headingLevel() > 0;
}

// The first of the headings that stand directly above a block: a break goes before them
// all, never between a heading and what it heads.
QTextBlock WithItsHeadings(QTextBlock block) {
    for (QTextBlock above = block.previous(); above.isValid() && IsHeading(above);
         above = above.previous()) {
        block = above;
    }
    return block;
}

// A heading whose text starts on the next page goes there too.
bool MoveLoneHeading(QTextDocument& document, double pageHeight) {
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (!IsHeading(block) || !next.isValid() ||
            block.blockFormat().pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore) {
            continue;
        }
        const double headingTop = layout.blockBoundingRect(block).top();
        if (PageOf(headingTop, pageHeight) != PageOf(FirstLineBottom(layout, next), pageHeight)) {
            BreakBefore(WithItsHeadings(block));
            return true;
        }
    }
    return false;
}

bool IsCodeLine(const QTextBlock& block) {
    return block.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
}

bool RunsOverPageBreak(const QRectF& box, double pageHeight) {
    return box.height() < pageHeight / 3 &&
           PageOf(box.top(), pageHeight) != PageOf(box.bottom() - 1, pageHeight);
}

// Moves a short table or code block to the next page. A heading or a sentence that
// introduces it with a colon goes along.
void MoveToNextPage(const QTextBlock& firstLine, QTextTable* table) {
    const QTextBlock lead = firstLine.previous();
    if (lead.isValid() && (IsHeading(lead) || lead.text().trimmed().endsWith(QLatin1Char(':')))) {
        BreakBefore(WithItsHeadings(lead));
    } else if (table != nullptr) {
        BreakBefore(table);
    } else {
        BreakBefore(firstLine);
    }
}

// A short table that would run over a page break starts on the next page instead, so
// that none of its rows is cut in two.
bool MoveSplitShortTable(QTextDocument& document, double pageHeight) {
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    for (QTextFrame* child : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(child);
        if (table != nullptr &&
            table->format().pageBreakPolicy() != QTextFormat::PageBreak_AlwaysBefore &&
            RunsOverPageBreak(layout.frameBoundingRect(table), pageHeight)) {
            MoveToNextPage(table->firstCursorPosition().block(), table);
            return true;
        }
    }
    return false;
}

// The same for a short code block: its lines stay on one page.
bool MoveSplitShortCode(QTextDocument& document, double pageHeight) {
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    for (QTextBlock first = document.begin(); first.isValid(); first = first.next()) {
        if (!IsCodeLine(first) || IsCodeLine(first.previous())) {
            continue;
        }
        QTextBlock last = first;
        while (IsCodeLine(last.next())) {
            last = last.next();
        }
        const QRectF box = layout.blockBoundingRect(first).united(layout.blockBoundingRect(last));
        if (first.blockFormat().pageBreakPolicy() != QTextFormat::PageBreak_AlwaysBefore &&
            RunsOverPageBreak(box, pageHeight)) {
            MoveToNextPage(first, nullptr);
            return true;
        }
        first = last;
    }
    return false;
}

// Page breaks placed by hand where the layout's own would leave a heading, a short table
// or a short code block cut off. Each move shifts what follows, so the checks run again
// until nothing moves.
void KeepTogether(QTextDocument& document, double pageHeight) {
    for (int pass = 0; pass < 100; ++pass) {
        if (!MoveSplitShortTable(document, pageHeight) &&
            !MoveSplitShortCode(document, pageHeight) && !MoveLoneHeading(document, pageHeight)) {
            return;
        }
    }
}

std::optional<QString> ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

void DrawFooter(QPainter& painter, const QRectF& area, const QString& left, const QString& right) {
    QFont font = BodyFont();
    font.setPointSizeF(FooterPointSize);
    painter.setFont(font);
    painter.setPen(RuleGrey);
    painter.drawLine(area.topLeft(), area.topRight());
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom, left);
    painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, right);
}

bool Render(QTextDocument& document, const QString& outputPath, const QString& footer) {
    QPdfWriter writer(outputPath);
    writer.setTitle(QStringLiteral("Tolvenmark Manual"));
    writer.setCreator(QStringLiteral("Tolvenmark"));
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(22, 20, 22, 14), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    const double footerHeight = writer.resolution() * 0.35; // about 9 mm
    const QSizeF body(writer.width(), writer.height() - footerHeight);
    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    document.setPageSize(body);
    KeepTogether(document, body.height());

    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            writer.newPage();
        }
        const QRectF pageBody(QPointF(0, page * body.height()), body);
        painter.save();
        painter.setClipRect(QRectF(QPointF(0, 0), body));
        painter.translate(0, -pageBody.top());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = pageBody;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        DrawFooter(painter,
                   QRectF(0, body.height() + footerHeight * 0.3, body.width(), footerHeight * 0.7),
                   footer, QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
    return painter.end();
}

} // namespace

int main(int argc, char** argv) {
    // A build tool never needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 3 || arguments.size() > 4) {
        std::fprintf(stderr, "usage: manual_renderer MANUAL.md OUTPUT.pdf [VERSION]\n");
        return 2;
    }
    const std::optional<QString> markdown = ReadText(arguments[1]);
    if (!markdown) {
        std::fprintf(stderr, "manual_renderer: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }

    QTextDocument document;
    document.setDefaultFont(BodyFont());
    // No raw HTML: a token such as <ESC> written outside a code span stays text instead of
    // being swallowed as an unknown tag.
    document.setMarkdown(*markdown,
                         QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                         QTextDocument::MarkdownNoHTML));
    UseCodeFont(document);
    SpaceHeadings(document);
    RuleTables(document.rootFrame());

    QString footer = QStringLiteral("Tolvenmark Manual");
    if (arguments.size() == 4) {
        footer += QStringLiteral(" \u2014 version ") + arguments[3];
    }
    if (!Render(document, arguments[2], footer)) {
        std::fprintf(stderr, "manual_renderer: cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }
    return 0;
}
