#pragma once

#include <QDialog>
#include <QString>
#include <array>

class Desktop;
class QFrame;
class QLabel;
class QPushButton;

// The About window: title, version, the disclaimer and a link to the maker's web site.
// It is built afresh for every showing and closes with OK, Enter or Escape.
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    // The maker's web site, with its scheme. The link shows only its host name.
    static constexpr const char* WebAddress = "https://www.zelby-ict.example/";

    // The version numbers the window shows.
    struct Version {
        int major;
        int minor;
        int revision;
    };

    // The program's own version unless the caller names another.
    explicit frmAbout(Desktop& desktop, QWidget* parent = nullptr);
    frmAbout(Desktop& desktop, Version version, QWidget* parent = nullptr);

    // "Version " and the three numbers joined by dots, each in plain decimal.
    static QString VersionLine(Version version);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void cmdOK_Click();

private:
    void CreateControls();
    void PlaceWindow();
    void Form_Load(Version version);
    void lblWeb_Click();

    Desktop& desktop_;
    QLabel* Picture1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblWeb;
    QPushButton* cmdOK;
    // The etched rule above OK: element 1 is the grey line, element 0 the white one below it.
    std::array<QFrame*, 2> Line1;
};
