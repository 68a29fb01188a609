// Other processes on the same store file: one killed in the middle of a save, and two
// writing at once. The test binary runs itself again as those processes (child roles).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/statistics.h"
#include "core/store_file.h"
#include "core/user_store.h"
#include "recording_registry.h"
#include "records.h"
#include "test_store.h"
#include "test_support.h"

extern char** environ;

namespace lunaret {
namespace {

constexpr int kRecords = 10000;

std::vector<StatisticsRecord> Generation(int generation, int count) {
  std::vector<StatisticsRecord> records;
  records.reserve(count);
  for (int i = 0; i < count; ++i)
    records.push_back({generation * 1000000 + i * 86400, i % 3 == 0 ? 0 : generation + i});
  return records;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Starts the test binary as a child with the given role and extra environment.
pid_t Spawn(const std::string& role, const std::vector<std::string>& extra) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable)
    variables.push_back(*variable);
  variables.push_back("LUNARET_CORE_CHILD=" + role);
  for (const std::string& variable : extra)
    variables.push_back(variable);
  std::vector<char*> envp;
  for (std::string& variable : variables)
    envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::string binary = test::TestBinaryPath();
  char* argv[] = {binary.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, binary.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
    return -1;
  return pid;
}

// Waits until fd has a byte to read or its writers are gone; false after timeoutMs.
bool WaitReadable(int fd, int timeoutMs) {
  pollfd poll_fd{fd, POLLIN, 0};
  return poll(&poll_fd, 1, timeoutMs) == 1;
}

// Waits for the child to end; kills it and returns false when it takes longer than timeoutMs.
bool WaitForExit(pid_t pid, int timeoutMs, int* status) {
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (waitpid(pid, status, WNOHANG) == pid)
      return true;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, status, 0);
  return false;
}

// Child role: saves generation 2 over the store, telling the parent through LUNARET_CHILD_FD
// when the save has made LUNARET_CHILD_AT writes; with LUNARET_CHILD_HOLD it then stops
// there until it is killed.
const bool kSaveRole = test::RegisterChildRole("save", [] {
  StoreOpenResult result;
  auto backend = OpenSqliteStore(Env("LUNARET_CHILD_STORE"), &result);
  if (!backend)
    return 3;
  const int fd = std::atoi(Env("LUNARET_CHILD_FD").c_str());
  const int at = std::atoi(Env("LUNARET_CHILD_AT").c_str());
  const bool hold = !Env("LUNARET_CHILD_HOLD").empty();
  test::RecordingRegistry registry(*backend);
  registry.beforeSetValue = [&](int writes) {
    if (writes != at)
      return;
    if (write(fd, "x", 1) != 1)
      _exit(4);
    while (hold)
      pause();
  };
  UserStore store(registry);
  StoreTransaction transaction(registry);
  store.SetCycleStart("Anna", 2);
  SaveStatistics(store, "Anna", Generation(2, kRecords));
  return transaction.Commit() ? 0 : 5;
});

class KilledSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(backend_.ok());
    SaveStatistics(backend_.store(), "Anna", Generation(1, kRecords / 2));
    backend_.store().SetCycleStart("Anna", 1);
  }

  // Runs the save in a child, kills it after `at` writes and returns what the store holds.
  void KillSaveAfter(int at, bool hold) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::vector<std::string> extra = {"LUNARET_CHILD_STORE=" + backend_.path(),
                                      "LUNARET_CHILD_FD=" + std::to_string(fds[1]),
                                      "LUNARET_CHILD_AT=" + std::to_string(at)};
    if (hold)
      extra.push_back("LUNARET_CHILD_HOLD=1");
    const pid_t pid = Spawn("save", extra);
    close(fds[1]);
    ASSERT_GT(pid, 0);
    const bool reached = WaitReadable(fds[0], 120000);
    char byte = 0;
    const bool signalled = reached && read(fds[0], &byte, 1) == 1;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(fds[0]);
    ASSERT_TRUE(signalled) << "the child never reached write " << at;
    if (hold) {
      ASSERT_TRUE(WIFSIGNALED(status));
      EXPECT_EQ(WTERMSIG(status), SIGKILL);
    }
  }

  test::TestStore backend_;
};

TEST_F(KilledSaveTest, AKillInTheMiddleLeavesTheOldRecords) {
  KillSaveAfter(kRecords, /*hold=*/true);  // half of the new records written
  backend_.Reopen();
  ASSERT_TRUE(backend_.ok());
  EXPECT_EQ(LoadStatistics(backend_.store(), "Anna"), Generation(1, kRecords / 2));
  EXPECT_EQ(backend_.store().GetCycleStart("Anna"), 1);
  // The store goes on working.
  SaveStatistics(backend_.store(), "Anna", Generation(3, 10));
  EXPECT_EQ(LoadStatistics(backend_.store(), "Anna"), Generation(3, 10));
}

