// The Add Sprite dialog: one sprite definition, or a grid of them, cut from an image. The same
// dialog edits an existing definition ("Update Sprite"); the window sets its caption. Beside the
// fields the image is shown with the cells applying would create; a drag on it or a click on a
// sprite sets the rectangle, and "Detect grid" guesses the grid from the image.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/edit_session.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TImageAnimation;
class TSpriteImageView;
class TSurfaceOwner;
struct TZeltoAniSprite;

class TAddSprite : public QDialog
{
  Q_OBJECT

public:
  // Made once with the window and kept hidden between uses, so the fields keep their values.
  TAddSprite(TEditSession &session, QWidget *parent);
  ~TAddSprite() override;

  // --- Controls, named as the form designer named them. ---
  QWidget *FieldsPanel = nullptr; // the form's two groups and buttons, beside the image
  QGroupBox *GroupBox2 = nullptr; // sprite attributes
  QLabel *Label16 = nullptr, *Label1 = nullptr;
  QComboBox *ComboBox1 = nullptr; // image name: the default images, then the game folder's
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

  // --- The image beside the fields. ---
  TSpriteImageView *ImageView = nullptr;
  QPushButton *DetectGridButton = nullptr;
  QToolButton *ZoomOutButton = nullptr, *ZoomInButton = nullptr;
  QLabel *ZoomLabel = nullptr;
  QLabel *PointerLabel = nullptr; // the pixel under the pointer
  // The image's size and what the last click or detection found.
  QLabel *StatusLabel = nullptr;

  // Shows the dialog modally (exec). Tests replace it with a plain show(), so that nothing blocks
  // and the dialog's visibility tells whether it is still open.
  std::function<void()> RunModal;

  // Before adding: no definition is being updated, and the index moves on to the first one from
  // which the grid replaces no definition.
  void StartAdding();
  // Fills the fields from a definition, to update it; that definition is not asked about.
  void ShowDefinition(const TZeltoAniSprite &sprite);
  // The index of the definition being updated; none while adding.
  std::optional<int> UpdatedIndex;

  // Applies the fields to the document and closes. A field that is not an integer, or a grid the
  // session refuses, is reported and leaves the dialog open with nothing changed; so does a "No"
  // to the question before definitions that the document shows are replaced.
  void Button1Click();
  // Closes without a change.
  void Button3Click();
  // Fills the size and grid fields with the grid guessed from the image.
  void DetectGridButtonClick();
  // A drag on the image chose rect; a click hit pixel (the rectangle becomes its sprite's bounds).
  void ImageDragged(const QRect &rect);
  void ImageClicked(const QPoint &pixel);

  // Shows the image the Image box names as it is now (also after its file changed) and the
  // definitions of the same image.
  void RefreshImage();
  // Draws the cells of the fields as they stand.
  void RefreshOverlay();
  // The numbers, image and description as typed; none, with the first field that is not an
  // integer in bad, when one is not.
  std::optional<TSpriteGrid> ReadFields(QLineEdit **bad = nullptr) const;

protected:
  void showEvent(QShowEvent *event) override;

private:
  void CreateControls();
  void CreateImageControls();
  void LayOutControls();
  void ConnectControls();
  // The Image box's list: the default image names, then the game folder's image files.
  void FillImageNames();
  // The image the Image box names, as the canvas would draw it; none, with the reason in problem.
  const TImageAnimation *ShownImage(std::string *problem = nullptr);
  std::vector<std::pair<int, QRect>> DefinitionsOfImage();
  // "width: '12a' is not a valid integer value".
  std::string FieldError(const QLineEdit *field) const;
  // Asks before the grid replaces definitions the document shows; true to go on.
  bool ConfirmReplacing(const TSpriteGrid &grid);
  // The indices of the grid whose definitions the document shows, but the one being updated.
  std::vector<int> IndicesInUse(const TSpriteGrid &grid) const;
  void SetRectangle(const QRect &rect);
  void ShowStatus();

  TEditSession &session_;
  // The image of a file name that no definition uses yet.
  std::unique_ptr<TSurfaceOwner> previewImage_;
  QString imageText_, message_;
};
