// zeltrix [--game-dir DIR] [FILE]: the animation editor.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QStandardPaths>

#include "core/qt_text.h"
#include "editor/edit_frame.h"

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  // The main window quits when its close is accepted; closing the last dialog never does.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName("zeltrix");
  QApplication::setApplicationVersion(ZELTRIX_VERSION);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("zeltrix");

  QCommandLineParser parser;
  parser.setApplicationDescription("Zeltrix - The Zelto Animation Editor");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOption({"game-dir", "Index the game folder DIR instead of the program's folder.", "DIR"});
  parser.addPositionalArgument("file", "The animation to open (default: idle).", "[FILE]");
  parser.process(app);

  TStartOptions options;
  options.GameFolder = PathFromQt(parser.value("game-dir"));
  if (!parser.positionalArguments().isEmpty())
    options.File = PathFromQt(parser.positionalArguments().first());
  options.ProgramFolder = PathFromQt(QApplication::applicationDirPath());
  options.RecoveryFolder =
      PathFromQt(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/recovery");

  TEditFrame window(std::move(options));
  window.show();
  window.activateWindow();
  window.OfferRecoveries();
  return app.exec();
}
