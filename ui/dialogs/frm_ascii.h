#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

class Desktop;
class QPushButton;

// The ASCII table: one half of the byte values at a time with decimal, hexadecimal and
// octal value and notation, drawn in a fixed-pitch font through the PC character set.
// A modeless tool window without owner. The table is drawn onto a picture of the window's
// client area when the window loads and when a half is chosen; a repaint only shows that
// picture again. Closing the window destroys it.
class frmASCII final : public QWidget {
    Q_OBJECT
public:
    // The fixed-pitch font the table is drawn with; nothing when the system has none.
    using FontLookup = std::function<std::optional<QFont>()>;
    static std::optional<QFont> SystemFixedFont();

    explicit frmASCII(Desktop& desktop, FontLookup fontLookup = &frmASCII::SystemFixedFont);

    // Clears the window and draws the lower half (0 to 127) or the upper half (128 to 255).
    void FillTable(bool UpperHalf);

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void cmdUpper_Click();
    void cmdLower_Click();

private:
    void Form_Load();
    void ClearSurface();
    void DrawLines(const QFont& font, const std::vector<std::string>& lines);

    Desktop& desktop_;
    FontLookup fontLookup_;
    QImage surface_;

    QWidget* Frame1 = nullptr;
    QPushButton* cmdUpper = nullptr;
    QPushButton* cmdLower = nullptr;
};
