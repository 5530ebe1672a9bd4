#include "ui/dialogs/frm_code_select.h"

#include "core/code_table.h"
#include "ui/code_box/code_box.h"
#include "ui/code_box/code_font.h"
#include "ui/code_page/ansi_text.h"
#include "ui/twips.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QStyle>

namespace {

using Twips::ToPixels;

// A list that takes the focus without making its first entry current. A plain list view
// would, and the first arrow key would then select the second entry; here it selects the
// first, and nothing is inserted merely because the picker opened.
class CodeList final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QListWidget::focusInEvent(event);
        if (selectedItems().isEmpty() && currentItem() != nullptr) {
            selectionModel()->clearCurrentIndex();
        }
    }
};

// " ddd   notation": the byte value of column 0 and the text of column 1.
QString EntryText(int row) {
    const auto byte = static_cast<unsigned char>(CodeTable::Cell(row, 0).front());
    return QStringLiteral(" %1   ").arg(byte, 3, 10, QLatin1Char('0')) +
           AnsiText::FromBytes(CodeTable::Cell(row, 1));
}

} // namespace

frmCodeSelect::frmCodeSelect(CodeBox& txtCodes)
    : QDialog(txtCodes.window(),
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      txtCodes_(txtCodes) {
    setObjectName(QStringLiteral("frmCodeSelect"));
    setWindowTitle(QStringLiteral("Codes"));
    setModal(true);
    setFixedSize(ToPixels(1680), ToPixels(2985));

    const QFont font = CodeFont();

    lstCodes = new CodeList(this);
    lstCodes->setObjectName(QStringLiteral("lstCodes"));
    lstCodes->setFont(font);
    lstCodes->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCodes->setGeometry(0, ToPixels(240), ToPixels(1695), ToPixels(2760));

    Label1 = new QLabel(QStringLiteral(" DEC   Code"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(font);
    Label1->setGeometry(0, 0, ToPixels(1695), ToPixels(255));
    // The list draws its entries inside its frame and the item views' text margin; the
    // heading starts as far in, so the columns line up.
    Label1->setIndent(
        lstCodes->frameWidth() +
        lstCodes->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstCodes) + 1);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    Label1->setPalette(palette);
    Label1->setAutoFillBackground(true);
    // The label overlaps the list by one pixel; its lower edge stays on top.
    Label1->raise();

    connect(lstCodes, &QListWidget::itemSelectionChanged, this, &frmCodeSelect::lstCodes_Click);
}

void frmCodeSelect::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Form_Load();
    }
    QDialog::showEvent(event);
}

void frmCodeSelect::Form_Load() {
    const QSignalBlocker quiet(lstCodes);
    lstCodes->clear();
    for (int row = 0; row < CodeTable::RowCount(); ++row) {
        lstCodes->addItem(EntryText(row));
    }
    lstCodes->setFocus();
}

void frmCodeSelect::lstCodes_Click() {
    const QList<QListWidgetItem*> selected = lstCodes->selectedItems();
    if (selected.size() != 1) {
        return;
    }
    const int row = lstCodes->row(selected.front());
    txtCodes_.ReplaceSelection(AnsiText::FromBytes(CodeTable::Cell(row, 1)));
}
