#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a session ending, kill, Ctrl+C in the terminal that started
// the program) as a signal on the event loop, so that the program ends through its own
// clean-up rather than at once: a print run's destructor then withdraws the job in
// progress, which would otherwise stay pending in the spooler. The handler only writes a
// byte to a socket pair, the one thing a signal handler may safely do; the notifier reads
// it on the window's thread. One object at a time; nothing is watched on Windows, where a
// windowed program is asked to close through its windows.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void received(int signalNumber);

private:
    void Read();

    QSocketNotifier* notifier_ = nullptr;
};
