// Reads its input as a sequence of user actions on an edit session, with every question the
// session asks answered from the input too: presses, moves and releases anywhere on the canvas,
// the keys, undo and redo at any moment (in the middle of a gesture too), grid clicks and typing
// keystroke by keystroke, the frame, sprite, actor and movie commands, the Add Sprite apply, mode
// switches, New, Load, Save. After every action:
// - the document's text reads back as written;
// - a document whose text differs from the text it had when it was last opened or saved is
//   marked modified;
// - every history entry names objects that are alive.
// The documents come from the bundled game folder and the reader's seeds, copied into a folder
// of this process, so that saving never writes over them.
//
// ZELTRIX_FUZZ_PLANT=modified plants a fault: a nudge forgets to mark the document modified. The
// checks must find it (a test runs it and expects the report).
#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/file_io.h"
#include "images/file_index.h"
#include "model/actor.h"
#include "model/context.h"
#include "model/document.h"
#include "model/writer.h"
#include "session/dialogs.h"
#include "session/edit_session.h"

namespace fs = std::filesystem;

namespace {

// The input, read a byte at a time; zeros once it is used up.
class TInput
{
public:
  TInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}
  bool Done() const { return pos_ >= size_; }
  int Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A number in [0, count).
  int Below(int count) { return count <= 0 ? 0 : Byte() % count; }
  int Signed(int range) { return Below(2 * range + 1) - range; }
  bool Bit() { return Byte() & 1; }

private:
  const uint8_t *data_;
  size_t size_;
  size_t pos_ = 0;
};

// The documents the fuzzer opens, read once; and the folder their copies are written to.
struct TDocuments
{
  std::vector<std::string> Texts;
  std::string Folder;
  int Copies = 0;

  // A fresh copy of document k in the folder, under a name of its own.
  std::string Copy(int k)
  {
    const std::string path = Folder + "/doc" + std::to_string(Copies++ % 8) + ".velk";
    const std::string &text = Texts[size_t(k) % Texts.size()];
    WriteWholeFile(path, text.data(), text.size(), nullptr, TSync::Later);
    return path;
  }
};

TDocuments &Documents()
{
  static TDocuments documents;
  return documents;
}

class TFuzzDialogs : public TUiDialogs
{
public:
  explicit TFuzzDialogs(TInput &input) : input_(input) {}

  TAnswer AskYesNoCancel(const std::string &, const std::string &) override
  {
    static const TAnswer answers[] = {TAnswer::Yes, TAnswer::No, TAnswer::Cancel};
    return answers[input_.Below(3)];
  }
  bool AskOkCancel(const std::string &, const std::string &) override { return input_.Bit(); }
  void ShowError(const std::string &) override {}
  int AskChoice(const std::string &, const std::string &, const std::vector<std::string> &buttons) override
  {
    return input_.Below(int(buttons.size()) + 1) - 1;
  }
  bool OpenFile(const std::string &, const std::string &, const std::string &, std::string &chosen) override
  {
    const int k = input_.Below(int(Documents().Texts.size()) + 1);
    if (k == 0)
      return false;
    chosen = Documents().Copy(k - 1);
    return true;
  }
  bool SaveFile(const std::string &, const std::string &, const std::string &, std::string &chosen) override
  {
    if (input_.Below(4) == 0)
      return false;
    chosen = Documents().Folder + "/saved" + std::to_string(input_.Below(2)) + ".velk";
    return true;
  }
  bool ChooseFont(std::string &name, int) override
  {
    if (!input_.Bit())
      return false;
    name = input_.Bit() ? "Courier New" : "Tempus Sans ITC";
    return true;
  }
  bool ChooseColor(uint32_t &color) override
  {
    if (!input_.Bit())
      return false;
    color = uint32_t(input_.Byte()) | uint32_t(input_.Byte()) << 8 | uint32_t(input_.Byte()) << 16;
    return true;
  }

private:
  TInput &input_;
};

class TSilence : public TSoundDevice
{
public:
  bool Available() override { return false; }
  void Load(TWave &, const std::string &) override {}
  void Play(TWave &) override {}
};

[[noreturn]] void Fail(const std::string &what, int action)
{
  std::fprintf(stderr, "fuzz_session: %s (after action %d)\n", what.c_str(), action);
  std::fflush(stderr);
  __builtin_trap();
}

