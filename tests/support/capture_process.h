#pragma once

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// tolvenmark-cli capture running beside a test: a socket and an LPD listener on free
// loopback ports, jobs in a folder of its own, both outputs kept in files. It is stopped
// with SIGTERM when it goes, if the test did not stop it.
class CaptureProcess {
public:
    CaptureProcess(const std::string& program, const std::vector<std::string>& options = {});
    ~CaptureProcess();
    CaptureProcess(const CaptureProcess&) = delete;
    CaptureProcess& operator=(const CaptureProcess&) = delete;

    std::uint16_t SocketPort() const { return socketPort_; }
    std::uint16_t LpdPort() const { return lpdPort_; }
    // The folder the jobs land in, and the folder around it, which must hold nothing else.
    std::string JobsDir() const { return dir_.File("jobs"); }
    const TempDir& Around() const { return dir_; }

    // The bytes of job-N plus suffix once it is there; nothing after a generous wait.
    std::optional<std::string> Job(int number, const std::string& suffix = ".prn") const;
    // Waits until standard output or standard error holds the text; false after a
    // generous wait.
    bool WaitForOut(const std::string& text) const;
    bool WaitForErr(const std::string& text) const;
    std::string Out() const { return ReadBytes(dir_.File("out")); }
    std::string Err() const { return ReadBytes(dir_.File("err")); }

    // Sends SIGTERM and returns the exit status (-1 when it did not exit normally).
    int Stop();

private:
    bool WaitFor(const std::string& file, const std::string& text) const;
    std::uint16_t PortAfter(const std::string& prefix) const;

    TempDir dir_;
    pid_t child_ = -1;
    std::uint16_t socketPort_ = 0;
    std::uint16_t lpdPort_ = 0;
};
