// Security of the POSIX link: the socket folder, the socket and the block are the user's alone,
// the client never talks to a server run by another user, a server never settles in a socket
// folder that is not its user's own, and a block name someone else took is never used.
// The cases with another user run quorvane-sim as the unprivileged user 65534 through setpriv,
// so they need root; they skip otherwise.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/fsuipc_link.h"
#include "link/posix/link_services_posix.h"
#include "link/posix/posix_wire.h"
#include "tests/support/child_process.h"
#include "tests/support/sim_process.h"

namespace quorvane {
namespace {

using testing::ChildProcess;
using testing::PrivateRuntimeDir;
using testing::ReadLines;
using testing::SimProcess;
using testing::WaitFor;

constexpr uid_t kOtherUser = 65534;  // "nobody"
constexpr gid_t kOtherGroup = 65534;
constexpr const char* kNotRootMessage =
    "needs root: runs quorvane-sim as user 65534 with setpriv, and chowns files to it";

std::string BlockName() {
  return "/" + FsuipcLink::MappingName(static_cast<std::uint32_t>(::getpid()));
}

std::string BlockFile() {
  return "/dev/shm" + BlockName();
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path << ": " << std::strerror(errno);
  return info;
}

// The number of this process's open file descriptors.
std::size_t OpenDescriptors() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries))) - 1;  // its own
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// quorvane-sim run as user 65534 from a copy in folder (so that the user can execute it
// wherever the build lies), with folder as its working folder and a log of its exchanges there.
class OtherUsersServer {
 public:
  OtherUsersServer(const std::string& folder, std::vector<std::string> options)
      : log_(folder + "/other-user-exchanges.log"), ready_(folder + "/other-user-ready") {
    const std::string program = folder + "/quorvane-sim-copy";
    std::filesystem::copy_file(QUORVANE_SIM_PATH, program);
    ::chmod(program.c_str(), 0755);
    std::vector<std::string> arguments = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                          program};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), {"--log", log_, "--ready-file", ready_});
    process_ = std::make_unique<ChildProcess>("/usr/bin/setpriv", arguments, folder);
  }
  ~OtherUsersServer() {
    process_->Signal(SIGTERM);
    EXPECT_EQ(process_->Wait(30000), 0) << "quorvane-sim, run as another user, ended badly";
  }

  bool WaitUntilReady() {
    return WaitFor([this] { return Exists(ready_) || !process_->Running(); }, 10000) &&
           Exists(ready_);
  }
  // The exchanges the server received, one line each.
  std::vector<std::string> LoggedExchanges() const { return ReadLines(log_); }

 private:
  std::string log_;
  std::string ready_;
  std::unique_ptr<ChildProcess> process_;
};

class PosixLinkSecurityTest : public ::testing::Test {
 protected:
  ~PosixLinkSecurityTest() override {
    ::umask(saved_umask_);
    link.Close();
  }

  mode_t saved_umask_ = ::umask(022);
  PrivateRuntimeDir runtime;
  std::string socket_folder = posix_wire::SocketDirectory();
  PosixLinkServices services;
  FsuipcLink link{services};
  LinkResult result = LinkResult::Okay;
};

// --- Modes and owners ---

TEST_F(PosixLinkSecurityTest, FolderSocketAndBlockArePrivateEvenUnderAnOpenUmask) {
  ::umask(0);  // inherited by the server; neither side may rely on a strict one
  SimProcess sim({});
  ASSERT_TRUE(sim.WaitUntilReady());
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);

  const struct stat folder = StatOf(socket_folder);
  EXPECT_TRUE(S_ISDIR(folder.st_mode));
  EXPECT_EQ(folder.st_uid, ::geteuid());
  EXPECT_EQ(folder.st_mode & 07777, 0700u);

  const struct stat socket = StatOf(*posix_wire::SocketPath("UIPCMAIN"));
  EXPECT_TRUE(S_ISSOCK(socket.st_mode));
  EXPECT_EQ(socket.st_uid, ::geteuid());
  EXPECT_EQ(socket.st_mode & 07777, 0600u);

  const struct stat block = StatOf(BlockFile());
  EXPECT_EQ(block.st_uid, ::geteuid());
  EXPECT_EQ(block.st_mode & 07777, 0600u);
}

TEST_F(PosixLinkSecurityTest, ServerClosesItsOwnFolderLeftOpenToOthers) {
  ASSERT_EQ(::mkdir(socket_folder.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(socket_folder.c_str(), 0777), 0);
  SimProcess sim({});
  ASSERT_TRUE(sim.WaitUntilReady());
  EXPECT_EQ(StatOf(socket_folder).st_mode & 07777, 0700u);
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
}

// --- A server run by another user ---

class OtherUsersServerTest : public PosixLinkSecurityTest,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(OtherUsersServerTest, IsRefusedAsNoServerNeverSentARequestAndLetGo) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << kNotRootMessage;
  }
  // The other user may create the socket folder in the runtime folder, as if it were theirs.
  ASSERT_EQ(::chown(runtime.path().c_str(), kOtherUser, kOtherGroup), 0);
  OtherUsersServer server(runtime.path(), {"--class", GetParam()});
  ASSERT_TRUE(server.WaitUntilReady());
  const struct stat socket = StatOf(*posix_wire::SocketPath(GetParam()));
  ASSERT_TRUE(S_ISSOCK(socket.st_mode));
  ASSERT_EQ(socket.st_uid, kOtherUser) << "the client must reach the other user's server";

  const std::size_t descriptors = OpenDescriptors();
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(OpenDescriptors(), descriptors) << "the refused connection is closed";
  EXPECT_EQ(result, LinkResult::NoServer);
  EXPECT_STREQ(LinkResultMessage(result), "Cannot link to FSUIPC or WideClient");
  EXPECT_FALSE(Exists(BlockFile())) << "no block is made for a refused server";
  EXPECT_TRUE(server.LoggedExchanges().empty());
}

