// Other processes on the same store file: one killed in the middle of a save, and two
// writing at once.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/statistics.h"
#include "core/store_file.h"
#include "core/user_store.h"
#include "recording_registry.h"
#include "test_store.h"

namespace lunaret {
namespace {

constexpr int kRecords = 10000;

std::vector<StatisticsRecord> Generation(int generation, int count) {
  std::vector<StatisticsRecord> records;
  for (int i = 0; i < count; ++i)
    records.push_back({generation * 1000000 + i * 86400, i % 3 == 0 ? 0 : generation + i});
  return records;
}

// Runs work in a child process, which ends with its result without running anything of this
// one's. The parent must have no connection to the store open: SQLite's locks do not survive
// a fork.
pid_t Fork(const std::function<int()>& work) {
  const pid_t pid = fork();
  if (pid == 0)
    _exit(work());
  return pid;
}

// Waits for the child to end; kills it and returns false when it takes longer than two minutes.
bool WaitForExit(pid_t pid, int* status) {
  for (int waited = 0; waited < 120000; waited += 10) {
    if (waitpid(pid, status, WNOHANG) == pid)
      return true;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, status, 0);
  return false;
}

// A child saves 10,000 records of generation 2 (and the cycle start 2) over 5,000 of
// generation 1 and is killed after a number of writes: held there, in the middle of its
// transaction, or running on, at any moment near its end. The store holds one complete set.
TEST(KilledSave, AKillAtAnyMomentLeavesTheOldOrTheNewRecordsComplete) {
  test::TempFolder folder;
  const std::string path = folder.path() + "/registry.db";
  const auto open = [&] {
    StoreOpenResult result;
    auto registry = OpenSqliteStore(path, &result);
    EXPECT_NE(registry, nullptr);
    return registry;
  };
  const auto saveOld = [&] {
    auto registry = open();
    UserStore store(*registry);
    SaveStatistics(store, "Anna", Generation(1, kRecords / 2));
    store.SetCycleStart("Anna", 1);
  };
  saveOld();
  const struct {
    int at;
    bool hold;
  } kills[] = {{kRecords, true}, {1, false}, {2 * kRecords + 1, false}, {2 * kRecords + 3, false}};
  for (const auto& cut : kills) {
    SCOPED_TRACE("killed after write " + std::to_string(cut.at));
    int signal[2];
    ASSERT_EQ(pipe(signal), 0);
    const pid_t pid = Fork([&] {
      auto backend = open();
      if (!backend)
        return 3;
      test::RecordingRegistry registry(*backend);
      registry.beforeSetValue = [&](int writes) {
        if (writes == cut.at && write(signal[1], "x", 1) == 1)
          while (cut.hold)
            pause();
      };
      UserStore store(registry);
      StoreTransaction transaction(registry);
      store.SetCycleStart("Anna", 2);
      SaveStatistics(store, "Anna", Generation(2, kRecords));
      return transaction.Commit() ? 0 : 5;
    });
    ASSERT_GT(pid, 0);
    close(signal[1]);
    char byte = 0;
    const bool reached = read(signal[0], &byte, 1) == 1;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(signal[0]);
    ASSERT_TRUE(reached) << "the child never got there";
    EXPECT_TRUE(!cut.hold || (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL));

    auto registry = open();
    UserStore store(*registry);
    const TimeValue start = store.GetCycleStart("Anna");
    EXPECT_EQ(LoadStatistics(store, "Anna"),
              start == 1 ? Generation(1, kRecords / 2) : Generation(2, kRecords));
    EXPECT_TRUE(!cut.hold || start == 1) << "the save was held in its middle";
    registry.reset();
    if (start != 1)
      saveOld();  // the next kill starts from the old set again
  }
  auto registry = open();  // and the store goes on working
  UserStore store(*registry);
  SaveStatistics(store, "Anna", Generation(3, 10));
  EXPECT_EQ(LoadStatistics(store, "Anna"), Generation(3, 10));
}

// Two processes register users, save statistics in transactions and write numbered values of
// one shared user at the same time, both creating the store; each checks every result.
TEST(ConcurrentWriters, TwoProcessesWritingAtOnceBothSucceed) {
  test::TempFolder folder;
  const std::string path = folder.path() + "/lunaret/registry.db";
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (const auto& [name, base] : {std::pair{"A", 0}, std::pair{"B", 1000}}) {
    children.push_back(Fork([&, name = std::string(name), base = base] {
      close(go[1]);
      char byte = 0;
      if (read(go[0], &byte, 1) < 0)  // starts when the parent closes its end
        return 6;
      StoreOpenResult result;
      auto registry = OpenSqliteStore(path, &result);
      if (!registry)
        return 3;
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
    }));
    ASSERT_GT(children.back(), 0);
  }
  close(go[0]);
  close(go[1]);  // both start now
  for (pid_t child : children) {
    int status = 0;
    ASSERT_TRUE(WaitForExit(child, &status)) << "a writer hangs";
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
