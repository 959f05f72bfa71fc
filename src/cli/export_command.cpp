// velk export FILE... -o OUT: animations drawn by the scene renderer into animated GIFs, PNG frames
// or sprite sheets; several files on every core (cli/task_pool.h).
#include <QBuffer>
#include <QRegularExpression>
#include <filesystem>
#include <set>

#include "cli/animation_folder.h"
#include "cli/animation_inputs.h"
#include "cli/command.h"
#include "cli/export_frames.h"
#include "cli/gif_writer.h"
#include "cli/output_set.h"
#include "cli/sprite_sheet.h"
#include "cli/task_pool.h"
#include "core/file_io.h"
#include "core/helpers.h"
#include "model/actor_attributes.h"
#include "model/document.h"
#include "scene/renderer.h"

namespace fs = std::filesystem;

namespace {

enum class TFormat { Gif, Png, Sheet };

struct TExportOptions
{
  TFormat Format = TFormat::Gif;
  int Dir = 2;
  TExportLook Look;
  TTaskRun Run; // the processes that export; its items are filled in later
  bool Worker = false;
  QString Output;
};

bool Usage(const std::string &message)
{
  Fail(message, ExitUsageError);
  return false;
}

// "#RRGGBB", "transparent" or a colour name of the movies' attributes ("white", "darkred"...), in
// any case.
bool ParseBackground(const QString &text, TExportLook &look)
{
  const std::string word = LowerCase(NameFromQt(text));
  if (word == "transparent") {
    look.Transparent = true;
    return true;
  }
  for (int i = 0; i < ColorNameCount; ++i)
    if (word == ColorNames[size_t(i)]) {
      look.Background = ColorNameRgb(i);
      return true;
    }
  static const QRegularExpression colour("^#([0-9A-Fa-f]{6})$");
  const QRegularExpressionMatch match = colour.match(text);
  if (match.hasMatch())
    look.Background = match.captured(1).toInt(nullptr, 16);
  return match.hasMatch();
}

bool ParseExportOptions(const QStringList &args, QCommandLineParser &parser, TExportOptions &options)
{
  QCommandLineOption outOption({"o", "output"},
                               "The GIF or sheet PNG file for one FILE; a folder (created when missing) for several "
                               "files, a folder, or --format png.",
                               "OUT");
  QCommandLineOption formatOption("format", "gif (default), png (one PNG per frame) or sheet (PNG and JSON index).",
                                  "FORMAT", "gif");
  QCommandLineOption dirOption("dir", "The direction of gif and png: 0 up, 1 left, 2 down (default), 3 right.", "D",
                               "2");
  QCommandLineOption zoomOption("zoom", "Scales the frames, nearest neighbour: 1 to 16 (default 1).", "Z", "1");
  QCommandLineOption backgroundOption(
      "background",
      "#RRGGBB, a colour name (white, black, red...) or transparent, in any case; default the document's "
      "back colour.",
      "COLOR");
  parser.addOptions({outOption, formatOption, dirOption, zoomOption, backgroundOption, JobsOption()});
  parser.setApplicationDescription(
      "Draws animations without the editor's strip, guides and time line, each in the box of all its frames, "
      "into an animated GIF, one PNG per frame (FILE-dD-fN.png) or a sprite sheet of all four directions.");
  parser.addPositionalArgument("FILE", "animations (names resolved in the game folder, or paths) or folders",
                               "FILE...");
  if (!ParseSubcommand(parser, args, 1, true))
    return false;
  options.Worker = WorkerMode();
  options.Output = parser.value(outOption);
  const QString format = parser.value(formatOption);
  if (format == "gif")
    options.Format = TFormat::Gif;
  else if (format == "png")
    options.Format = TFormat::Png;
  else if (format == "sheet")
    options.Format = TFormat::Sheet;
  else
    return Usage("--format must be gif, png or sheet");
  bool dirOk = false, zoomOk = false;
  options.Dir = parser.value(dirOption).toInt(&dirOk);
  options.Look.Zoom = parser.value(zoomOption).toDouble(&zoomOk);
  if (!options.Worker && options.Output.isEmpty())
    return Usage("-o OUT is required");
  if (!dirOk || options.Dir < 0 || options.Dir > 3)
    return Usage("--dir must be 0, 1, 2 or 3");
  if (!zoomOk || !(options.Look.Zoom >= 1.0 && options.Look.Zoom <= MaxExportZoom))
    return Usage("--zoom must lie between 1 and 16");
  if (parser.isSet(backgroundOption) && !ParseBackground(parser.value(backgroundOption), options.Look))
    return Usage("--background must be #RRGGBB, a colour name or transparent");
  return ApplyJobsOption(parser, options.Run);
}

// One animation to export: where it is read from, the path its outputs are named after (the GIF
// or sheet file itself, or the prefix of the PNG frames), and the animation's name without
// extension, after which a sheet's index names the frames as the png format names their files.
struct TExportItem
{
  std::string Name, Target, Stem;