INSTANTIATE_TEST_SUITE_P(EitherClass, OtherUsersServerTest,
                         ::testing::Values("UIPCMAIN", "FS98MAIN"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

// --- A socket folder that is not the server's own ---

struct ForeignFolderCase {
  const char* name;
  bool needs_root;
  // Puts something that is not a folder of this user where the socket folder goes.
  std::function<void(const std::string& runtime, const std::string& socket_folder)> plant;
};

void PrintTo(const ForeignFolderCase& folder_case, std::ostream* out) {
  *out << folder_case.name;
}

class ForeignSocketFolderTest : public PosixLinkSecurityTest,
                                public ::testing::WithParamInterface<ForeignFolderCase> {};

TEST_P(ForeignSocketFolderTest, ServerRefusesToStartAndLeavesItAsItWas) {
  if (GetParam().needs_root && ::geteuid() != 0) {
    GTEST_SKIP() << kNotRootMessage;
  }
  GetParam().plant(runtime.path(), socket_folder);
  const struct stat before = StatOf(socket_folder);

  ChildProcess sim(QUORVANE_SIM_PATH, {"--ready-file", runtime.path() + "/ready"}, runtime.path());
  EXPECT_EQ(sim.Wait(10000), 1);
  EXPECT_FALSE(Exists(runtime.path() + "/ready"));

  const struct stat after = StatOf(socket_folder);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_mode, before.st_mode) << "the server must not change what it refused";
  EXPECT_TRUE(std::filesystem::is_empty(runtime.path() + "/elsewhere"));
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::NoServer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForeignSocketFolderTest,
    ::testing::Values(ForeignFolderCase{"OwnedByAnotherUser", true,
                                        [](const std::string& runtime, const std::string& folder) {
                                          std::filesystem::create_directory(runtime + "/elsewhere");
                                          ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
                                          ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
                                          ASSERT_EQ(
                                              ::chown(folder.c_str(), kOtherUser, kOtherGroup), 0);
                                        }},
                      ForeignFolderCase{"SymbolicLinkToAFolderOfOurs", false,
                                        [](const std::string& runtime, const std::string& folder) {
                                          std::filesystem::create_directory(runtime + "/elsewhere");
                                          ::chmod((runtime + "/elsewhere").c_str(), 0755);
                                          ASSERT_EQ(::symlink("elsewhere", folder.c_str()), 0);
                                        }},
                      ForeignFolderCase{"PlainFile", false,
                                        [](const std::string& runtime, const std::string& folder) {
                                          std::filesystem::create_directory(runtime + "/elsewhere");
                                          std::ofstream(folder) << "not a folder";
                                        }}),
    [](const ::testing::TestParamInfo<ForeignFolderCase>& info) { return info.param.name; });

// --- A block name already taken ---

class TakenBlockNameTest : public PosixLinkSecurityTest {
 protected:
  ~TakenBlockNameTest() override { ::unlink(BlockFile().c_str()); }

  // Opens a link to a server of ours while the block name is taken: code 5, and the server is
  // never handed the block.
  void ExpectRefused() {
    const std::string log = runtime.path() + "/exchanges.log";
    SimProcess sim({"--log", log});
    ASSERT_TRUE(sim.WaitUntilReady());
    EXPECT_FALSE(link.Open(0, result));
    EXPECT_EQ(result, LinkResult::MappingFailed);
    EXPECT_EQ(static_cast<int>(result), 5);
    EXPECT_TRUE(ReadLines(log).empty());
  }
};

TEST_F(TakenBlockNameTest, AnotherUsersBlockOpenToAllIsNeitherSharedNorRemoved) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << kNotRootMessage;
  }
  const int fd = ::shm_open(BlockName().c_str(), O_CREAT | O_EXCL | O_RDWR, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::fchmod(fd, 0666), 0);
  ASSERT_EQ(::fchown(fd, kOtherUser, kOtherGroup), 0);
  const std::string contents = "someone else's data";
  ASSERT_EQ(::write(fd, contents.data(), contents.size()), static_cast<ssize_t>(contents.size()));
  ::close(fd);

  ExpectRefused();
  const struct stat after = StatOf(BlockFile());
  EXPECT_EQ(after.st_uid, kOtherUser);
  EXPECT_EQ(after.st_mode & 07777, 0666u);
  EXPECT_EQ(ReadAll(BlockFile()), contents) << "neither resized nor written";
}

TEST_F(TakenBlockNameTest, SymbolicLinkPlantedUnderTheNameIsNotFollowed) {
  const std::string target = runtime.path() + "/target";
  std::ofstream(target) << "a file of ours";
  ASSERT_EQ(::symlink(target.c_str(), BlockFile().c_str()), 0);

  ExpectRefused();
  EXPECT_TRUE(S_ISLNK(StatOf(BlockFile()).st_mode)) << "the link is left alone";
  EXPECT_EQ(ReadAll(target), "a file of ours");
}

}  // namespace
}  // namespace quorvane
