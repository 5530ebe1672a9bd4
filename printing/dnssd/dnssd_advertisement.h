#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Services of this program announced over DNS-SD through the Avahi daemon, for as long as
// the object lives: `tolvenmark-cli capture --advertise NAME` makes its listeners findable
// as printers. Each service is announced on the interface of the address it listens on
// (loopback stays on the loopback interface; 0.0.0.0 and :: on every one). The
// registration goes on on Avahi's own thread: a name another service holds is given up
// for Avahi's alternative ("NAME #2"), and the services are registered again, also when
// the daemon's own host name changes. Going, it withdraws them.
class DnssdAdvertisement {
public:
    struct Service {
        // "_pdl-datastream._tcp", "_printer._tcp".
        std::string type;
        // The numeric address it listens on, as the listener reports it.
        std::string address;
        std::uint16_t port = 0;
        // The TXT record's strings, "key=value".
        std::vector<std::string> txt;
    };
    // Told what became of the advertisement, one line each, on Avahi's thread or the
    // constructor's: 'advertised as "NAME" ...', 'the name "NAME" is taken; trying
    // "NAME #2"', 'not advertised: ...'.
    using Report = std::function<void(const std::string& line)>;

    DnssdAdvertisement(const std::string& name, std::vector<Service> services, Report report);
    ~DnssdAdvertisement();
    DnssdAdvertisement(const DnssdAdvertisement&) = delete;
    DnssdAdvertisement& operator=(const DnssdAdvertisement&) = delete;

    // Why the registration could not even begin (no daemon); empty when it began.
    const std::string& Failure() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