  // Names hold any byte but NUL.
  QByteArray Encode() const
  {
    return QByteArray::fromStdString(Name) + '\0' + QByteArray::fromStdString(Target) + '\0' +
           QByteArray::fromStdString(Stem);
  }
  static TExportItem Decode(const QByteArray &bytes)
  {
    const QList<QByteArray> fields = bytes.split('\0');
    if (fields.size() != 3)
      return {};
    return {fields[0].toStdString(), fields[1].toStdString(), fields[2].toStdString()};
  }
};

bool EncodePng(const QImage &image, QByteArray &png)
{
  QBuffer buffer(&png);
  return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
}

bool AddPng(TOutputSet &outputs, const QImage &image, const std::string &path, std::string &error)
{
  QByteArray png;
  if (!EncodePng(image, png)) {
    error = "cannot encode " + path;
    return false;
  }
  return outputs.Add(path, png, error);
}

std::string JsonPathFor(const std::string &sheetPath)
{
  fs::path path(sheetPath);
  return path.replace_extension(".json").string();
}

// Draws one animation and writes its outputs, all or none; false with the reason.
bool ExportOne(TExportRenderer &renderer, const TExportOptions &options, const TExportItem &item, std::string &error)
{
  const std::vector<int> directions =
      options.Format == TFormat::Sheet ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{options.Dir};
  TExportedAnimation animation;
  if (!renderer.Draw(item.Name, directions, options.Look, animation, error))
    return false;
  TOutputSet outputs;
  switch (options.Format) {
  case TFormat::Gif: {
    std::vector<TGifFrame> frames;
    for (const TExportFrame &frame : animation.Frames)
      frames.push_back({&frame.Image, frame.Ticks});
    QByteArray gif;
    if (!EncodeGif(frames, animation.Loop, gif, error) || !outputs.Add(item.Target, gif, error))
      return false;
    break;
  }
  case TFormat::Png:
    for (const TExportFrame &frame : animation.Frames)
      if (!AddPng(outputs, frame.Image, item.Target + FrameFileName("", frame.Dir, frame.Index), error))
        return false;
    break;
  case TFormat::Sheet: {
    const QRgb background = 0xFF000000u | QRgb(animation.Background);
    TSpriteSheet sheet;
    if (!BuildSpriteSheet(animation, item.Stem, fs::path(item.Target).filename().string(), background, sheet, error) ||
        !AddPng(outputs, sheet.Image, item.Target, error) || !outputs.Add(JsonPathFor(item.Target), sheet.Json, error))
      return false;
    break;
  }
  }
  return outputs.Commit(error);
}

TTask ExportTask(const TExportOptions &options, std::shared_ptr<TExportRenderer> renderer)
{
  return [options, renderer](const QByteArray &bytes) {
    std::string error;
    if (ExportOne(*renderer, options, TExportItem::Decode(bytes), error))
      return TTaskResult{ExitOk, {}};
    return TTaskResult{ExitInputError, QByteArray::fromStdString(error)};
  };
}

// Where each animation's outputs go: OUT itself for a single GIF or sheet, else files in the folder
// OUT named after the animation.
std::vector<TExportItem> PlanItems(const TExportOptions &options, const std::vector<TAnimationInput> &inputs,
                                   bool several)
{
  const std::string out = NameFromQt(options.Output);
  const char *extension = options.Format == TFormat::Gif ? ".gif" : ".png";
  std::vector<TExportItem> items;
  for (const TAnimationInput &input : inputs) {
    const std::string stem = fs::path(input.OutputStem).filename().string();
    if (!several && options.Format != TFormat::Png)
      items.push_back({input.Name, out, stem});
    else if (options.Format == TFormat::Png)
      items.push_back({input.Name, (fs::path(out) / input.OutputStem).string(), stem});
    else
      items.push_back({input.Name, (fs::path(out) / input.OutputStem).string() + extension, stem});
  }
  return items;
}

// The first output that would replace one of the inputs, as "OUTPUT would overwrite the input
// INPUT"; empty when none would.
std::string OverwrittenInput(const TExportOptions &options, const std::vector<TExportItem> &items, bool intoFolder)
{
  std::vector<std::string> files;
  for (const TExportItem &item : items)
    if (const std::string file = AnimationFile(item.Name); !file.empty())
      files.push_back(file);
  const TInputFiles inputs(files);
  auto problem = [](const std::string &output, const std::string &input) {
    return input.empty() ? std::string() : output + " would overwrite the input " + input;
  };
  const std::string out = NameFromQt(options.Output);
  if (intoFolder)
    if (const std::string input = inputs.Find(out); !input.empty())
      return problem(out, input);
  for (const TExportItem &item : items) {
    std::string found;
    if (options.Format == TFormat::Png) {
      const std::string folder = fs::path(item.Target).parent_path().string();
      if (const std::string input = inputs.FindFrame(folder.empty() ? "." : folder, item.Stem); !input.empty())
        return item.Target + "-dD-fN.png would overwrite the input " + input;
      continue;
    }
    if (std::string message = problem(item.Target, inputs.Find(item.Target)); !message.empty())
      return message;
    if (options.Format == TFormat::Sheet)
      if (std::string message = problem(JsonPathFor(item.Target), inputs.Find(JsonPathFor(item.Target)));
          !message.empty())
        return message;
  }
  return {};
}

} // namespace

