// The platform's own UDP sockets (POSIX, or Winsock under Wine) on the loopback address, alone
// and under a hosted source.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "net/socket_services.h"
#include "sources/flightgear_source.h"
#include "sources/source_host.h"
#include "sources/xplane_packets.h"
#include "sources/xplane_source.h"
#include "tests/sources/xplane_datagrams.h"

namespace quorvane::net {
namespace {

using namespace std::chrono_literals;

// A socket on a free loopback port, closed at the end of the test.
class LoopbackSocket {
 public:
  LoopbackSocket() {
    std::string error;
    socket_ = sockets().OpenUdp({kLoopbackAddress, 0}, error);
    EXPECT_NE(socket_, 0u) << error;
    sockets().LocalEndpoint(socket_, local_);
  }
  ~LoopbackSocket() { sockets().Close(socket_); }
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  static SocketServices& sockets() { return PlatformSocketServices(); }
  SocketServices::Socket socket() const { return socket_; }
  const Endpoint& local() const { return local_; }
  bool Send(const Endpoint& to, const std::string& text) {
    return sockets().SendTo(socket_, to, reinterpret_cast<const std::uint8_t*>(text.data()),
                            text.size());
  }
  bool Send(const Endpoint& to, const std::vector<std::uint8_t>& bytes) {
    return sockets().SendTo(socket_, to, bytes.data(), bytes.size());
  }
  // Waits up to 5 s for a datagram.
  std::string Receive(Received* details = nullptr, std::size_t capacity = 2048) {
    std::vector<std::uint8_t> buffer(capacity);
    const Received received = sockets().Receive(socket_, buffer.data(), buffer.size(), 5000);
    if (details != nullptr) {
      *details = received;
    }
    return std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(received.size));
  }

 private:
  SocketServices::Socket socket_ = 0;
  Endpoint local_;
};

TEST(PlatformSockets, CarryDatagramsWithTheirSenderOnLoopback) {
  LoopbackSocket a;
  LoopbackSocket b;
  EXPECT_EQ(a.local().address, kLoopbackAddress);
  EXPECT_NE(a.local().port, 0) << "a free port was chosen";
  ASSERT_TRUE(a.Send(b.local(), "21.3,-157.9,3001.7,350.2,9.4,110.4\n"));
  ASSERT_TRUE(a.Send(b.local(), ""));
  Received received;
  EXPECT_EQ(b.Receive(&received), "21.3,-157.9,3001.7,350.2,9.4,110.4\n");
  EXPECT_EQ(received.status, ReceiveStatus::Datagram);
  EXPECT_EQ(received.sender, a.local());
  EXPECT_FALSE(received.truncated);
  EXPECT_EQ(b.Receive(&received), "") << "an empty datagram is a datagram";
  EXPECT_EQ(received.status, ReceiveStatus::Datagram);
}

TEST(PlatformSockets, ReportTimeOutsCutDatagramsAndPortsInUse) {
  LoopbackSocket a;
  LoopbackSocket b;
  std::uint8_t byte = 0;
  EXPECT_EQ(LoopbackSocket::sockets().Receive(b.socket(), &byte, 1, 0).status,
            ReceiveStatus::TimedOut);

  ASSERT_TRUE(a.Send(b.local(), std::string(3000, 'x')));
  Received received;
  EXPECT_EQ(b.Receive(&received, 2048), std::string(2048, 'x'));
  EXPECT_TRUE(received.truncated);

  std::string error;
  const SocketServices::Socket again = LoopbackSocket::sockets().OpenUdp(b.local(), error);
  EXPECT_EQ(again, 0u);
  EXPECT_NE(error.find("cannot listen on " + FormatEndpoint(b.local())), std::string::npos)
      << error;
}

TEST(PlatformSockets, ResolveNamesOfThisComputer) {
  std::uint32_t address = 0;
  std::string error;
  ASSERT_TRUE(LoopbackSocket::sockets().Resolve("localhost", address, error)) << error;
  EXPECT_TRUE(IsLoopback(address));
  ASSERT_TRUE(LoopbackSocket::sockets().Resolve("10.1.2.3", address, error)) << error;
  EXPECT_EQ(address, 0x0A010203u);
}

TEST(PlatformSockets, HostedFlightGearTakesLinesAndStopsCleanly) {
  sources::SteadySourceClock clock;
  sources::SourceHost host(PlatformSocketServices(),
                           std::make_unique<sources::FlightGearSource>(sources::SenderFilter{}),
                           {kLoopbackAddress, 0}, clock);
  std::string error;
  ASSERT_TRUE(host.Start(error)) << error;
  const Endpoint listening = host.LocalEndpoint();
  EXPECT_NE(listening.port, 0);
  LoopbackSocket flightgear;
  ASSERT_TRUE(flightgear.Send(listening, "21.3189041,-157.9365388,3001.7,350.27,9.49,110.4\n"));
  ASSERT_TRUE(host.WaitForReading(5s));
  EXPECT_DOUBLE_EQ(host.Current()->longitude, -157.9365388);
  host.Stop();
  EXPECT_FALSE(host.Running());
  // The port is free again, and the host can listen once more.
  const SocketServices::Socket reused = PlatformSocketServices().OpenUdp(listening, error);
  EXPECT_NE(reused, 0u) << error;
  PlatformSocketServices().Close(reused);
  ASSERT_TRUE(host.Start(error)) << error;
  EXPECT_EQ(host.LocalEndpoint().address, kLoopbackAddress);
  EXPECT_EQ(host.Counts().accepted, 1u);
}

TEST(PlatformSockets, HostedXPlaneSubscribesIsAnsweredAndUnsubscribes) {
  LoopbackSocket xplane;
  sources::SteadySourceClock clock;
  sources::SourceHost host(PlatformSocketServices(),
                           std::make_unique<sources::XPlaneSource>(xplane.local()),
                           {kLoopbackAddress, 0}, clock);
  std::string error;
  ASSERT_TRUE(host.Start(error)) << error;
  Received received;
  EXPECT_EQ(xplane.Receive(&received), std::string("RPOS\0"
                                                   "10\0",
                                                   8));
  const Endpoint client = received.sender;
  EXPECT_EQ(client, host.LocalEndpoint());
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(xplane.Receive().size(), sources::kRrefRequestSize);
  }
  xplane.Send(client, testing::RposDatagram(50.0875, 14.421, 400.0, 10.0f, 90.0f));
  xplane.Send(client, testing::RrefDatagram({{sources::XPlaneSource::kTrueHeadingIndex, 90.0f},
                                             {sources::XPlaneSource::kMagneticHeadingIndex, 85.0f},
                                             {sources::XPlaneSource::kGroundSpeedIndex, 60.0f}}));
  ASSERT_TRUE(host.WaitForReading(5s));
  EXPECT_DOUBLE_EQ(host.Current()->magvar, 5.0);
  host.Stop();
  EXPECT_EQ(xplane.Receive(), std::string("RPOS\0"
                                          "0\0",
                                          7));
  for (int i = 0; i < 4; ++i) {
    const std::string request = xplane.Receive();
    ASSERT_EQ(request.size(), sources::kRrefRequestSize);
    EXPECT_EQ(request[5], 0) << "rate 0 ends the subscription";
  }
}

}  // namespace
}  // namespace quorvane::net
