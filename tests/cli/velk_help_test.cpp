// velk's help and the README's velk sections tell the same: each subcommand's usage line names it,
// and the options the README lists for it are those its --help offers.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <map>
#include <set>

#include "support/temp_dir.h"
#include "velk_run.h"

namespace {

// The long options named in text; "-o" stands for "--output".
std::set<std::string> LongOptions(const QString &text)
{
  std::set<std::string> options;
  static const QRegularExpression option("(?<![\\w-])(--[a-z][a-z-]*|-o)(?![\\w-])");
  for (auto it = option.globalMatch(text); it.hasNext();) {
    const QString name = it.next().captured(1);
    options.insert(name == "-o" ? "--output" : name.toStdString());
  }
  return options;
}

// The README's bullet "- `velk SUBCOMMAND ...`" of each subcommand: its code span.
std::map<QString, QString> ReadmeSynopses()
{
  const QString readme = Q(ReadWholeFile(std::string(ZELTRIX_SOURCE_DIR) + "/README.md"));
  std::map<QString, QString> synopses;
  static const QRegularExpression bullet("^- `velk ([a-z]+)([^`]*)`", QRegularExpression::MultilineOption);
  for (auto it = bullet.globalMatch(readme); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    synopses[match.captured(1)] = match.captured(2);
  }
  return synopses;
}

TEST(VelkHelp, TheReadmeListsTheOptionsEachSubcommandOffers)
{
  const std::map<QString, QString> synopses = ReadmeSynopses();
  ASSERT_EQ(synopses.size(), 8u);
  for (const auto &[command, synopsis] : synopses) {
    const VelkResult help = RunVelk({command, "--help"});
    ASSERT_EQ(help.Code, 0) << command.toStdString();
    const QString text = QString::fromUtf8(help.Out);
    EXPECT_TRUE(text.startsWith("Usage: velk " + command + " [options]")) << text.toStdString();
    const QString options = text.mid(text.indexOf("Options:"), text.indexOf("Arguments:") - text.indexOf("Options:"));
    // Option lines start two spaces in, with the names up to the next two spaces; the lines of a
    // wrapped description start further in.
    std::set<std::string> offered;
    for (const QString &line : options.split('\n'))
      if (line.startsWith("  -")) {
        const std::set<std::string> names = LongOptions(line.left(line.indexOf("  ", 2)));
        offered.insert(names.begin(), names.end());
      }
    std::set<std::string> listed = LongOptions(synopsis);
    listed.insert("--help");
    if (command != "index")
      listed.insert("--game-dir");
    EXPECT_EQ(offered, listed) << command.toStdString();
  }
}

} // namespace
