#include "ui/code_box/code_font.h"

#include <QFontDatabase>

QFont CodeFont() {
    const QString family = QStringLiteral("Courier New");
    QFont font = QFontDatabase::hasFamily(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}
