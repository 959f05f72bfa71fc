// Playback in sprite mode (the timer tick, frame advance, play and stop, frame sounds) and the
// timeline band's gestures: dragging a frame's start and dragging the time or the length.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "core/helpers.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/document.h"
#include "session/edit_session.h"
#include "session/sound_entries.h"

void TEditSession::Tick()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!MovieMode || !ani) {
    if (Playing || Scene.RedrawCountdown > 0 || NeedsRedraw) {
      if (Scene.RedrawCountdown > 0)
        --Scene.RedrawCountdown;
      DrawCanvas();
      // A part or sound being dragged belongs to the frame it was pressed in: playback waits
      // until it is let go.
      const bool dragsInFrame = MouseIsDown && (Scene.DragMode == dmParts || Scene.DragMode == dmSound);
      if (Playing && !dragsInFrame)
        AdvanceFrame();
      NeedsRedraw = false;
    }
  } else if (Playing || NeedsRedraw) {
    DrawCanvas();
    if (Playing) {
      int time = GetCurrentTime() + 1;
      if (time > ani->Length) {
        if (ani->Loop) {
          time = 0;
        } else {
          time = ani->Length;
          Playing = false;
        }
      }
      ShowTime(time);
    }
    NeedsRedraw = false;
  }
}

// The file a frame sound names: "PARAMn" and "ATTRn" stand for the player's image slot n when
// it holds a file.
static std::string FrameSoundFile(const TZeltoActor &actor, const std::string &name)
{
  auto slot = [&](const char *prefix, bool isAttr) -> std::string {
    const std::optional<int> n = ParseInt(name.substr(std::string(prefix).size()));
    const int count = isAttr ? AttrSlotCount : ParamSlotCount;
    if (!n || *n < 1 || *n > count)
      return name;
    const std::string &file = (isAttr ? actor.AttrImages[*n - 1] : actor.ParamImages[*n - 1])->FileName;
    return file.empty() ? name : file;
  };
  if (StartsWith("PARAM", name))
    return slot("PARAM", false);
  if (StartsWith("ATTR", name))
    return slot("ATTR", true);
  return name;
}

void TEditSession::AdvanceFrame()
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || ani->Steps.empty())
    return;
  const int count = int(ani->Steps.size());
  int frame = std::clamp(EditActor->FrameIndex, 0, count - 1);
  EditActor->FrameIndex = frame;
  const TZeltoAniStep *step = ani->Steps[frame].get();
  for (const auto &sound : step->Sounds)
    if (sound->Tick == EditActor->FrameTick + 1) {
      const std::string path = ResolveFile(FrameSoundFile(*EditActor, sound->FileName));
      if (!path.empty())
        PlaySoundFile(path);
    }

  ++EditActor->FrameTick;
  if (EditActor->FrameTick >= step->Duration) {
    EditActor->FrameTick = 0;
    if (++frame >= count) {
      if (ani->Loop) {
        frame = 0;
      } else {
        frame = count - 1;
        Playing = false;
      }
    }
    EditActor->FrameIndex = frame;
  }
  EditActor->CurrentTime = ani->Steps[frame]->StartTick + EditActor->FrameTick;
}

void TEditSession::Play()
{
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  if (MovieMode) {
    // A continuous movie keeps running through a second press until its end.
    if (ani->Continuous && Playing && GetCurrentTime() != ani->Length)
      return;
    // From before the start, so that sound actors keyed at 0 count as reached and play.
    EditActor->CurrentTime = -1;
    ShowTime(0);
    Playing = true;
    return;
  }
  // A continuous animation keeps running through a second press until its last frame.
  if (ani->Continuous && Playing && GetCurrentFrame() != int(ani->Steps.size()) - 1)
    return;
  SetCurrentFrame(0);
  SetFrameTick(0);
  Playing = true;
}

void TEditSession::Stop()
{
  Playing = false;
  NeedsRedraw = true;
}