// One session driven by one input.
class TDriver
{
public:
  explicit TDriver(TInput &input) : in_(input), dialogs_(input) {}

  void Run()
  {
    // Every input starts from the same process-wide state, so that a failure replays.
    Context().ActorNameCounters = {1, 1, 1, 1};
    Context().Zelto2002Mode = false;
    Context().AutoAniSetting = true;
    session_ = std::make_unique<TEditSession>(&dialogs_, nullptr, std::make_unique<TSilence>());
    TStartOptions options;
    options.File = Documents().Copy(in_.Byte());
    options.GameFolder = std::string(ZELTRIX_SOURCE_DIR) + "/assets/game";
    options.ProgramFolder = options.GameFolder;
    options.Dialogs = &dialogs_;
    session_->Start(options);
    session_->Setup.LayOut(393, 391, 17);
    if (!session_->GetCurrentAni())
      return;
    // The start must never leave a file of the game folder open: a save would write over it.
    if (session_->GetCurrentAni()->FileName.rfind(Documents().Folder, 0) != 0)
      return;
    Check(-1, true);
    for (int action = 0; action < 400 && !in_.Done(); ++action) {
      const bool opensOrSaves = Act();
      Check(action, opensOrSaves);
    }
    session_.reset();
  }

private:
  TEditSession &S() { return *session_; }
  TZeltoAni *Ani() { return S().GetCurrentAni(); }

  // A canvas point of some kind: anywhere, on a part, a strip entry, a frame start, the ruler, a
  // key, an actor or a sound icon, so that presses hit what they can manipulate.
  void Point(int &x, int &y)
  {
    const TCanvasGeometry g = S().Geometry();
    const TSceneState &scene = S().Scene;
    const TZeltoAni *ani = Ani();
    const int dx = in_.Signed(6), dy = in_.Signed(6);
    x = in_.Below(std::max(g.Width, 1) + 40) - 20;
    y = in_.Below(std::max(g.TimelineTop + 50, 1) + 40) - 20;
    switch (in_.Below(8)) {
    case 1:
      if (const TPartList *parts = S().CurrentPartList(); parts && !parts->empty()) {
        const TZeltoAniPart &part = *(*parts)[size_t(in_.Below(int(parts->size())))];
        x = scene.OriginX + part.X + 8 + dx;
        y = scene.OriginY + part.Y + 8 + dy;
      }
      break;
    case 2:
      if (ani && !ani->Sprites.empty()) {
        const TZeltoAniSprite &sprite = *ani->Sprites[size_t(in_.Below(int(ani->Sprites.size())))];
        x = scene.SpriteListLeft + 25 + dx;
        y = sprite.ListTop - scene.SpriteListScroll + 8 + dy;
      }
      break;
    case 3:
      if (ani && !ani->Steps.empty()) {
        x = RulerX(g, ani->Steps[size_t(in_.Below(int(ani->Steps.size())))]->StartTick) + dx / 2;
        y = g.TimelineTop + 5;
      }
      break;
    case 4:
      if (ani) {
        x = RulerX(g, in_.Below(ani->Length + 6)) + dx / 3;
        y = g.TimelineTop + 30;
      }
      break;
    case 5:
      if (const TZeltoActor *actor = scene.SelectedActor; actor && !actor->Keys.empty()) {
        x = RulerX(g, actor->Keys[size_t(in_.Below(int(actor->Keys.size())))]->Time) + dx / 2;
        y = g.TimelineTop + 8;
      }
      break;
    case 6:
      if (ani && !ani->Actors.empty()) {
        const TZeltoActor &actor = *ani->Actors[size_t(in_.Below(int(ani->Actors.size())))];
        x = scene.OriginX + actor.DX + 6 + dx;
        y = scene.OriginY + actor.DY + 6 + dy;
      }
      break;
    case 7:
      if (const TZeltoAniStep *step = S().CurrentStep(); step && !step->Sounds.empty()) {
        const TZeltoAniSound &sound = *step->Sounds[size_t(in_.Below(int(step->Sounds.size())))];
        x = scene.OriginX + sound.X + 8 + dx;
        y = scene.OriginY + sound.Y + 8 + dy;
      }
      break;
    default:
      break;
    }
  }

