// Watches, while the editor runs, the image files in use and the folders of the game folder: an
// image file that changed is decoded again, and a file added to the game folder joins the index,
// so that an artist's repainted image shows without a restart. The editor's window owns one;
// velk makes none.
#pragma once

#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

class TImageList;

class TImageWatcher
{
public:
  // cache: the image list whose images that did not load are tried again when files appear; not
  // owned. Starts watching the files of every image owner that exists.
  explicit TImageWatcher(TImageList *cache);
  TImageWatcher(const TImageWatcher &) = delete;
  TImageWatcher &operator=(const TImageWatcher &) = delete;

  // Some image shows new pixels, or one that was not found before was found.
  std::function<void()> OnImagesChanged;
  // A changed file does not decode and its last pixels stay; said once, until it decodes again.
  std::function<void(const std::string &path, const std::string &reason)> OnReloadFailed;

  // Watches what the image owners use now: each owner's file and its folder, the game folder's
  // folders and the current folder. Also done on its own when the owners' files change.
  void Sync();
  // Handles what changed now, rather than once the writer has finished (SettleTime after the
  // last event): the index is scanned again when a game folder changed, images not found are
  // looked for again, and changed files are decoded again.
  void CheckNow();

  QStringList WatchedFiles() const { return watcher_.files(); }
  QStringList WatchedFolders() const { return watcher_.directories(); }

  // A paint program writes a file in several steps; the file is read once they stop.
  static constexpr int SettleTime = 100; // milliseconds
  // How often the set of files in use is compared with what is watched.
  static constexpr int SyncInterval = 500; // milliseconds
  // Folders of the game folder watched at most; files added to others are found when one of
  // these changes, or at the next start.
  static constexpr int MaxWatchedFolders = 4096;

private:
  void FolderChanged(const QString &folder);
  // Decodes the changed files again; true when an image got new pixels.
  bool ReloadChangedFiles();

  QFileSystemWatcher watcher_;
  QTimer settle_;
  QTimer sync_;
  TImageList *cache_;
  bool rescan_ = false;
  uint64_t syncedOwners_ = ~uint64_t(0), syncedIndex_ = ~uint64_t(0);
  std::set<QString> gameFolders_; // watched folders of the game folder, without trailing "/"
  std::set<std::string> broken_;  // files said not to decode, until they do again
};
