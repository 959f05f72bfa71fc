#include "editor/editor_start.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

#include "core/qt_text.h"

void SetUpEditorApplication()
{
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName("zeltrix");
  QApplication::setApplicationVersion(ZELTRIX_VERSION);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("zeltrix");
}

void AddStartArguments(QCommandLineParser &parser)
{
  parser.addOption({"game-dir", "Index the game folder DIR instead of the program's folder.", "DIR"});
  parser.addPositionalArgument("file", "The animation to open (default: idle).", "[FILE]");
}

TStartOptions StartOptionsFrom(const QCommandLineParser &parser)
{
  TStartOptions options;
  options.GameFolder = PathFromQt(parser.value("game-dir"));
  if (!parser.positionalArguments().isEmpty())
    options.File = PathFromQt(parser.positionalArguments().first());
  options.ProgramFolder = PathFromQt(QApplication::applicationDirPath());
  options.RecoveryFolder =
      PathFromQt(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/recovery");
  return options;
}
