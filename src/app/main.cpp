// zeltrix [--game-dir DIR] [FILE]: the animation editor.
#include <QApplication>
#include <QCommandLineParser>

#include "editor/edit_frame.h"
#include "editor/editor_start.h"

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  SetUpEditorApplication();

  QCommandLineParser parser;
  parser.setApplicationDescription("Zeltrix - The Zelto Animation Editor");
  parser.addHelpOption();
  parser.addVersionOption();
  AddStartArguments(parser);
  parser.process(app);

  TEditFrame window(StartOptionsFrom(parser));
  window.show();
  window.activateWindow();
  window.OfferRecoveries();
  return app.exec();
}
