#include "images/image_watcher.h"

#include <QDir>
#include <QFileInfo>
#include <map>
#include <vector>

#include "core/qt_text.h"
#include "images/file_index.h"
#include "images/image_cache.h"

namespace {

// A path as the watcher holds it: clean, without a trailing "/".
QString WatchPath(const std::string &path)
{
  return QDir::cleanPath(PathToQt(path));
}

} // namespace

TImageWatcher::TImageWatcher(TImageList *cache) : cache_(cache)
{
  settle_.setSingleShot(true);
  settle_.setInterval(SettleTime);
  QObject::connect(&settle_, &QTimer::timeout, &watcher_, [this] { CheckNow(); });
  // A changed or replaced file, and a folder whose files came, went or were renamed.
  QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_, [this] { settle_.start(); });
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_,
                   [this](const QString &folder) { FolderChanged(folder); });
  sync_.setInterval(SyncInterval);
  QObject::connect(&sync_, &QTimer::timeout, &watcher_, [this] {
    if (syncedOwners_ != SurfaceOwnerFilesGeneration() || syncedIndex_ != GameFiles().Generation)
      Sync();
  });
  sync_.start();
  Sync();
}

void TImageWatcher::Sync()
{
  syncedOwners_ = SurfaceOwnerFilesGeneration();
  syncedIndex_ = GameFiles().Generation;
  std::set<QString> files, folders;
  for (const TSurfaceOwner *owner : SurfaceOwners()) {
    if (owner->FileName.empty())
      continue;
    const QString file = WatchPath(owner->FileName);
    // The folder tells when a file that went comes back, or is replaced by another.
    folders.insert(QFileInfo(file).absolutePath());
    if (QFileInfo::exists(file))
      files.insert(file);
  }
  gameFolders_.clear();
  for (const std::string &folder : GameFiles().Folders) {
    if (gameFolders_.size() >= size_t(MaxWatchedFolders))
      break;
    gameFolders_.insert(WatchPath(folder));
  }
  folders.insert(gameFolders_.begin(), gameFolders_.end());
  // Names are looked for in the current folder before the index.
  folders.insert(QDir::cleanPath(QDir::currentPath()));

  QStringList drop, add;
  const QStringList watchedFiles = watcher_.files(), watchedFolders = watcher_.directories();
  for (const QString &file : watchedFiles)
    if (!files.count(file))
      drop << file;
  for (const QString &folder : watchedFolders)
    if (!folders.count(folder))
      drop << folder;
  const std::set<QString> haveFiles(watchedFiles.begin(), watchedFiles.end());
  const std::set<QString> haveFolders(watchedFolders.begin(), watchedFolders.end());
  for (const QString &file : files)
    if (!haveFiles.count(file))
      add << file;
  // A path that does not exist would be polled rather than watched.
  for (const QString &folder : folders)
    if (!haveFolders.count(folder) && QFileInfo(folder).isDir())
      add << folder;
  if (!drop.isEmpty())
    watcher_.removePaths(drop);
  if (!add.isEmpty())
    watcher_.addPaths(add);
}

void TImageWatcher::FolderChanged(const QString &folder)
{
  if (gameFolders_.count(QDir::cleanPath(folder)))
    rescan_ = true;
  settle_.start();
}

void TImageWatcher::CheckNow()
{
  settle_.stop();
  bool changed = false;
  if (rescan_) {
    rescan_ = false;
    ScanGameFolder();
  }
  // Files that appeared: images not found before, and images whose file went and is found again
  // elsewhere.
  if (cache_ && cache_->RetryMissing())
    changed = true;
  for (TSurfaceOwner *owner : SurfaceOwners())
    if (owner->ResolveAgain())
      changed = true;
  if (ReloadChangedFiles())
    changed = true;
  // A file replaced by rename is a new file, which the watcher no longer follows: watched anew.
  Sync();
  if (changed && OnImagesChanged)
    OnImagesChanged();
}

bool TImageWatcher::ReloadChangedFiles()
{
  std::map<std::string, std::vector<TSurfaceOwner *>> changedFiles;
  for (TSurfaceOwner *owner : SurfaceOwners())
    if (owner->FileChanged())
      changedFiles[owner->FileName].push_back(owner);
  bool changed = false;
  for (const auto &[path, owners] : changedFiles) {
    // One owner decodes at once, to learn whether the file decodes; the others of the same file
    // follow when they are next drawn.
    std::string error;
    if (owners.front()->Reload(&error)) {
      changed = true;
      broken_.erase(path);
    } else if (broken_.insert(path).second && OnReloadFailed) {
      OnReloadFailed(path, error);
    }
    for (size_t i = 1; i < owners.size(); ++i)
      owners[i]->ReloadLater();
  }
  return changed;
}
