#include "ui/dialogs/frm_about.h"

#include "app_info.h"
#include "ui/desktop/desktop.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QUrl>

// The banner's resource file is compiled into this static library, where nothing else
// refers to it; without this the linker may leave it out of the program.
static void LoadAboutResources() {
    Q_INIT_RESOURCE(about);
}

namespace {

// Window and control geometry in pixels (15 twips to the pixel at 96 dots per inch).
constexpr QSize ClientSize{377, 274};
// Where the window's client area opens, from the screen's top-left corner.
constexpr QPoint ScreenPlace{156, 129};

// The banner artwork is drawn at this size and shown from the top-left corner of a smaller
// box, which cuts off its right and bottom edges.
constexpr QSize BannerSize{388, 97};
constexpr QRect BannerBox{0, 0, 377, 73};

constexpr QColor White{255, 255, 255};
constexpr QColor EtchGrey{128, 128, 128};
constexpr QColor LinkBlue{0, 0, 255};

const char* const Disclaimer = "Provided on an \"as is\" basis. Zelby ICT Services takes no "
                               "responsibility for any damage caused by using this program.";

QPixmap Banner() {
    LoadAboutResources();
    QImage image(BannerSize, QImage::Format_RGB888);
    image.fill(White);
    QSvgRenderer artwork(QStringLiteral(":/about/banner.svg"));
    QPainter painter(&image);
    artwork.render(&painter, QRectF(QPointF(0, 0), QSizeF(BannerSize)));
    return QPixmap::fromImage(image);
}

// The link's classic dialog font where the system has it, else the desktop's own font.
QFont LinkFont() {
    const QString classic = QStringLiteral("MS Sans Serif");
    QFont font;
    if (QFontDatabase::families().contains(classic, Qt::CaseInsensitive)) {
        font = QFont(classic);
        font.setPointSizeF(8.25);
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    }
    font.setUnderline(true);
    return font;
}

// Small enough that the disclaimer's three lines fit its box.
QFont DisclaimerFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8);
    return font;
}

QFont TitleFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(16);
    font.setBold(true);
    return font;
}

void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* CenteredLabel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QFrame* RuleLine(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    Paint(line, QPalette::Window, colour);
    return line;
}

} // namespace

frmAbout::frmAbout(Desktop& desktop, QWidget* parent)
    : frmAbout(desktop, {AppInfo::VersionMajor, AppInfo::VersionMinor, AppInfo::VersionRevision},
               parent) {}

frmAbout::frmAbout(Desktop& desktop, Version version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      desktop_(desktop) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setAutoFillBackground(true);
    Paint(this, QPalette::Window, White);
    CreateControls();
    Form_Load(version);
    PlaceWindow();
}

QString frmAbout::VersionLine(Version version) {
    return QStringLiteral("Version %1.%2.%3")
        .arg(version.major)
        .arg(version.minor)
        .arg(version.revision);
}

void frmAbout::CreateControls() {
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(BannerBox);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(Banner());

    lblTitle = CenteredLabel(this, "lblTitle", {64, 80, 259, 32});
    lblTitle->setFont(TitleFont());
    lblVersion = CenteredLabel(this, "lblVersion", {64, 116, 259, 15});
    lblDescription = CenteredLabel(this, "lblDescription", {64, 152, 259, 46});
    lblDescription->setFont(DisclaimerFont());
    lblDescription->setText(QString::fromUtf8(Disclaimer));

    lblWeb = CenteredLabel(this, "lblWeb", {64, 208, 265, 17});
    lblWeb->setFont(LinkFont());
    Paint(lblWeb, QPalette::WindowText, LinkBlue);
    lblWeb->setText(QUrl(QString::fromLatin1(WebAddress)).host());
    lblWeb->setCursor(Qt::PointingHandCursor);
    lblWeb->installEventFilter(this);

    Line1[1] = RuleLine(this, "Line1_1", {6, 227, 371, 1}, EtchGrey);
    Line1[0] = RuleLine(this, "Line1_0", {7, 228, 370, 2}, White);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(152, 240, 84, 23);
    Paint(cmdOK, QPalette::Button, White);
    // Default and cancel button at once: Enter clicks it, and Escape closes the window
    // the same way.
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

// The window opens at one fixed place rather than centred over its owner; setting the
// client geometry also keeps QDialog from re-centring it when shown.
void frmAbout::PlaceWindow() {
    QScreen* display = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const QPoint origin = display != nullptr ? display->geometry().topLeft() : QPoint();
    setGeometry(QRect(origin + ScreenPlace, ClientSize));
    setFixedSize(ClientSize);
}

void frmAbout::Form_Load(Version version) {
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(AppInfo::Title));
    lblVersion->setText(VersionLine(version));
    lblTitle->setText(QString::fromLatin1(AppInfo::Title));
}

void frmAbout::cmdOK_Click() {
    accept();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblWeb && event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        // A press that ends off the label is a click the user took back.
        if (release->button() == Qt::LeftButton &&
            lblWeb->rect().contains(release->position().toPoint())) {
            lblWeb_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The browser is left to itself: the window neither waits for it nor closes.
void frmAbout::lblWeb_Click() {
    const QString address = QString::fromLatin1(WebAddress);
    if (!desktop_.OpenWebAddress(address)) {
        desktop_.ShowMessage(QStringLiteral("Sorry, couldn't start application.\r\n\r\n"
                                            " Navigate manually to ") +
                             address + QLatin1Char('.'));
    }
}
