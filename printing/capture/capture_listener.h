#pragma once

#include "printing/capture/capture_options.h"

#include <memory>
#include <vector>

class CaptureReport;

// tolvenmark-cli capture's network side: listens on every endpoint of the options as a
// socket printer or a line printer daemon, and keeps each job in the folder (JobFolder).
// One thread, one io_context. At most options.maxConnections senders are served at once;
// then a newcomer takes the place of one that gives way (GiveWay), and waits in the
// system's accept queue while none does. SIGINT and SIGTERM stop it: no new
// connection is taken, the jobs in progress get options.stopGrace to finish, and those
// still going then are cut off and kept as .partial.
class CaptureListener {
public:
    CaptureListener(const CaptureOptions& options, CaptureReport& report);
    ~CaptureListener();
    CaptureListener(const CaptureListener&) = delete;
    CaptureListener& operator=(const CaptureListener&) = delete;

    // Opens every endpoint and reports where it listens. Throws FileError when the folder
    // is no folder, std::runtime_error naming the endpoint that cannot be opened.
    void Listen();

    // Where it listens, once Listen has opened every endpoint: each with the port it took.
    std::vector<CaptureOptions::Endpoint> Endpoints() const;

    // Serves until a stop signal; returns its number.
    int Run();

private:
    struct State;
    std::unique_ptr<State> state_;
};
