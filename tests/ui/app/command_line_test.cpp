#include "app/command_line.h"

#include <gtest/gtest.h>

namespace lunaret {
namespace {

TEST(CommandLineTest, HelpVersionAndMistakes) {
  struct Case {
    QStringList arguments;
    std::optional<int> status;
    const char* output;  // a piece of standard output
    const char* errors;  // a piece of standard error
  };
  const Case cases[] = {
      {{}, std::nullopt, "", ""},
      {{"-platform", "offscreen", "--style=fusion"}, std::nullopt, "", ""},
      {{"--version"}, 0, "Lunaret " LUNARET_VERSION "\n", ""},
      {{"--help"}, 0, "Usage: lunaret [options]", ""},
      {{"--bogus"}, CommandLine::kUsageError, "", "Unknown option 'bogus'"},
      {{"--help-all"}, CommandLine::kUsageError, "", "Usage: lunaret [options]"},
      {{"stray"}, CommandLine::kUsageError, "", "unexpected argument 'stray'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CommandLine line(QStringList{QStringLiteral("lunaret")} + c.arguments);
    EXPECT_EQ(line.ExitStatus(), c.status);
    EXPECT_TRUE(line.Output().contains(QString::fromUtf8(c.output)));
    EXPECT_TRUE(line.Errors().contains(QString::fromUtf8(c.errors)));
    EXPECT_EQ(line.Output().isEmpty(), *c.output == '\0');
  }
}

}  // namespace
}  // namespace lunaret
