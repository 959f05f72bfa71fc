// The baseline of bench_window: a bare Qt window of the editor's first size holding one widget,
// built against Qt Widgets alone. It reports when it is visible and stays until it is ended.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "window_probe.h"

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Bare window");
  window.resize(563, 465);
  auto *button = new QPushButton("Play", &window);
  button->move(10, 10);
  TWindowProbe probe(&window);
  window.show();
  window.activateWindow();
  return app.exec();
}