TEST_F(KilledSaveTest, AKillAtAnyMomentLeavesOneCompleteSet) {
  for (int at : {1, 2 * kRecords + 1, 2 * kRecords + 3}) {
    KillSaveAfter(at, /*hold=*/false);
    backend_.Reopen();
    ASSERT_TRUE(backend_.ok());
    const auto loaded = LoadStatistics(backend_.store(), "Anna");
    const TimeValue start = backend_.store().GetCycleStart("Anna");
    if (start == 1) {
      EXPECT_EQ(loaded, Generation(1, kRecords / 2)) << "killed after write " << at;
    } else {
      EXPECT_EQ(start, 2);
      EXPECT_EQ(loaded, Generation(2, kRecords)) << "killed after write " << at;
      // Start the next round from the old set again.
      SaveStatistics(backend_.store(), "Anna", Generation(1, kRecords / 2));
      backend_.store().SetCycleStart("Anna", 1);
    }
  }
}

// Child role: waits until the parent lets go, then registers users, saves statistics in
// transactions and writes numbered values of a shared user, checking every result.
const bool kWriterRole = test::RegisterChildRole("writer", [] {
  const int go = std::atoi(Env("LUNARET_CHILD_GO").c_str());
  char byte = 0;
  if (read(go, &byte, 1) < 0)
    return 6;
  const std::string name = Env("LUNARET_CHILD_NAME");
  const int base = std::atoi(Env("LUNARET_CHILD_BASE").c_str());
  StoreOpenResult result;
  auto registry = OpenSqliteStore(Env("LUNARET_CHILD_STORE"), &result);
  if (!registry) {
    std::fprintf(stderr, "open failed: %d\n", static_cast<int>(result));
    return 3;
  }
  UserStore store(*registry);
  for (int i = 0; i < 60; ++i) {
    const std::string user = name + std::to_string(i);
    if (!store.SetPassword(user, "pw" + std::to_string(i)))
      return 4;
    store.SetCycleStart(user, base + i);
    store.SetStatisticsDate("Shared", base + i, base + i);
    if (i % 12 == 0) {
      StoreTransaction transaction(*registry);
      SaveStatistics(store, name, Generation(base + i, 200));
      if (!transaction.Commit())
        return 5;
    }
  }
  return 0;
});

TEST(ConcurrentWriters, TwoProcessesWritingAtOnceBothSucceed) {
  test::TempFolder folder;
  ASSERT_FALSE(folder.path().empty());
  const std::string path = folder.path() + "/lunaret/registry.db";  // both create it
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  // Only the read end goes to the children: they start when its last writer, this process,
  // closes it.
  ASSERT_EQ(fcntl(go[1], F_SETFD, FD_CLOEXEC), 0);
  std::vector<pid_t> children;
  for (const auto& [name, base] : {std::pair{"A", 0}, std::pair{"B", 1000}}) {
    children.push_back(Spawn(
        "writer",
        {"LUNARET_CHILD_STORE=" + path, "LUNARET_CHILD_GO=" + std::to_string(go[0]),
         std::string("LUNARET_CHILD_NAME=") + name, "LUNARET_CHILD_BASE=" + std::to_string(base)}));
    ASSERT_GT(children.back(), 0);
  }
  close(go[0]);
  close(go[1]);  // both start now
  for (pid_t child : children) {
    int status = 0;
    ASSERT_TRUE(WaitForExit(child, 120000, &status)) << "a writer hangs";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }

  StoreOpenResult result;
  auto registry = OpenSqliteStore(path, &result);
  ASSERT_NE(registry, nullptr);
  UserStore store(*registry);
  EXPECT_EQ(store.ListUsers().size(), 2u * 60 + 3);  // the users, A, B and Shared
  for (const auto& [name, base] : {std::pair{"A", 0}, std::pair{"B", 1000}}) {
    for (int i = 0; i < 60; ++i) {
      const std::string user = name + std::to_string(i);
      std::string password;
      ASSERT_TRUE(store.GetPassword(user, &password)) << user;
      EXPECT_EQ(password, "pw" + std::to_string(i));
      EXPECT_EQ(store.GetCycleStart(user), base + i);
      EXPECT_EQ(store.GetStatisticsDate("Shared", base + i), base + i);
    }
    EXPECT_EQ(LoadStatistics(store, name), Generation(base + 48, 200));
  }
}

}  // namespace
}  // namespace lunaret
