// One timer tick of playback (the canvas drawn, the frame advanced) of the bundled walk (4
// frames) against the same walk repeated to 1,000 and 10,000 frames of six parts a direction:
// only one frame is drawn, so a tick should cost the same whatever the animation's length.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

#include "large_animation.h"
#include "quiet_session.h"
#include "ratio_report.h"

namespace {

// A session playing the animation of the given number of frames (4: the bundled walk itself).
TEditSession &PlayingSession(int frames)
{
  static TNoDialogs dialogs;
  static std::map<int, std::unique_ptr<TEditSession>> sessions;
  auto &session = sessions[frames];
  if (!session) {
    session = MakeQuietSession(dialogs);
    std::string name = "walk";
    if (frames != 4) {
      name =
          (std::filesystem::temp_directory_path() / ("zeltrix-bench-walk" + std::to_string(frames) + ".velk")).string();
      WriteLargeWalk(BundledGameFolder(), frames, name);
    }
    session->OpenAnimation(name);
    if (frames != 4)
      std::filesystem::remove(name);
    session->Play();
  }
  return *session;
}

void Tick(benchmark::State &state)
{
  TEditSession &session = PlayingSession(int(state.range(0)));
  for (auto _ : state) {
    // A looping animation plays on for ever; the guard keeps a stopped one measuring ticks too.
    session.Playing = true;
    session.Tick();
  }
  state.counters["frames"] = double(session.GetCurrentAni()->Steps.size());
}
BENCHMARK(Tick)->Arg(4)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

const bool declared = DeclareRatio("tick of 1,000 frames / tick of 4", "Tick/1000", "Tick/4", 1.2, true) &&
                      DeclareRatio("tick of 10,000 frames / tick of 4", "Tick/10000", "Tick/4", 1.2, true);

} // namespace
