// velk check PATH...: one line per fault found in animations and whole folders of them; folders on
// every core (cli/task_pool.h).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/animation_check.h"
#include "cli/animation_inputs.h"
#include "cli/command.h"
#include "cli/task_pool.h"

namespace {

// A file's findings between a worker and velk: [[line, message], ...].
QByteArray EncodeFindings(const std::vector<TFinding> &findings)
{
  QJsonArray array;
  for (const TFinding &finding : findings)
    array.append(QJsonArray{finding.Line, ToQt(finding.Message)});
  return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::vector<TFinding> DecodeFindings(const TTaskResult &result)
{
  if (result.Lost)
    return {{0, "checking it stopped the worker process"}};
  std::vector<TFinding> findings;
  for (const QJsonValue &value : QJsonDocument::fromJson(result.Payload).array())
    findings.push_back({value[0].toInt(), FromQt(value[1].toString())});
  return findings;
}

TTask CheckTask(std::shared_ptr<TAnimationChecker> checker)
{
  return [checker](const QByteArray &name) {
    const std::vector<TFinding> findings = checker->Check(name.toStdString());
    return TTaskResult{findings.empty() ? ExitOk : ExitInputError, EncodeFindings(findings)};
  };
}

std::string FindingLine(const std::string &file, const TFinding &finding)
{
  return file + (finding.Line > 0 ? ":" + std::to_string(finding.Line) : std::string()) + ": " + finding.Message + "\n";
}

QJsonObject FindingObject(const std::string &file, const TFinding &finding)
{
  return {{"file", NameToQt(file)},
          {"line", finding.Line > 0 ? QJsonValue(finding.Line) : QJsonValue()},
          {"message", ToQt(finding.Message)}};
}

} // namespace

int RunCheck(const QStringList &args)
{
  QCommandLineParser parser;
  QCommandLineOption jsonOption("json", "Print the findings as a JSON array of {file, line, message}.");
  parser.addOptions({jsonOption, JobsOption()});
  parser.setApplicationDescription(
      "Checks animations and folders of them (every .velk file below, recursively) and prints one line per "
      "finding, FILE:LINE: message. Exit status 1 when anything was found, 0 when all is clean.");
  parser.addPositionalArgument("PATH", "animations (names resolved in the game folder, or paths) or folders",
                               "PATH...");
  if (!ParseSubcommand(parser, args, 1, true))
    return ExitUsageError;
  TTaskRun run;
  if (!ApplyJobsOption(parser, run))
    return ExitUsageError;
  SetUpGameFolder(parser);
  if (WorkerMode())
    return ServeTasks(CheckTask(std::make_shared<TAnimationChecker>()));

  const TAnimationInputs collected = CollectAnimations(parser.positionalArguments());
  const std::vector<TAnimationInput> &inputs = collected.Files;
  run.ProgressVerb = "checking";
  run.WorkerArguments = args.mid(1);
  run.WorkerArguments.prepend("check");
  for (const TAnimationInput &input : inputs)
    run.Items.push_back(QByteArray::fromStdString(input.Name));
  const std::vector<TTaskResult> results =
      RunTasks(run, [] { return CheckTask(std::make_shared<TAnimationChecker>()); });

  bool found = false;
  TStandardOutput out;
  QJsonArray array;
  // A folder without animations is a finding of its own: a check of it passes nothing.
  for (const std::string &folder : collected.EmptyFolders) {
    found = true;
    const TFinding finding{0, "holds no .velk files"};
    if (parser.isSet(jsonOption))
      array.append(FindingObject(folder, finding));
    else
      out.Write(FindingLine(folder, finding));
  }
  for (size_t i = 0; i < inputs.size(); ++i)
    for (const TFinding &finding : DecodeFindings(results[i])) {
      found = true;
      if (parser.isSet(jsonOption))
        array.append(FindingObject(inputs[i].Name, finding));
      else
        out.Write(FindingLine(inputs[i].Name, finding));
    }
  if (parser.isSet(jsonOption))
    out.Write(QJsonDocument(array).toJson(QJsonDocument::Indented));
  const int written = out.Finish();
  return written != ExitOk ? written : found ? ExitInputError : ExitOk;
}
