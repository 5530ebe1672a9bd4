#pragma once

#include <QProxyStyle>

// Draws a frame's caption in the colour of an active window's title bar. Qt has no such
// role, so the palette's highlight colour stands in: desktop themes give it their accent
// colour, which is what their active title bars use. Set on the frames only; the controls
// inside them keep the application's style.
class FrameCaptionStyle final : public QProxyStyle {
public:
    // Follows the application's current style.
    FrameCaptionStyle();

    // Styles differ in where they take a frame caption's colour from: some ask the style
    // hint, others (Fusion) use the frame's window-text colour. Both are answered.
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

    static QColor CaptionColour(const QPalette& palette);
};
