// The Add Sprite dialog: one sprite definition, or a grid of them, cut from an image. The same
// dialog edits an existing definition ("Update Sprite"); the window sets its caption and fields.
#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TEditSession;

class TAddSprite : public QDialog
{
  Q_OBJECT

public:
  // Made once with the window and kept hidden between uses, so the fields keep their values.
  TAddSprite(TEditSession &session, QWidget *parent);

  // --- Controls, named as the form designer named them. ---
  QGroupBox *GroupBox2 = nullptr; // sprite attributes
  QLabel *Label16 = nullptr, *Label1 = nullptr;
  QComboBox *ComboBox1 = nullptr; // image name
  QLabel *Label17 = nullptr, *Label2 = nullptr;
  QLineEdit *Edit2 = nullptr; // description
  QLabel *Label18 = nullptr, *Label13 = nullptr;
  QLineEdit *Edit13 = nullptr;    // index of the first sprite
  QGroupBox *GroupBox1 = nullptr; // sprite size
  QLabel *Label14 = nullptr, *Label3 = nullptr;
  QLineEdit *Edit3 = nullptr; // left
  QLabel *Label4 = nullptr;
  QLineEdit *Edit4 = nullptr; // top
  QLabel *Label5 = nullptr;
  QLineEdit *Edit5 = nullptr; // width
  QLabel *Label6 = nullptr;
  QLineEdit *Edit6 = nullptr; // height
  QLabel *Label15 = nullptr, *Label11 = nullptr;
  QLineEdit *Edit11 = nullptr; // columns
  QLabel *Label12 = nullptr;
  QLineEdit *Edit12 = nullptr;    // rows
  QPushButton *Button1 = nullptr; // "&Add" or "&Update"
  QPushButton *Button3 = nullptr; // "&Cancel"

  // Shows the dialog modally (exec). Tests replace it with a plain show(), so that nothing blocks
  // and the dialog's visibility tells whether it is still open.
  std::function<void()> RunModal;

  // Applies the fields to the document and closes; a field that is not an integer, or a grid the
  // session refuses, is reported and leaves the dialog open with nothing changed.
  void Button1Click();
  // Closes without a change.
  void Button3Click();

private:
  void CreateControls();
  void LayOutControls();

  TEditSession &session_;
};
