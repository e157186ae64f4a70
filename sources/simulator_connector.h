#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/fsuipc_link.h"
#include "link/link_result.h"
#include "link/link_services.h"
#include "net/socket_services.h"
#include "sources/hosted_link_services.h"
#include "sources/routed_link_services.h"
#include "sources/simulator_addresses.h"
#include "sources/source_host.h"

namespace quorvane::sources {

// Which simulator the link is open on.
enum class Simulator : std::uint8_t { None, Fsuipc, XPlane, FlightGear };

// What the connector knows of one of its network sources, for diagnostics.
struct SourceStatus {
  Simulator simulator = Simulator::None;
  std::string name;       // "X-Plane", "FlightGear"
  std::string where;      // "X-Plane at 127.0.0.1:49000", "listening on 127.0.0.1:5510"
  std::string problem;    // why it is not listening, or empty
  bool current = false;   // it has a current reading
  DatagramCounts counts;  // the datagrams received so far
};

// Finds the simulator and opens the one link that samples go through: FSUIPC first, exactly as
// the link alone does; when no FSUIPC server answers, X-Plane, then FlightGear, at the
// configured addresses. X-Plane and FlightGear are hosted in this process behind the link's
// platform services (HostedLinkServices), so the link, the sampler and everything above them
// are the same for every simulator.
//
// The network sources start with the first Open that finds no FSUIPC and keep listening (and
// X-Plane's subscriptions alive) until an Open finds FSUIPC or the connector is destroyed, so
// that a retry finds a simulator that started meanwhile at once. Used from one thread; the
// sources' own threads only receive.
class SimulatorConnector {
 public:
  SimulatorConnector(LinkServices& fsuipc, net::SocketServices& sockets,
                     SimulatorAddresses addresses, SourceClock& clock);
  ~SimulatorConnector();
  SimulatorConnector(const SimulatorConnector&) = delete;
  SimulatorConnector& operator=(const SimulatorConnector&) = delete;

  // The link samples are read through, whichever simulator it is open on.
  FsuipcLink& Link() { return link_; }

  // The longest the wait of Open goes without asking keep_waiting.
  static constexpr std::chrono::milliseconds kWaitSlice{100};

  // Opens the link: on FSUIPC when it answers; otherwise on X-Plane or FlightGear (in that order)
  // when one has sent a current reading, waiting up to `wait` for the first to do so. result is
  // the link's result: that of the simulator opened, or FSUIPC's failure when none answered
  // (code 2 "Cannot link to FSUIPC or WideClient" when no FSUIPC runs). On an open link it
  // reports 1 and changes nothing, as the link does.
  // The wait goes in slices of at most kWaitSlice; keep_waiting, when given, is asked before each
  // one, and once it says false the attempt is given up (nothing more is opened) at once.
  bool Open(LinkResult& result, std::chrono::milliseconds wait = std::chrono::milliseconds(0),
            const std::function<bool()>& keep_waiting = {});
  // Closes the link; the network sources keep listening.
  void Close();

  // The simulator the link is open on (None while closed).
  Simulator Answered() const { return answered_; }
  // What answered, for the status bar: "X-Plane 12.1.0", "FlightGear 2020.3.16", "X-Plane" or
  // "FlightGear" while open on one of them; empty for FSUIPC (whose version the caller shows
  // from the link) and while closed.
  std::string AnsweredText() const;
  // Exchanges refused since the link was opened because the simulator had stopped sending.
  std::uint64_t SilentExchanges() const;

  // The network sources and how they fare (those turned off by a port of 0 are left out).
  std::vector<SourceStatus> Sources() const;

 private:
  struct HostedSource {
    Simulator simulator;
    std::unique_ptr<SourceHost> host;
    std::unique_ptr<HostedLinkServices> services;
    std::string where;
    std::string problem;
  };

  void StartSources();
  void StopSources();
  bool PrepareXPlane(HostedSource& source);
  bool PrepareFlightGear(HostedSource& source);
  bool AnyCurrent() const;
  // Waits up to `wait` for a source to have a current reading; false when keep_waiting gave up.
  bool WaitForAnyCurrent(std::chrono::milliseconds wait, const std::function<bool()>& keep_waiting);
  const HostedSource* Find(Simulator simulator) const;

  LinkServices& fsuipc_;
  net::SocketServices& sockets_;
  SimulatorAddresses addresses_;
  SourceClock& clock_;
  ReadingSignal signal_;
  std::vector<HostedSource> sources_;  // in the order they are tried
  RoutedLinkServices routed_;
  Simulator answered_ = Simulator::None;
  FsuipcLink link_;  // last: closed before what it routes to goes away
};

}  // namespace quorvane::sources
