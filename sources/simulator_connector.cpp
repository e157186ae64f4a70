#include "sources/simulator_connector.h"

#include <algorithm>
#include <utility>

#include "sources/flightgear_source.h"
#include "sources/xplane_source.h"

namespace quorvane::sources {

namespace {

// The address of a host: dotted text at once, anything else through the resolver.
bool AddressOf(net::SocketServices& sockets, const std::string& host, std::uint32_t& address,
               std::string& error) {
  if (!PlausibleHost(host)) {
    error = "\"" + host + "\" is not a host name or address";
    return false;
  }
  if (const auto dotted = net::ParseDottedAddress(host)) {
    address = *dotted;
    return true;
  }
  return sockets.Resolve(host, address, error);
}

}  // namespace

SimulatorConnector::SimulatorConnector(LinkServices& fsuipc, net::SocketServices& sockets,
                                       SimulatorAddresses addresses, SourceClock& clock)
    : fsuipc_(fsuipc),
      sockets_(sockets),
      addresses_(std::move(addresses)),
      clock_(clock),
      routed_(fsuipc),
      link_(routed_) {
  if (addresses_.xplane_port != 0) {
    sources_.push_back(
        {Simulator::XPlane, nullptr, nullptr,
         "X-Plane at " + addresses_.xplane_host + ":" + std::to_string(addresses_.xplane_port),
         ""});
  }
  if (addresses_.flightgear_port != 0) {
    sources_.push_back({Simulator::FlightGear, nullptr, nullptr,
                        "FlightGear, listening on " + addresses_.flightgear_address + ":" +
                            std::to_string(addresses_.flightgear_port),
                        ""});
  }
}

SimulatorConnector::~SimulatorConnector() {
  link_.Close();
  StopSources();
}

bool SimulatorConnector::Open(LinkResult& result, std::chrono::milliseconds wait,
                              const std::function<bool()>& keep_waiting) {
  if (link_.IsOpen()) {
    return link_.Open(0, result);  // reports "already open" and changes nothing
  }
  answered_ = Simulator::None;
  routed_.Route(fsuipc_);
  if (link_.Open(0, result)) {
    answered_ = Simulator::Fsuipc;
    StopSources();  // no subscriptions, no ports held while FSUIPC serves
    return true;
  }
  const LinkResult fsuipc_result = result;

  StartSources();
  if (wait.count() > 0 && !WaitForAnyCurrent(wait, keep_waiting)) {
    result = fsuipc_result;  // given up: a closing window opens nothing more
    return false;
  }
  for (HostedSource& source : sources_) {
    if (!source.host || !source.host->Running() || !source.host->Current()) {
      continue;
    }
    routed_.Route(*source.services);
    LinkResult hosted = LinkResult::Okay;
    if (link_.Open(0, hosted)) {
      answered_ = source.simulator;
      result = hosted;
      return true;
    }
  }
  routed_.Route(fsuipc_);
  result = fsuipc_result;
  return false;
}

bool SimulatorConnector::WaitForAnyCurrent(std::chrono::milliseconds wait,
                                           const std::function<bool()>& keep_waiting) {
  bool any_running = false;
  for (const HostedSource& source : sources_) {
    any_running |= source.host && source.host->Running();
  }
  if (!any_running) {
    return true;  // nothing could send: no reason to wait
  }
  // The caller's window must stay responsive and take a close at once: the wait is cut into
  // slices, between which the caller handles its events and may give up.
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (keep_waiting && !keep_waiting()) {
      return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 ||
        signal_.WaitFor(std::min(left, kWaitSlice), [this] { return AnyCurrent(); })) {
      return true;
    }
  }
}

void SimulatorConnector::Close() {
  link_.Close();
  answered_ = Simulator::None;
}

std::string SimulatorConnector::AnsweredText() const {
  const HostedSource* source = Find(answered_);
  return source != nullptr && source->host ? source->host->Description() : std::string();
}

std::uint64_t SimulatorConnector::SilentExchanges() const {
  const HostedSource* source = Find(answered_);
  return source != nullptr && source->services ? source->services->SilentExchanges() : 0;
}

std::vector<SourceStatus> SimulatorConnector::Sources() const {
  std::vector<SourceStatus> statuses;
  for (const HostedSource& source : sources_) {
    SourceStatus status;
    status.simulator = source.simulator;
    status.name = source.simulator == Simulator::XPlane ? "X-Plane" : "FlightGear";
    status.where = source.where;
    status.problem = source.problem;
    if (source.host) {
      status.current = source.host->Running() && source.host->Current().has_value();
      status.counts = source.host->Counts();
    }
    statuses.push_back(status);
  }
  return statuses;
}

void SimulatorConnector::StartSources() {
  for (HostedSource& source : sources_) {
    if (source.host && source.host->Running()) {
      continue;
    }
    // A host that cannot be found, or a port in use, may be fine at the next attempt.
    if (!source.host && !(source.simulator == Simulator::XPlane ? PrepareXPlane(source)
                                                                : PrepareFlightGear(source))) {
      continue;
    }
    std::string error;
    source.problem.clear();
    if (!source.host->Start(error)) {
      source.problem = error;
    }
  }
}

void SimulatorConnector::StopSources() {
  for (HostedSource& source : sources_) {
    if (source.host) {
      source.host->Stop();
    }
  }
}

bool SimulatorConnector::PrepareXPlane(HostedSource& source) {
  std::uint32_t address = 0;
  std::string error;
  if (!AddressOf(sockets_, addresses_.xplane_host, address, error)) {
    source.problem = error;
    return false;
  }
  // X-Plane answers to the address and port its requests came from: a port of our own on the
  // loopback address for an X-Plane on this computer, on every address for another computer.
  const net::Endpoint local{net::IsLoopback(address) ? net::kLoopbackAddress : net::kAnyAddress, 0};
  source.host = std::make_unique<SourceHost>(
      sockets_, std::make_unique<XPlaneSource>(net::Endpoint{address, addresses_.xplane_port}),
      local, clock_, &signal_);
  source.services = std::make_unique<HostedLinkServices>(*source.host);
  source.problem.clear();
  return true;
}

bool SimulatorConnector::PrepareFlightGear(HostedSource& source) {
  std::uint32_t listen = 0;
  std::string error;
  if (!AddressOf(sockets_, addresses_.flightgear_address, listen, error)) {
    source.problem = error;
    return false;
  }
  SenderFilter filter;
  if (!addresses_.flightgear_host.empty()) {
    std::uint32_t sender = 0;
    if (!AddressOf(sockets_, addresses_.flightgear_host, sender, error)) {
      source.problem = error;
      return false;
    }
    filter.address = sender;
  }
  source.host = std::make_unique<SourceHost>(sockets_, std::make_unique<FlightGearSource>(filter),
                                             net::Endpoint{listen, addresses_.flightgear_port},
                                             clock_, &signal_);
  source.services = std::make_unique<HostedLinkServices>(*source.host);
  source.problem.clear();
  return true;
}

bool SimulatorConnector::AnyCurrent() const {
  for (const HostedSource& source : sources_) {
    if (source.host && source.host->Running() && source.host->Current()) {
      return true;
    }
  }
  return false;
}

const SimulatorConnector::HostedSource* SimulatorConnector::Find(Simulator simulator) const {
  for (const HostedSource& source : sources_) {
    if (source.simulator == simulator) {
      return &source;
    }
  }
  return nullptr;
}

}  // namespace quorvane::sources
