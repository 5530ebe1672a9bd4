#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>

// Buttons, icon and answer of a message box; the answers keep the numbers the classic
// message box gives (Yes is 6).
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information };
enum class MessageAnswer { Ok = 1, Yes = 6, No = 7 };

// The one file dialog the main window owns, shared by Add, Open and Save: its file-type
// list and file name keep their values from one use to the next.
struct CommonDialog {
    // Pairs of description and pattern separated by "|", e.g. "All Files (*.*)|*.*".
    QString Filter;
    QString FileName;
};

// What the windows ask of the desktop, behind one interface so that tests can script it.
class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal message box titled with the application title. With Yes and No buttons Yes
    // is the default button. Returns the button pressed.
    virtual MessageAnswer ShowMessage(const QString& text,
                                      MessageButtons buttons = MessageButtons::Ok,
                                      MessageIcon icon = MessageIcon::None) = 0;

    // Shows the open or save dialog starting at dialog.FileName and offering dialog.Filter.
    // True when the user chose a file: dialog.FileName then holds its full path. A
    // cancelled dialog changes nothing and returns false.
    virtual bool ShowOpen(CommonDialog& dialog) = 0;
    virtual bool ShowSave(CommonDialog& dialog) = 0;

    // Opens a document with the application the desktop associates with it, without
    // waiting for it. Calls failed once when the document could not be opened: at once when
    // nothing could be started, or later from the event loop when the opener ends with a
    // failure. Never calls it when the document opened.
    virtual void OpenDocument(const QString& path, std::function<void()> failed) = 0;

    // Opens a web address in the user's browser; false when nothing could be started.
    virtual bool OpenWebAddress(const QString& address) = 0;

    // Starts a program with its arguments, each passed whole, without waiting for it.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;

    // The local time of day.
    virtual QTime LocalTime() = 0;
};
