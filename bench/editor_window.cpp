// The editor as bench_window measures it: started exactly as the zeltrix program starts it, it
// reports when its window is visible. With --play-seconds S it then presses Play, lets playback
// settle for a second, and prints the process's CPU time per second of playback over S seconds
// and the canvas updates (timer ticks) per second, then quits.
#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <sys/resource.h>

#include "editor/canvas_widget.h"
#include "editor/edit_frame.h"
#include "editor/editor_start.h"
#include "window_probe.h"

namespace {

double ProcessCpuSeconds()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the paints of the canvas: one per timer tick while playing.
class TPaintCounter : public QObject
{
public:
  explicit TPaintCounter(QWidget *widget) { widget->installEventFilter(this); }
  int Count = 0;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override
  {
    if (event->type() == QEvent::Paint)
      ++Count;
    return QObject::eventFilter(watched, event);
  }
};

// Presses Play, waits a second, then measures seconds of playback and quits.
void MeasurePlayback(TEditFrame &window, TPaintCounter &paints, double seconds)
{
  window.SpeedButton12->click();
  QTimer::singleShot(1000, &window, [&window, &paints, seconds] {
    const double cpu = ProcessCpuSeconds();
    const long long start = MonotonicNanoseconds();
    const int ticks = paints.Count;
    QTimer::singleShot(int(seconds * 1000), &window, [&paints, cpu, start, ticks] {
      const double elapsed = double(MonotonicNanoseconds() - start) / 1e9;
      std::printf("playback %.6f %.3f\n", (ProcessCpuSeconds() - cpu) / elapsed, (paints.Count - ticks) / elapsed);
      std::fflush(stdout);
      QApplication::quit();
    });
  });
}

} // namespace

int main(int argc, char **argv)
{
  // As the zeltrix program's own start.
  QApplication app(argc, argv);
  SetUpEditorApplication();

  QCommandLineParser parser;
  AddStartArguments(parser);
  parser.addOption({"play-seconds", "Measure S seconds of playback, then quit.", "S"});
  parser.process(app);
  const double playSeconds = parser.value("play-seconds").toDouble();

  TEditFrame window(StartOptionsFrom(parser));
  TPaintCounter paints(window.DXDraw1);
  TWindowProbe probe(&window, [&] {
    if (playSeconds > 0)
      QTimer::singleShot(500, &window, [&] { MeasurePlayback(window, paints, playSeconds); });
  });
  window.show();
  window.activateWindow();
  window.OfferRecoveries();
  return app.exec();
}
