// Editing on the canvas and the undo history.
//   drag        press, 100 moves and a release of a 500-part frame with every part selected, the
//               canvas drawn after each move, against 101 draws of the same frame
//   history     recording, undoing and redoing n and 4n drags of alternating parts (entries that
//               do not merge): time and the memory each entry holds should stay linear
//   mixed       the same with edits of every family (frames added and deleted, typed options,
//               definitions replaced, sounds, timing keys, nudges)
//   entry bytes the memory one entry holds: a frame delete, a definition replace, a typed option
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>

#include "model/document.h"
#include "quiet_session.h"
#include "ratio_report.h"

namespace {

// A session on the bundled game folder with a new document whose frame holds parts shadows in
// a grid, the canvas laid out at 1024 x 768.
std::unique_ptr<TEditSession> MakeSession(TNoDialogs &dialogs, int parts)
{
  auto session = MakeQuietSession(dialogs);
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

// One edit of a mixed sequence: each kind in turn, so that no two neighbours merge.
void MixedEdit(TEditSession &s, int i)
{
  std::string value;
  switch (i % 6) {
  case 0:
    s.AddFrame();
    break;
  case 1:
    value = i % 12 == 1 ? "walk" : "run";
    s.SetGridRow(6, value); // Setbackto
    break;
  case 2: {
    TSpriteGrid grid;
    grid.Index = 7;
    grid.Left = i % 64;
    s.AddSpriteDefinitions(grid);
    break;
  }
  case 3:
    s.AddSound("", i % 50, 10);
    break;
  case 4:
    s.DeleteFrame(s.GetCurrentFrame());
    break;
  default:
    s.Scene.Selection = {0};
    s.MoveSelection(i % 12 < 6 ? 1 : -1, 0);
    break;
  }
}

void MixedHistory(benchmark::State &state, int entries)
{
  TNoDialogs dialogs;
  auto session = MakeSession(dialogs, 2);
  TEditSession &s = *session;
  for (auto _ : state) {
    s.TrimHistory(0, nullptr);
    for (int i = 0; i < entries; ++i)
      MixedEdit(s, i);
    while (s.History.Position() > 0)
      s.Undo();
    while (s.History.Position() < s.History.Count())
      s.Redo();
  }
  state.counters["entries"] = s.History.Count();
}

// The memory n entries of one kind hold, per entry.
void EntryBytes(benchmark::State &state, int kind)
{
  TNoDialogs dialogs;
  const int n = SmokeRun() ? 50 : 2000;
  double perEntry = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto session = MakeSession(dialogs, 2);
    TEditSession &s = *session;
    for (int i = 0; i < n && kind == 0; ++i)
      s.AddFrame();
    s.TrimHistory(0, nullptr);
    state.ResumeTiming();
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < n; ++i) {
      std::string value = i % 2 ? "walk" : "run";
      TSpriteGrid grid;
      grid.Left = i % 2;
      switch (kind) {
      case 0: // the frame itself was the document's already: the entry takes it over
        s.DeleteFrame(0);
        break;
      case 1:
        s.AddSpriteDefinitions(grid);
        break;
      default:
        s.SetGridRow(6, value);
        break;
      }
    }
    perEntry = double(mallinfo2().uordblks - before) / s.History.Count();
    benchmark::DoNotOptimize(perEntry);
  }
  state.counters["bytes_per_entry"] = perEntry;
}

int HistorySize()
{
  return SmokeRun() ? 500 : 25000;
}

const bool registered = [] {
  for (int times : {1, 4}) {
    benchmark::RegisterBenchmark(times == 1 ? "History/n" : "History/4n", [times](benchmark::State &state) {
      History(state, times * HistorySize());
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(times == 1 ? "MixedHistory/n" : "MixedHistory/4n", [times](benchmark::State &state) {
      MixedHistory(state, times * HistorySize() / 10);
    })->Unit(benchmark::kMillisecond);
  }
  const char *names[] = {"EntryBytes/frame delete", "EntryBytes/definition replace", "EntryBytes/typed option"};
  for (int kind = 0; kind < 3; ++kind)
    benchmark::RegisterBenchmark(names[kind], [kind](benchmark::State &state) { EntryBytes(state, kind); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  return true;
}();

const bool declared =
    DeclareRatio("drag of 500 parts / 101 draws", "DragFrame", "DrawFrame", 1.2) &&
    DeclareRatio("history 4n / n (record, undo, redo)", "History/4n", "History/n", 5.0) &&
    DeclareRatio("mixed history 4n / n (record, undo, redo)", "MixedHistory/4n", "MixedHistory/n", 5.0);

} // namespace
