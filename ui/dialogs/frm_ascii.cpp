#include "ui/dialogs/frm_ascii.h"

#include "core/ascii_table.h"
#include "ui/code_page/oem_text.h"
#include "ui/desktop/desktop.h"
#include "ui/twips.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace {

using Twips::ToPixels;

const int ClientWidth = ToPixels(9135);
const int ClientHeight = ToPixels(7350);
const int ButtonStripTop = ToPixels(6720);
constexpr int LineCount = 2 + modAsciiStuff::RowsPerHalf;
constexpr int RowLength = 75;

// Where the glyphs of the table go: every byte in a cell of the same width, every line
// the same height, so that the rules line up whatever the glyphs' own widths are.
struct TextGrid {
    QFont font;
    int advance = 0;
    int pitch = 0;
    int baseline = 0;
};

// The largest size at which a row fits the window's width and the 34 lines fit above the
// buttons. A line may be lower than the font's full height as long as capitals and
// descenders keep clear of the next line.
TextGrid FitTextGrid(QFont font) {
    // Crisp one-pixel rules, as on a text screen, where glyphs of neighbouring lines meet.
    font.setStyleStrategy(QFont::NoAntialias);
    const int maxPitch = ButtonStripTop / LineCount;
    TextGrid grid;
    for (int pixels = 16; pixels >= 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        grid = {font, metrics.horizontalAdvance(QLatin1Char('0')),
                std::min(metrics.height(), maxPitch), 0};
        grid.baseline = (grid.pitch - metrics.height()) / 2 + metrics.ascent();
        if (grid.advance * RowLength <= ClientWidth &&
            metrics.capHeight() + metrics.descent() <= grid.pitch) {
            break;
        }
    }
    return grid;
}

bool HasFixedPitch(const QFont& font) {
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(QLatin1Char('W'));
    return advance > 0 && metrics.horizontalAdvance(QLatin1Char('i')) == advance &&
           metrics.horizontalAdvance(QLatin1Char('0')) == advance;
}

} // namespace

std::optional<QFont> frmASCII::SystemFixedFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (HasFixedPitch(font)) {
        return font;
    }
    font = QFont(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (HasFixedPitch(font)) {
        return font;
    }
    return std::nullopt;
}

frmASCII::frmASCII(Desktop& desktop, FontLookup fontLookup)
    : QWidget(nullptr, Qt::Window | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      desktop_(desktop), fontLookup_(std::move(fontLookup)) {
    setObjectName(QStringLiteral("frmASCII"));
    setWindowTitle(QStringLiteral("ASCII Table"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientWidth, ClientHeight);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Frame1 = new QWidget(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(0, ButtonStripTop, ToPixels(9375), ToPixels(735));

    cmdUpper = new QPushButton(QStringLiteral("Upper"), Frame1);
    cmdUpper->setObjectName(QStringLiteral("cmdUpper"));
    cmdUpper->setGeometry(ToPixels(8400), ToPixels(120), ToPixels(615), ToPixels(375));

    cmdLower = new QPushButton(QStringLiteral("Lower"), Frame1);
    cmdLower->setObjectName(QStringLiteral("cmdLower"));
    cmdLower->setGeometry(ToPixels(7680), ToPixels(120), ToPixels(615), ToPixels(375));

    connect(cmdUpper, &QPushButton::clicked, this, &frmASCII::cmdUpper_Click);
    connect(cmdLower, &QPushButton::clicked, this, &frmASCII::cmdLower_Click);

    surface_ = QImage(size() * devicePixelRatio(), QImage::Format_RGB32);
    surface_.setDevicePixelRatio(devicePixelRatio());
    Form_Load();
}

void frmASCII::Form_Load() {
    FillTable(false);
}

void frmASCII::cmdUpper_Click() {
    FillTable(true);
}

void frmASCII::cmdLower_Click() {
    FillTable(false);
}

void frmASCII::FillTable(bool UpperHalf) {
    const std::vector<std::string> lines = modAsciiStuff::BuildAsciiLines(UpperHalf);
    ClearSurface();
    const std::optional<QFont> font = fontLookup_();
    if (!font) {
        desktop_.ShowMessage(
            QStringLiteral("OEM font not available. Display of ASCII table not possible"));
        return;
    }
    DrawLines(*font, lines);
}

void frmASCII::ClearSurface() {
    surface_.fill(Qt::white);
    update();
}

void frmASCII::DrawLines(const QFont& font, const std::vector<std::string>& lines) {
    const TextGrid grid = FitTextGrid(font);
    QPainter painter(&surface_);
    painter.setFont(grid.font);
    painter.setPen(Qt::black);
    int top = 0;
    for (const std::string& line : lines) {
        const QString text = OemText::FromBytes(line);
        for (qsizetype column = 0; column < text.size(); ++column) {
            if (text[column] != QLatin1Char(' ')) {
                painter.drawText(
                    QPoint(static_cast<int>(column) * grid.advance, top + grid.baseline),
                    QString(text[column]));
            }
        }
        top += grid.pitch;
    }
    update();
}

void frmASCII::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), surface_);
}
