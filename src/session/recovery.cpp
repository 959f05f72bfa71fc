// Recovery of unsaved work: a modified document is written now and then to a recovery file of
// this process; a normal close or a save removes it. After a crash the next start finds the files
// of processes that are gone and offers each back.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <unistd.h>

#include "core/file_io.h"
#include "core/helpers.h"
#include "model/actor_attributes.h"
#include "model/reader.h"
#include "model/writer.h"
#include "session/edit_session.h"

namespace fs = std::filesystem;

namespace {

// The recovery of a process: PID.velk (the document's text) and PID.info (its file name and its
// name, one per line).
std::string RecoveryBase(const std::string &folder, long pid)
{
  return folder + "/" + std::to_string(pid);
}

bool ProcessAlive(long pid)
{
  return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

void TEditSession::SetRecoveryFolder(const std::string &folder)
{
  recoveryFolder_ = folder;
  lastRecoveryText_.clear();
}

std::string TEditSession::RecoveryFile() const
{
  return recoveryFolder_.empty() ? std::string() : RecoveryBase(recoveryFolder_, long(::getpid())) + ".velk";
}

bool TEditSession::Autosave()
{
  TZeltoAni *ani = GetCurrentAni();
  if (recoveryFolder_.empty() || !ani || !ani->Modified)
    return false;
  const std::string text = AnimationText(ani);
  // A text that would not read back is no recovery: the last good one stays (a save reports why).
  if (text == lastRecoveryText_ || !ReadBackProblem(text).empty())
    return false;
  std::error_code error;
  fs::create_directories(recoveryFolder_, error);
  const std::string base = RecoveryBase(recoveryFolder_, long(::getpid()));
  const std::string info = ani->FileName + "\n" + ani->Name + "\n";
  // The text first: a recovery whose info is missing is not offered.
  if (!WriteWholeFile(base + ".velk", text.data(), text.size()) ||
      !WriteWholeFile(base + ".info", info.data(), info.size()))
    return false;
  lastRecoveryText_ = text;
  return true;
}

void TEditSession::RemoveRecovery()
{
  lastRecoveryText_.clear();
  if (recoveryFolder_.empty())
    return;
  const std::string base = RecoveryBase(recoveryFolder_, long(::getpid()));
  std::error_code error;
  fs::remove(base + ".info", error);
  fs::remove(base + ".velk", error);
}

std::vector<TRecovery> TEditSession::FindRecoveries() const
{
  std::vector<TRecovery> found;
  std::error_code error;
  if (recoveryFolder_.empty() || !fs::is_directory(recoveryFolder_, error))
    return found;
  for (const auto &entry : fs::directory_iterator(recoveryFolder_, error)) {
    const fs::path path = entry.path();
    if (path.extension() != ".velk")
      continue;
    const std::optional<int> pid = ParseInt(path.stem().string());
    // The files of a process that still runs are its own business.
    if (!pid || *pid == ::getpid() || ProcessAlive(*pid))
      continue;
    std::string info;
    if (!ReadWholeFile(RecoveryBase(recoveryFolder_, *pid) + ".info", 1 << 16, info))
      continue;
    TRecovery recovery;
    recovery.TextFile = path.string();
    const size_t line = info.find('\n');
    recovery.FileName = info.substr(0, line);
    recovery.Name = line == std::string::npos ? "" : TrimTrailingBreaks(info.substr(line + 1));
    found.push_back(recovery);
  }
  std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.TextFile < b.TextFile; });
  return found;
}

void TEditSession::DiscardRecovery(const TRecovery &recovery)
{
  std::error_code error;
  fs::path text(recovery.TextFile);
  fs::remove(fs::path(text).replace_extension(".info"), error);
  fs::remove(text, error);
}

bool TEditSession::RestoreRecovery(const TRecovery &recovery)
{
  std::string bytes;
  if (!EditActor || !ReadWholeFile(recovery.TextFile, MaxAnimationFileSize, bytes))
    return false;
  auto ani = std::make_unique<TZeltoAni>();
  if (!ParseAnimation(*ani, EditActor.get(), bytes))
    return false;
  // The document comes back as it was left: unsaved, under its own file name and name.
  ani->FileName = recovery.FileName;
  ani->Name = recovery.Name.empty() ? "new" : recovery.Name;
  ShowDocument(std::move(ani));
  ::SetModified(GetCurrentAni(), true);
  DiscardRecovery(recovery);
  NeedsRedraw = true;
  return true;
}
