#include "ui/main/frame_caption_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

FrameCaptionStyle::FrameCaptionStyle()
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

QColor FrameCaptionStyle::CaptionColour(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Highlight);
}

int FrameCaptionStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                 QStyleHintReturn* returnData) const {
    if (hint == SH_GroupBox_TextLabelColor) {
        const QPalette& palette =
            option != nullptr ? option->palette
                              : (widget != nullptr ? widget->palette() : QApplication::palette());
        return static_cast<int>(CaptionColour(palette).rgba());
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void FrameCaptionStyle::drawComplexControl(ComplexControl control,
                                           const QStyleOptionComplex* option, QPainter* painter,
                                           const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || frame == nullptr) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionGroupBox captioned(*frame);
    const QColor colour = CaptionColour(frame->palette);
    captioned.textColor = colour;
    captioned.palette.setColor(QPalette::WindowText, colour);
    QProxyStyle::drawComplexControl(control, &captioned, painter, widget);
}
