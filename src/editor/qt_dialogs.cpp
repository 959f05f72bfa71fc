#include "editor/qt_dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

#include <QFileInfo>
#include <QPushButton>
#include <algorithm>

#include "core/qt_text.h"
#include "editor/settings.h"

// "Text (*.a)|*.a|Other|*.*" as Qt's ";;"-separated name filters.
static QString NameFilters(const std::string &filter)
{
  const QStringList pieces = ToQt(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < pieces.size(); i += 2) {
    QString name = pieces[i];
    if (!name.contains('('))
      name += " (" + pieces[i + 1] + ")";
    filters << name;
  }
  return filters.join(";;");
}

TAnswer TQtUiDialogs::AskYesNoCancel(const std::string &title, const std::string &text)
{
  const auto button = QMessageBox::question(parent_, ToQt(title), ToQt(text),
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (button == QMessageBox::Yes)
    return TAnswer::Yes;
  return button == QMessageBox::No ? TAnswer::No : TAnswer::Cancel;
}

bool TQtUiDialogs::AskOkCancel(const std::string &title, const std::string &text)
{
  return QMessageBox::warning(parent_, ToQt(title), ToQt(text), QMessageBox::Ok | QMessageBox::Cancel,
                              QMessageBox::Ok) == QMessageBox::Ok;
}

void TQtUiDialogs::ShowError(const std::string &text)
{
  QMessageBox::critical(parent_, QStringLiteral("Zeltrix"), ToQt(text));
}

int TQtUiDialogs::AskChoice(const std::string &title, const std::string &text, const std::vector<std::string> &buttons)
{
  QMessageBox box(QMessageBox::Question, ToQt(title), ToQt(text), QMessageBox::NoButton, parent_);
  std::vector<QAbstractButton *> added;
  for (const std::string &button : buttons)
    added.push_back(box.addButton(ToQt(button), QMessageBox::AcceptRole));
  box.exec();
  const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
  return chosen == added.end() ? -1 : int(chosen - added.begin());
}

std::string TQtUiDialogs::StartIn(const std::string &title, const std::string &start) const
{
  if (!settings_ || start.find('/') != std::string::npos)
    return start;
  const std::string folder = settings_->LastFolder(title);
  return folder.empty() ? start : folder + "/" + start;
}

void TQtUiDialogs::Remember(const std::string &title, const std::string &chosen)
{
  if (settings_)
    settings_->SetLastFolder(title, PathFromQt(QFileInfo(PathToQt(chosen)).absolutePath()));
}

bool TQtUiDialogs::OpenFile(const std::string &title, const std::string &start, const std::string &filter,
                            std::string &chosen)
{
  const QStringList files =
      QFileDialog::getOpenFileNames(parent_, ToQt(title), PathToQt(StartIn(title, start)), NameFilters(filter));
  if (files.isEmpty())
    return false;
  chosen = PathFromQt(files.first());
  Remember(title, chosen);
  return true;
}

// The extension of the filter's first pattern ("velk" for "Text (*.velk)|*.velk|..."), or empty.
static QString DefaultSuffix(const std::string &filter)
{
  const QStringList pieces = ToQt(filter).split('|');
  const QString pattern = pieces.size() >= 2 ? pieces[1].split(';').first() : QString();
  return pattern.startsWith("*.") && !pattern.mid(2).contains('*') ? pattern.mid(2) : QString();
}

bool TQtUiDialogs::SaveFile(const std::string &title, const std::string &start, const std::string &filter,
                            std::string &chosen)
{
  QFileDialog dialog(parent_, ToQt(title), PathToQt(StartIn(title, start)), NameFilters(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // A name typed without an extension gets the filter's, before the dialog asks whether to
  // replace a file of that name.
  dialog.setDefaultSuffix(DefaultSuffix(filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return false;
  const QString file = dialog.selectedFiles().first();
  if (file.isEmpty())
    return false;
  chosen = PathFromQt(file);
  Remember(title, chosen);
  return true;
}

bool TQtUiDialogs::ChooseFont(std::string &name, int size)
{
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, QFont(ToQt(name), size), parent_);
  if (ok)
    name = FromQt(font.family());
  return ok;
}

bool TQtUiDialogs::ChooseColor(uint32_t &color)
{
  // The dialog works in RGB; the caller's colour has blue in the high byte.
  const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  const QColor chosen = QColorDialog::getColor(initial, parent_);
  if (!chosen.isValid())
    return false;
  color = uint32_t(chosen.red()) | uint32_t(chosen.green()) << 8 | uint32_t(chosen.blue()) << 16;
  return true;
}
