#include "editor/settings.h"

#include <algorithm>

#include "core/qt_text.h"

TEditorSettings::TEditorSettings(const std::string &file)
    : settings_(file.empty() ? std::make_unique<QSettings>("Zeltrix", "zeltrix")
                             : std::make_unique<QSettings>(PathToQt(file), QSettings::IniFormat))
{
}

QByteArray TEditorSettings::Geometry() const
{
  return settings_->value("window/geometry").toByteArray();
}

void TEditorSettings::SetGeometry(const QByteArray &geometry)
{
  settings_->setValue("window/geometry", geometry);
}

std::string TEditorSettings::LastFolder(const std::string &dialogTitle) const
{
  return PathFromQt(settings_->value("folders/" + ToQt(dialogTitle)).toString());
}

void TEditorSettings::SetLastFolder(const std::string &dialogTitle, const std::string &folder)
{
  settings_->setValue("folders/" + ToQt(dialogTitle), PathToQt(folder));
}

std::vector<std::string> TEditorSettings::RecentFiles() const
{
  std::vector<std::string> files;
  for (const QString &file : settings_->value("recent/files").toStringList())
    files.push_back(PathFromQt(file));
  return files;
}

void TEditorSettings::AddRecentFile(const std::string &path)
{
  std::vector<std::string> files = RecentFiles();
  files.erase(std::remove(files.begin(), files.end(), path), files.end());
  files.insert(files.begin(), path);
  if (files.size() > size_t(MaxRecentFiles))
    files.resize(MaxRecentFiles);
  QStringList list;
  for (const std::string &file : files)
    list << PathToQt(file);
  settings_->setValue("recent/files", list);
}

bool TEditorSettings::OnionSkin() const
{
  return settings_->value("view/onionSkin", false).toBool();
}

void TEditorSettings::SetOnionSkin(bool on)
{
  settings_->setValue("view/onionSkin", on);
}