  void Press()
  {
    int x, y;
    Point(x, y);
    const int flags = in_.Byte();
    S().MouseDown(flags & 1, x, y, flags & 2, flags & 4);
  }
  void Move()
  {
    int x, y;
    Point(x, y);
    S().MouseMove(x, y);
  }
  void Release()
  {
    int x, y;
    Point(x, y);
    S().MouseUp(x, y);
  }

  void Key()
  {
    static const TKey keys[] = {TKey::Delete, TKey::PadPlus, TKey::PadMinus, TKey::Up, TKey::Down,
                                TKey::Left,   TKey::Right,   TKey::Tab,      TKey::N,  TKey::Other};
    const TKey key = keys[in_.Below(10)];
    // While the grid's editor is open, it has the focus.
    S().KeyDown(key, in_.Bit(), S().EditRow >= 0);
  }

  // The grid as the window drives it: a click begins an edit or toggles, keystrokes type into the
  // editor's text, Enter or Tab ends the edit.
  void GridClick()
  {
    const int rows = S().GridRowCount();
    if (rows < 1)
      return;
    const int row = in_.Below(rows);
    S().EndGridEdit();
    if (S().GridRow(row).Label.empty())
      return;
    if (in_.Below(4) == 0) {
      S().GridKeyMenu(row, 0, 0);
      Menu();
      return;
    }
    std::string value = S().GridRow(row).Value;
    if (S().ClickGridRow(row, value))
      editorText_ = value;
  }
  void GridType()
  {
    if (S().EditRow < 0)
      return;
    static const char keys[] = "0123456789.-.5e xPARAMT1,=";
    const int key = in_.Below(int(sizeof keys));
    if (key == int(sizeof keys) - 1) {
      if (!editorText_.empty())
        editorText_.pop_back();
    } else if (in_.Below(5) == 0) {
      editorText_.clear();
    } else {
      editorText_ += keys[key];
    }
    std::string value = editorText_;
    S().TypeGridRow(S().EditRow, value);
    editorText_ = value;
  }
  // The key menus the last press or grid click opened: an entry taken, or closed.
  void Menu()
  {
    switch (in_.Below(3)) {
    case 0:
      S().AddKey1Click();
      break;
    case 1:
      S().DeleteKey1Click();
      break;
    default:
      break;
    }
  }

  void FrameCommand()
  {
    switch (in_.Below(9)) {
    case 0:
      S().AddFrame();
      break;
    case 1:
      S().DeleteFrame(S().GetCurrentFrame());
      break;
    case 2:
      S().CopyFrame();
      break;
    case 3:
      S().InsertFrameBefore();
      break;
    case 4:
      S().InsertFrameAfter();
      break;
    case 5:
      S().ReverseFrames();
      break;
    case 6:
      S().SetDirection(in_.Below(4));
      break;
    case 7:
      S().ChoosePart(in_.Below(6) - 1);
      break;
    default:
      S().SetCurrentFrame(Ani() ? in_.Below(int(Ani()->Steps.size()) + 1) : 0);
      break;
    }
  }

