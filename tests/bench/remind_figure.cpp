// The reminders' figure: "lunaret --remind" on a store of 50 users with 300 cycles each, all
// with a reminder due, against a notification service of its own; CPU time (user + system) and
// peak memory of the run, beside the peak memory of the program showing its login dialog.
// Usage: lunaret_remind_figure [runs]   (default 9; needs a display for the login dialog)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "../core/test_support.h"
#include "../ui/fake_notifications.h"
#include "core/cycles/dates.h"
#include "core/store/reminder_store.h"
#include "core/store/statistics_store.h"

extern char** environ;

namespace lunaret {
namespace {

constexpr int kUsers = 50;
constexpr int kCycles = 300;

// Each user's last first day 26 days ago, 300 cycles of 28 days before it: her next period is
// due in 2 days, which the reminder two days before tells her.
void FillStore(UserStore& store) {
  const QDate today = QDate::currentDate();
  auto at = [&](int daysAgo) {
    const QDate day = today.addDays(-daysAgo);
    return MakeTimeValue(MakeDate(day.year(), day.month(), day.day()), 1, 1, 1);
  };
  ReminderSettings settings;
  settings.beforePeriod = settings.showDetails = true;
  StoreTransaction transaction(store.registry());
  for (int u = 0; u < kUsers; ++u) {
    const std::string user = "user" + std::to_string(u);
    store.SetPassword(user, "a");
    store.SetDuration(user, "28");
    store.SetCycleStart(user, at(26));
    std::vector<StatisticsRecord> records;
    for (int cycle = kCycles; cycle >= 1; --cycle)
      records.push_back({at(26 + 28 * cycle), at(26 + 28 * cycle - 14)});
    SaveStatistics(store, user, records);
    SaveReminderSettings(store, user, settings);
  }
}

struct Run {
  double cpuMs = 0;
  long peakKiB = 0;
  int status = -1;
};

// Runs the program with arguments in the environment plus extra, answering the bus meanwhile.
Run Measure(const std::string& program, std::vector<std::string> arguments,
            const std::vector<std::string>& extra) {
  std::vector<std::string> environment(extra);
  for (char** e = environ; *e != nullptr; ++e)
    environment.emplace_back(*e);
  arguments.insert(arguments.begin(), program);
  auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& s : strings)
      list.push_back(s.data());
    list.push_back(nullptr);
    return list;
  };
  std::vector<char*> argv = pointers(arguments), envp = pointers(environment);
  pid_t pid = 0;
  Run run;
  // The probe's "shown" line is not a figure.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0)
    return run;
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, WNOHANG, &usage) == 0)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  run.peakKiB = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

int Main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  QTemporaryDir home;
  const std::string data = home.filePath(QStringLiteral("data")).toStdString();
  test::PrivateSessionBus bus(home.filePath(QStringLiteral("bus.conf")));
  if (!bus.Started()) {
    std::fprintf(stderr, "remind figure: no session bus of its own\n");
    return 1;
  }
  const std::unique_ptr<Registry> registry = test::OpenStore(data + "/lunaret/registry.db");
  UserStore store(test::Got(registry, "the store"));
  FillStore(store);

  const std::string program = QCoreApplication::applicationDirPath().toStdString() + "/lunaret";
  const std::vector<std::string> environment = {
      "DBUS_SESSION_BUS_ADDRESS=" + bus.Address().toStdString(), "XDG_DATA_HOME=" + data};
  std::vector<double> cpu;
  std::vector<long> peak, shownPeak;
  for (int i = 0; i <= runs; ++i) {  // the first run warms the file cache up
    for (int u = 0; u < kUsers; ++u)
      SaveRemindersSent(store, "user" + std::to_string(u), {});
    bus.Service().calls.clear();
    const Run run = Measure(program, {"--remind"}, environment);
    if (run.status != 0 || bus.Service().calls.size() != kUsers) {
      std::fprintf(stderr, "remind figure: status %d, %lld notifications\n", run.status,
                   static_cast<long long>(bus.Service().calls.size()));
      return 1;
    }
    if (i > 0) {
      cpu.push_back(run.cpuMs);
      peak.push_back(run.peakKiB);
    }
  }
  for (int i = 0; i < 3; ++i) {
    std::vector<std::string> shownEnvironment = environment;
    shownEnvironment.push_back("LUNARET_EXIT_WHEN_SHOWN=1");
    const Run shown = Measure(program, {}, shownEnvironment);
    if (shown.status != 0) {
      std::fprintf(stderr, "remind figure: the login dialog was not shown (status %d)\n",
                   shown.status);
      return 1;
    }
    shownPeak.push_back(shown.peakKiB);
  }
  const double ratio = static_cast<double>(Median(peak)) / static_cast<double>(Median(shownPeak));
  std::printf(
      "lunaret --remind, %d users x %d cycles, %d notifications a run, median of %d runs:\n"
      "  CPU %.1f ms (user + system; target under 100 ms)\n"
      "  peak memory %ld KiB; the login dialog's %ld KiB: %.2fx (target at most 1.2x)\n",
      kUsers, kCycles, kUsers, runs, Median(cpu), Median(peak), Median(shownPeak), ratio);
  return 0;
}

}  // namespace
}  // namespace lunaret

int main(int argc, char** argv) {
  return lunaret::Main(argc, argv);
}
