// What the editor keeps between runs, in the user's settings: the window's geometry, the last
// folders of the open, save and import dialogs, the last ten files opened, and the onion skin.
#pragma once

#include <QByteArray>
#include <QSettings>
#include <memory>
#include <string>
#include <vector>

class TEditorSettings
{
public:
  // The user's settings, or those in file (tests).
  explicit TEditorSettings(const std::string &file = "");

  QByteArray Geometry() const;
  void SetGeometry(const QByteArray &geometry);

  // The folder last used with a dialog of that title, or empty.
  std::string LastFolder(const std::string &dialogTitle) const;
  void SetLastFolder(const std::string &dialogTitle, const std::string &folder);

  // Most recent first, at most MaxRecentFiles.
  std::vector<std::string> RecentFiles() const;
  void AddRecentFile(const std::string &path);
  static constexpr int MaxRecentFiles = 10;

  bool OnionSkin() const;
  void SetOnionSkin(bool on);

private:
  std::unique_ptr<QSettings> settings_;
};