  void PartCommand()
  {
    switch (in_.Below(5)) {
    case 0: {
      const bool wasModified = Ani() && Ani()->Modified;
      static const int steps[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      const auto &step = steps[in_.Below(4)];
      S().MoveSelection(step[0], step[1]);
      if (plantMissingModified_ && Ani() && !wasModified)
        Ani()->Modified = false;
      break;
    }
    case 1:
      S().ChangeSelectionOrder(in_.Bit() ? 1 : -1);
      break;
    case 2:
      S().DeleteSelectedParts();
      break;
    case 3: {
      static const char *typed[] = {"0", "-5", "17", "2147483647", "-2147483648", "x", "", "99999999999", " 12 "};
      S().CommitCoordinate(in_.Bit(), in_.Below(3) ? std::to_string(in_.Signed(300)) : typed[in_.Below(9)]);
      break;
    }
    default:
      S().ShiftOldOffsets();
      break;
    }
  }

  void SoundCommand()
  {
    static const char *files[] = {"", "step.wav", "chime.wav", "nothere.wav"};
    if (in_.Bit())
      S().AddSound(files[in_.Below(4)], in_.Signed(60), in_.Signed(60));
    else
      S().MoveSound(S().LastSoundIndex, in_.Below(4));
  }

  void SpriteCommand()
  {
    TZeltoAni *ani = Ani();
    switch (in_.Below(4)) {
    case 0:
      S().RemoveUnusedSprites();
      break;
    case 1:
      if (ani && !ani->Sprites.empty())
        S().DeleteSpriteDefinition(ani->Sprites[size_t(in_.Below(int(ani->Sprites.size())))]->Index);
      break;
    case 2:
      S().ImportSprites();
      break;
    default: {
      static const char *images[] = {"SPRITES", "BODY", "HEAD", "sword1.png", "body.png", "", "my sword.png", "PARAM1"};
      TSpriteGrid grid;
      grid.Image = images[in_.Below(8)];
      grid.Description = in_.Bit() ? "sprite" : "two  words";
      grid.Index = in_.Below(40) - 2;
      grid.Left = in_.Below(64);
      grid.Top = in_.Below(64);
      grid.Width = in_.Below(40);
      grid.Height = in_.Below(40);
      grid.Columns = in_.Below(4);
      grid.Rows = in_.Below(4);
      S().AddSpriteDefinitions(grid);
      break;
    }
    }
  }

  void ActorCommand()
  {
    TZeltoAni *ani = Ani();
    switch (in_.Below(9)) {
    case 0:
      S().AddCharacterActor();
      break;
    case 1:
      S().AddTextActor(in_.Signed(80), in_.Signed(80));
      break;
    case 2:
      S().AddSoundActor(in_.Bit() ? "step.wav" : "", in_.Signed(80), in_.Signed(80));
      break;
    case 3:
      if (ani && !ani->Sprites.empty())
        S().AddSpriteActor(ani->Sprites[size_t(in_.Below(int(ani->Sprites.size())))].get(), in_.Signed(80),
                           in_.Signed(80));
      break;
    case 4:
      S().DeleteActor();
      break;
    case 5:
      S().CopyActorCommand();
      break;
    case 6:
      S().InsertActor();
      break;
    case 7:
      S().ChooseActorItem(in_.Below(ani ? int(ani->Actors.size()) + 1 : 1));
      break;
    default:
      Menu();
      break;
    }
  }

  // One action; true when it opens, makes or saves a document.
  bool Act()
  {
    const int what = in_.Below(23);
    // ZELTRIX_FUZZ_TRACE=1 lists the actions of an input, to see how a failure came about.
    static const bool trace = std::getenv("ZELTRIX_FUZZ_TRACE") != nullptr;
    if (trace)
      std::fprintf(stderr, "action %d: %s\n", what, ActionName(what));
    // The commands come from buttons, the grid, menus and dialogs, which the window only reaches
    // once the canvas has the mouse released: the gesture ends first. Keys, the wheel, undo and
    // redo, and the timer come at any moment (the session ends a gesture for them itself).
    if (what >= 8 && what != 19 && what != 20)
      S().FinishGesture();
    switch (what) {
    case 0:
      Press();
      break;
    case 1:
      Move();
      break;
    case 2:
      Release();
      Menu();
      break;
    case 3:
      Press();
      Release();
      Menu();
      break;
    case 4:
      Press();
      Move();
      Move();
      Release();
      break;
    case 5:
      Key();
      break;
    case 6:
      S().Undo();
      break;
    case 7:
      S().Redo();
      break;
    case 8:
      GridClick();
      break;
    case 9:
    case 10:
      GridType();
      break;
    case 11:
      S().EndGridEdit();
      break;
    case 12:
      FrameCommand();
      break;
    case 13:
      PartCommand();
      break;
    case 14:
      SoundCommand();
      break;
    case 15:
      SpriteCommand();
      break;
    case 16:
      ActorCommand();
      break;
    case 17:
      if (Ani())
        S().SwitchMovieMode(!S().MovieMode);
      break;
    case 18:
      switch (in_.Below(5)) {
      case 0:
        S().NewCommand();
        break;
      case 1:
        S().LoadCommand();
        break;
      case 2:
        S().SaveCommand();
        break;
      case 3:
        S().SaveAs();
        break;
      default:
        S().OpenFileCommand(Documents().Copy(in_.Byte()));
        break;
      }
      return true;
    case 19:
      if (in_.Bit()) {
        S().FinishGesture();
        S().Play();
      }
      for (int n = in_.Below(6); n > 0; --n)
        S().Tick();
      if (in_.Bit())
        S().Stop();
      break;
    case 20: {
      int x, y;
      Point(x, y);
      if (in_.Below(3))
        S().Wheel(in_.Bit(), x, y);
      else
        S().ZoomBy(in_.Bit() ? ZoomStep : 1 / ZoomStep);
      break;
    }
    case 21: {
      static const char *files[] = {"/sword1.png", "/shield1.png", "/soundicon.png", "/nothere.png", "/step.wav"};
      int x, y;
      Point(x, y);
      S().DropFiles({std::string(ZELTRIX_SOURCE_DIR) + "/assets/game" + files[in_.Below(5)]}, x, y);
      break;
    }
    default:
      if (in_.Bit())
        S().SetZelto2002Mode(!Context().Zelto2002Mode);
      else
        S().SetAutoAniSetting(!Context().AutoAniSetting);
      break;
    }
    return false;
  }

  static const char *ActionName(int what)
  {
    static const char *names[] = {
        "press",         "move",         "release",       "click",          "drag",          "key",
        "undo",          "redo",         "grid click",    "grid type",      "grid type",     "grid end",
        "frame command", "part command", "sound command", "sprite command", "actor command", "mode switch",
        "file command",  "playback",     "wheel or zoom", "drop",           "option toggle"};
    return what >= 0 && what < int(std::size(names)) ? names[what] : "?";
  }

  void Check(int action, bool opensOrSaves)
  {
    TZeltoAni *ani = Ani();
    if (!ani)
      Fail("no document", action);
    const std::string text = AnimationText(ani);
    if (const std::string problem = ReadBackProblem(text); !problem.empty())
      Fail("the document does not read back: " + problem, action);
    if (ani != last_ || (opensOrSaves && !ani->Modified)) {
      // Opened, made or saved: this is the text to compare with from now on.
      if (!ani->Modified)
        baseline_ = text;
      last_ = ani;
    } else if (!ani->Modified && text != baseline_) {
      Fail("the document changed but is not marked modified", action);
    }
    if (const std::string problem = S().History.LiveProblem(ani); !problem.empty())
      Fail("the history " + problem, action);
  }

  TInput &in_;
  TFuzzDialogs dialogs_;
  std::unique_ptr<TEditSession> session_;
  std::string editorText_;
  std::string baseline_;
  const TZeltoAni *last_ = nullptr;
  const bool plantMissingModified_ = [] {
    const char *plant = std::getenv("ZELTRIX_FUZZ_PLANT");
    return plant && std::string(plant) == "modified";
  }();
};

std::vector<std::string> ReadDocuments()
{
  std::vector<std::string> texts;
  for (const char *folder : {"/assets/game", "/fuzz/corpus/reader"}) {
    std::error_code error;
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(std::string(ZELTRIX_SOURCE_DIR) + folder, error))
      if (entry.is_regular_file() &&
          (entry.path().extension() == ".velk" || std::string(folder).find("corpus") != std::string::npos))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path &file : files) {
      std::string text;
      if (ReadWholeFile(file.string(), 1 << 20, text))
        texts.push_back(text);
    }
  }
  return texts;
}

} // namespace

// The application lives for the whole process, and Qt's font caches with it: they are not leaks
// of the session.
extern "C" const char *__lsan_default_suppressions()
{
  return "leak:libQt6Gui.so\nleak:libfreetype.so\nleak:libfontconfig.so\nleak:libharfbuzz.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  TDocuments &documents = Documents();
  documents.Texts = ReadDocuments();
  std::string folder = (fs::temp_directory_path() / "fuzz_session.XXXXXX").string();
  if (!::mkdtemp(folder.data()))
    std::abort();
  documents.Folder = folder;
  std::atexit([] {
    std::error_code error;
    fs::remove_all(Documents().Folder, error);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  if (Documents().Texts.empty())
    return 0;
  TInput input(data, size);
  // Opening a file makes its folder the current one; the fuzzer's own paths may be relative.
  static const fs::path start = fs::current_path();
  TDriver(input).Run();
  std::error_code error;
  fs::current_path(start, error);
  return 0;
}