int RunExport(const QStringList &args)
{
  QCommandLineParser parser;
  TExportOptions options;
  if (!ParseExportOptions(args, parser, options))
    return ExitUsageError;
  SetUpGameFolder(parser);
  if (options.Worker)
    return ServeTasks(ExportTask(options, std::make_shared<TExportRenderer>()));

  const QStringList arguments = parser.positionalArguments();
  const TAnimationInputs inputs = CollectAnimations(arguments);
  const bool several = arguments.size() > 1 || IsFolderArgument(arguments.first());
  const std::vector<TExportItem> items = PlanItems(options, inputs.Files, several);
  std::set<std::string> targets;
  for (const TExportItem &item : items)
    if (!targets.insert(item.Target).second)
      return Fail("two animations would be written to " + item.Target, ExitUsageError);
  if (const std::string overwritten = OverwrittenInput(options, items, several || options.Format == TFormat::Png);
      !overwritten.empty())
    return Fail(overwritten, ExitUsageError);

  int code = ExitOk;
  for (const std::string &folder : inputs.EmptyFolders) {
    Fail("cannot export " + folder + ": holds no .velk files");
    code = ExitInputError;
  }
  TTaskRun run = options.Run;
  run.ProgressVerb = "exporting";
  run.WorkerArguments = args.mid(1);
  run.WorkerArguments.prepend("export");
  for (const TExportItem &item : items)
    run.Items.push_back(item.Encode());
  const std::vector<TTaskResult> results =
      RunTasks(run, [&options] { return ExportTask(options, std::make_shared<TExportRenderer>()); });

  for (size_t i = 0; i < items.size(); ++i) {
    if (results[i].Code == ExitOk && !results[i].Lost)
      continue;
    const std::string reason = results[i].Lost ? "the worker process stopped" : results[i].Payload.toStdString();
    Fail("cannot export " + items[i].Name + ": " + reason);
    code = ExitInputError;
  }
  // The outputs reach the disk before the run reports them written.
  std::set<std::string> folders;
  for (size_t i = 0; i < items.size(); ++i)
    if (results[i].Code == ExitOk && !results[i].Lost) {
      const std::string folder = fs::path(items[i].Target).parent_path().string();
      folders.insert(folder.empty() ? "." : folder);
    }
  std::string error;
  if (!SyncFileSystems(std::vector<std::string>(folders.begin(), folders.end()), &error))
    return Fail("cannot write the outputs to disk: " + error, ExitInputError);
  return code;
}