void TEditSession::AddSound(const std::string &file, int x, int y)
{
  TZeltoAni *ani = GetCurrentAni();
  const int frame = GetCurrentFrame();
  if (!ani || MovieMode || frame < 0 || frame >= int(ani->Steps.size()))
    return;
  auto sound = std::make_unique<TZeltoAniSound>();
  sound->FileName = ExtractKey(file);
  // At the end of a played animation the frame tick stands one past the last frame's end: the
  // sound still belongs inside the frame, or the saved waits would lengthen it.
  sound->Tick = std::clamp(GetFrameTick() + 1, 1, ani->Steps[size_t(frame)]->Duration);
  sound->X = x;
  sound->Y = y;
  auto &sounds = ani->Steps[frame]->Sounds;
  TZeltoAniSound *added = sound.get();
  sounds.push_back(std::move(sound));
  ::SetModified(ani, true);
  RecordOperation(std::make_unique<TSoundListEntry>(ani->Steps[frame].get(), added, int(sounds.size()) - 1, nullptr));
  if (!file.empty())
    PlaySoundFile(file);
  Scene.Selection.clear();
  LastDragMode = dmSound;
  LastSoundIndex = int(sounds.size()) - 1;
  Show(TViewPart::SelectionInfo);
  NeedsRedraw = true;
}

void TEditSession::ShowTime(int time)
{
  ::ShowTime(EditActor.get(), time);
  NeedsRedraw = true;
}

int TEditSession::LastTime() const
{
  // In sprite mode the last tick is length - 1: the end itself belongs to no frame.
  const TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return 0;
  return MovieMode ? ani->Length : ani->Length - 1;
}

void TEditSession::ShowTimeWithinLength()
{
  if (!GetCurrentAni())
    return;
  const int last = std::max(LastTime(), 0);
  if (GetCurrentTime() > last)
    ShowTime(last);
}

int TEditSession::RulerTickAt(const TCanvasGeometry &geometry, int x)
{
  const int width = geometry.TimelineRight - geometry.TimelineLeft;
  if (width <= 0)
    return 0;
  return RoundHalfUp(double(x - geometry.TimelineLeft) * geometry.TimelineTicks / width);
}

// The frame whose start pixel lies nearest to x, the earliest of equals, among the frames starting
// left of limit, and its distance; -1 when there is none. Start pixels rise with the frames, so
// the nearest is the first at or right of x or the first of those just left of it.
static std::pair<int, int> NearestFrameStart(const TZeltoAni &ani, const TCanvasGeometry &g, int x, int limit)
{
  const auto &steps = ani.Steps;
  auto startsLeftOf = [&g](const std::unique_ptr<TZeltoAniStep> &step, int px) {
    return RulerX(g, step->StartTick) < px;
  };
  const auto end = std::lower_bound(steps.begin(), steps.end(), limit, startsLeftOf);
  const auto right = std::lower_bound(steps.begin(), end, x, startsLeftOf);
  std::pair<int, int> nearest(-1, 0);
  if (right != steps.begin()) {
    const int p = RulerX(g, (*(right - 1))->StartTick);
    nearest = {int(std::lower_bound(steps.begin(), right, p, startsLeftOf) - steps.begin()), x - p};
  }
  if (right != end) {
    const int d = RulerX(g, (*right)->StartTick) - x;
    if (nearest.first < 0 || d < nearest.second)
      nearest = {int(right - steps.begin()), d};
  }
  return nearest;
}

void TEditSession::TimelineFrameDrag(int x, bool pressed)
{
  TZeltoAni *ani = GetCurrentAni();
  const TCanvasGeometry g = Geometry();
  if (!ani || ani->Steps.empty() || g.TimelineRight <= g.TimelineLeft)
    return;
  const int count = int(ani->Steps.size());
  if (pressed) {
    // The frame whose start is nearest, among those starting less than 5 pixels right of x.
    const int found = NearestFrameStart(*ani, g, x, x < INT_MAX - 5 ? x + 5 : INT_MAX).first;
    if (found < 0)
      return;
    Scene.DragFrameIndex = found;
    Scene.LastFrameIndex = -1;
    Scene.DragMode = dmFrameStart;
    Scene.HeldRulerTicks = g.TimelineTicks;
    BeginTiming(); // the whole drag is one entry, made at the release
    NeedsRedraw = true;
  } else if (Scene.DragMode == dmFrameStart && Scene.DragFrameIndex >= 1 && Scene.DragFrameIndex < count) {
    const int start = ani->Steps[Scene.DragFrameIndex]->StartTick;
    // One move changes the start by one tick at most.
    const int tick = std::clamp(RulerTickAt(g, x), start - 1, start + 1);
    SetFrameStart(Scene.DragFrameIndex, tick);
    ShowTime(GetCurrentTime());
  }
  Show(TViewPart::SelectionInfo);
}

