// Editing on the canvas and the undo history.
//   drag        press, 100 moves and a release of a 500-part frame with every part selected, the
//               canvas drawn after each move, against 101 draws of the same frame
//   history     recording, undoing and redoing n and 4n drags of alternating parts (entries that
//               do not merge): time and the memory each entry holds should stay linear
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>

#include "model/document.h"
#include "ratio_report.h"
#include "session/edit_session.h"
#include "session_stubs.h"

namespace {

// A session on the bundled game folder with a new document whose frame holds parts shadows in
// a grid, the canvas laid out at 1024 x 768.
std::unique_ptr<TEditSession> MakeSession(TNoDialogs &dialogs, int parts)
{
  auto session = std::make_unique<TEditSession>(&dialogs, nullptr, std::make_unique<TSilence>());
  TStartOptions options;
  options.GameFolder = std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";
  options.ProgramFolder = options.GameFolder;
  session->Start(options);
  session->Setup.LayOut(1024, 768, 17);
  session->NewAnimation();
  TPartList &list = *session->CurrentPartList();
  TZeltoAniSprite *shadow = FindSprite(session->GetCurrentAni(), 0);
  for (int i = 1; i < parts; ++i)
    list.push_back(
        std::make_unique<TZeltoAniPart>(TZeltoAniPart{shadow, -1, -1, (i % 25) * 12 - 150, (i / 25) * 8 - 80}));
  return session;
}

void DrawFrame(benchmark::State &state)
{
  TNoDialogs dialogs;
  auto session = MakeSession(dialogs, 500);
  session->Scene.RedrawCountdown = 20;
  for (int i = 0; i < 500; ++i)
    session->Scene.Selection.push_back(i);
  for (auto _ : state)
    for (int i = 0; i < 101; ++i)
      session->DrawCanvas();
}
BENCHMARK(DrawFrame)->Unit(benchmark::kMillisecond);

void DragFrame(benchmark::State &state)
{
  TNoDialogs dialogs;
  auto session = MakeSession(dialogs, 500);
  TEditSession &s = *session;
  const TZeltoAniPart &first = *(*s.CurrentPartList())[0];
  const int x = s.Scene.OriginX + first.X + 12, y = s.Scene.OriginY + first.Y + 8;
  for (auto _ : state) {
    for (int i = 0; i < 500; ++i)
      s.Scene.Selection.push_back(i);
    s.MouseDown(false, x, y);
    // Back and forth, so that every part stays in view and the next pass starts alike.
    for (int i = 1; i <= 100; ++i) {
      s.MouseMove(x + (i <= 50 ? i : 100 - i), y);
      s.DrawCanvas();
    }
    s.MouseUp(x, y);
    s.DrawCanvas();
  }
}
BENCHMARK(DragFrame)->Unit(benchmark::kMillisecond);

// Records entries drags, then undoes and redoes them all.
void History(benchmark::State &state, int entries)
{
  TNoDialogs dialogs;
  auto session = MakeSession(dialogs, 2);
  TEditSession &s = *session;
  TPartList &parts = *s.CurrentPartList();
  parts[1]->X = parts[0]->X + 60;
  size_t heldBytes = 0;
  for (auto _ : state) {
    s.TrimHistory(0, nullptr);
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < entries; ++i) {
      const TZeltoAniPart &part = *parts[size_t(i % 2)];
      const int x = s.Scene.OriginX + part.X + 12, y = s.Scene.OriginY + part.Y + 8;
      const int step = i % 4 < 2 ? 1 : -1;
      s.MouseDown(false, x, y);
      s.MouseMove(x + step, y);
      s.MouseUp(x + step, y);
    }
    heldBytes = mallinfo2().uordblks - before;
    while (s.History.Position() > 0)
      s.Undo();
    while (s.History.Position() < s.History.Count())
      s.Redo();
  }
  state.counters["bytes_per_entry"] = double(heldBytes) / entries;
}

int HistorySize()
{
  return SmokeRun() ? 500 : 25000;
}

const bool registered = [] {
  for (int times : {1, 4})
    benchmark::RegisterBenchmark(times == 1 ? "History/n" : "History/4n", [times](benchmark::State &state) {
      History(state, times * HistorySize());
    })->Unit(benchmark::kMillisecond);
  return true;
}();

const bool declared = DeclareRatio("drag of 500 parts / 101 draws", "DragFrame", "DrawFrame", 1.2) &&
                      DeclareRatio("history 4n / n (record, undo, redo)", "History/4n", "History/n", 5.0);

} // namespace