void TEditSession::BeginTiming(bool mergeable)
{
  if (!timing_)
    timing_ = std::make_unique<TTimingEntry>(mergeable);
}

void TEditSession::EndTiming()
{
  std::unique_ptr<TTimingEntry> entry = std::move(timing_);
  if (entry && GetCurrentAni() && entry->Finish(*GetCurrentAni()))
    RecordOperation(std::move(entry));
}

void TEditSession::SetDocumentLength(int length)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani)
    return;
  const bool own = !timing_;
  BeginTiming();
  timing_->NoteLength(*ani);
  if (!ani->IsMovie && !ani->Steps.empty())
    timing_->NoteDuration(ani->Steps.back().get());
  SetLength(ani, length);
  if (own)
    EndTiming();
}

void TEditSession::SetFrameStart(int index, int tick)
{
  TZeltoAni *ani = GetCurrentAni();
  if (!ani || index < 1 || index >= int(ani->Steps.size()))
    return;
  tick = std::max(tick, 0);
  TZeltoAniStep &step = *ani->Steps[index];
  TZeltoAniStep &previous = *ani->Steps[index - 1];
  if (tick == step.StartTick || tick < previous.StartTick + 1)
    return;
  const bool own = !timing_;
  BeginTiming();
  timing_->NoteDuration(&previous);
  previous.Duration = tick - previous.StartTick;
  for (const auto &sound : previous.Sounds) {
    timing_->NoteTick(sound.get());
    sound->Tick = std::min(sound->Tick, previous.Duration);
  }
  const int difference = tick - step.StartTick;
  for (size_t i = index; i < ani->Steps.size(); ++i)
    ani->Steps[i]->StartTick += difference;
  SetDocumentLength(ani->Length + difference);
  ::SetModified(ani, true);
  NeedsRedraw = true;
  if (own)
    EndTiming();
}

void TEditSession::TimelineRulerDrag(int x, int y, bool pressed)
{
  TZeltoAni *ani = GetCurrentAni();
  const TCanvasGeometry g = Geometry();
  if (!ani || g.TimelineTicks < 1 || g.TimelineRight <= g.TimelineLeft)
    return;
  int tick = RulerTickAt(g, x);
  if (pressed) {
    Scene.DragMode = ani->Length <= 0 || (tick >= ani->Length && GetCurrentTime() < ani->Length) ? dmLength : dmTime;
    if (Scene.DragMode == dmLength) {
      Scene.HeldRulerTicks = g.TimelineTicks;
      BeginTiming(); // the whole drag is one entry, made at the release
    }
  }
  tick = std::max(tick, 0);
  if (Scene.DragMode == dmTime) {
    tick = std::min(tick, LastTime());
    tick = std::max(tick, 0);
    if (tick != GetCurrentTime())
      ShowTime(tick);
  } else if (Scene.DragMode == dmLength) {
    tick = std::clamp(tick, ani->Length - 5, ani->Length > INT_MAX - 5 ? INT_MAX : ani->Length + 5);
    if (ani->Length >= 1)
      tick = std::max(tick, 1);
    // Keep the pointer on the end marker so the drag does not run ahead of the length.
    const int p = RulerX(g, tick);
    const int tickWidth = std::max(1, FloorEps(double(g.TimelineRight - g.TimelineLeft) / g.TimelineTicks));
    if (std::abs(p - x) >= 4 * tickWidth && view_)
      view_->MovePointer(p, y);
    if (tick != ani->Length) {
      SetDocumentLength(tick);
      if (GridMode == 0)
        Show(TViewPart::OptionsGrid);
      ShowTimeWithinLength();
    }
  }
  NeedsRedraw = true;
}

bool TEditSession::OverFrameStart(int x, int y) const
{
  const TZeltoAni *ani = GetCurrentAni();
  const TCanvasGeometry g = Geometry();
  if (!ani || ani->Steps.empty() || x < g.TimelineLeft || x >= g.TimelineRight || y < g.TimelineTop ||
      y >= g.TimelineTop + 15)
    return false;
  const auto [nearest, distance] = NearestFrameStart(*ani, g, x, INT_MAX);
  return nearest >= 1 && distance < 30;
}
