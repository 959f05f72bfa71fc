#include "editor/add_sprite_dialog.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <utility>

#include "core/helpers.h"
#include "core/qt_text.h"
#include "editor/sprite_image_view.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "images/sheet_detection.h"
#include "model/actor.h"
#include "model/document.h"
#include "scene/renderer.h"
#include "session/dialogs.h"
#include "session/sprite_use.h"

namespace {

// The images the game replaces by the player's own; any other name is an image file.
constexpr const char *DefaultImageNames[] = {"SPRITES", "BODY",  "HEAD",  "SWORD",  "SHIELD", "HORSE",
                                             "ATTR1",   "ATTR2", "ATTR3", "PARAM1", "PARAM2", "PARAM3"};

QLabel *HelpText(const char *text, QWidget *parent)
{
  auto *label = new QLabel(text, parent);
  label->setWordWrap(true);
  // Wrapped text takes the width its column has rather than asking for a wide one.
  label->setMinimumWidth(1);
  return label;
}

} // namespace

TAddSprite::TAddSprite(TEditSession &session, QWidget *parent)
    : QDialog(parent), session_(session), previewImage_(std::make_unique<TSurfaceOwner>())
{
  setModal(true);
  // A fixed pixel size: the dialog is drawn alike whatever the screen's resolution.
  QFont font("MS Sans Serif");
  font.setPixelSize(16);
  setFont(font);
  CreateControls();
  CreateImageControls();
  LayOutControls();
  RunModal = [this] { exec(); };
  ConnectControls();
}

TAddSprite::~TAddSprite() = default;

void TAddSprite::CreateControls()
{
  // Created in tab order.
  GroupBox2 = new QGroupBox(" Sprite attributes ", this);
  Label16 = HelpText("Specify the image for the sprite. This can be a normal bitmap (*.png) or a name of a default "
                     "game image which will be replaced by the actual image of the player in the game.",
                     GroupBox2);
  Label1 = new QLabel("Image:", GroupBox2);
  ComboBox1 = new QComboBox(GroupBox2);
  ComboBox1->setEditable(true);
  // Typed names are not added to the list; the list completes what is typed, from any part of
  // the name.
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->completer()->setCompletionMode(QCompleter::PopupCompletion);
  ComboBox1->completer()->setFilterMode(Qt::MatchContains);
  ComboBox1->completer()->setCaseSensitivity(Qt::CaseInsensitive);
  for (const char *name : DefaultImageNames)
    ComboBox1->addItem(name);
  ComboBox1->setCurrentText("SPRITES");
  Label17 = HelpText("The description is the text displayed when you move the mouse over the sprite list on the left "
                     "side of the screen.",
                     GroupBox2);
  Label2 = new QLabel("Description:", GroupBox2);
  Edit2 = new QLineEdit("sprite", GroupBox2);
  Label18 =
      HelpText("The sprite index specifies the order of the sprite in the sprite list and must be unique.", GroupBox2);
  Label13 = new QLabel("Sprite index:", GroupBox2);
  Edit13 = new QLineEdit("20", GroupBox2);

  GroupBox1 = new QGroupBox(" Sprite size ", this);
  Label14 = HelpText("Specify the rectangle of the image which is drawn:", GroupBox1);
  Label3 = new QLabel("x:", GroupBox1);
  Edit3 = new QLineEdit("0", GroupBox1);
  Label4 = new QLabel("y:", GroupBox1);
  Edit4 = new QLineEdit("0", GroupBox1);
  Label5 = new QLabel("width:", GroupBox1);
  Edit5 = new QLineEdit("32", GroupBox1);
  Label6 = new QLabel("height:", GroupBox1);
  Edit6 = new QLineEdit("32", GroupBox1);
  Label15 = HelpText("Instead of a single sprite you can also add an array of sprites, each of the specified width "
                     "and height. A grid is layed on the image, starting at (x,y). The first sprite in the upper left "
                     "corner gets the sprite index typed in above.",
                     GroupBox1);
  Label11 = new QLabel("grid width:", GroupBox1);
  Edit11 = new QLineEdit("1", GroupBox1);
  Label12 = new QLabel("grid height:", GroupBox1);
  Edit12 = new QLineEdit("1", GroupBox1);

  Button1 = new QPushButton("&Add", this);
  Button1->setDefault(true);
  Button3 = new QPushButton("&Cancel", this);
}

void TAddSprite::CreateImageControls()
{
  ImageView = new TSpriteImageView(this);
  ImageView->setToolTip("Drag to choose a rectangle; click a sprite to take its bounds; Ctrl+wheel zooms");
  DetectGridButton = new QPushButton("Detect grid", this);
  DetectGridButton->setToolTip("Guess the grid's cells from the transparent rows and columns between the sprites");
  // Enter applies the dialog, whichever button was pressed last.
  DetectGridButton->setAutoDefault(false);
  ZoomOutButton = new QToolButton(this);
  ZoomOutButton->setText("-");
  ZoomOutButton->setToolTip("Zoom out");
  ZoomInButton = new QToolButton(this);
  ZoomInButton->setText("+");
  ZoomInButton->setToolTip("Zoom in");
  ZoomLabel = new QLabel(this);
  PointerLabel = new QLabel(this);
  StatusLabel = new QLabel(this);
  StatusLabel->setMinimumWidth(1);
  StatusLabel->setWordWrap(true);
}

// Two group boxes side by side, each help text above its fields. The attributes, with the most
// text, take the whole height; the buttons stand below the size group. Margins are kept small:
// at 16 pixels the help texts need nearly all of the form's client area. The image takes the
// room to the right, with its buttons above and the status line below.
void TAddSprite::LayOutControls()
{
  FieldsPanel = new QWidget(this);
  auto *attributes = new QGridLayout(GroupBox2);
  attributes->setContentsMargins(6, 4, 6, 6);
  attributes->setVerticalSpacing(3);
  attributes->setColumnStretch(1, 1);
  attributes->addWidget(Label16, 0, 0, 1, 2);
  attributes->addWidget(Label1, 1, 0);
  attributes->addWidget(ComboBox1, 1, 1);
  attributes->addWidget(Label17, 2, 0, 1, 2);
  attributes->addWidget(Label2, 3, 0);
  attributes->addWidget(Edit2, 3, 1);
  attributes->addWidget(Label18, 4, 0, 1, 2);
  attributes->addWidget(Label13, 5, 0);
  attributes->addWidget(Edit13, 5, 1);
  attributes->setRowStretch(6, 1);

  // The rectangle's four numbers and the grid's two stand in pairs.
  auto *size = new QGridLayout(GroupBox1);
  size->setContentsMargins(6, 4, 6, 6);
  size->setVerticalSpacing(3);
  size->setColumnStretch(1, 1);
  size->setColumnStretch(3, 1);
  const auto addPair = [size](int row, int column, QLabel *label, QLineEdit *edit) {
    size->addWidget(label, row, column);
    size->addWidget(edit, row, column + 1);
  };
  size->addWidget(Label14, 0, 0, 1, 4);
  addPair(1, 0, Label3, Edit3);
  addPair(1, 2, Label4, Edit4);
  addPair(2, 0, Label5, Edit5);
  addPair(2, 2, Label6, Edit6);
  size->addWidget(Label15, 3, 0, 1, 4);
  addPair(4, 0, Label11, Edit11);
  addPair(4, 2, Label12, Edit12);
  size->setRowStretch(5, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button3);
  auto *right = new QVBoxLayout;
  right->addWidget(GroupBox1, 1);
  right->addLayout(buttons);
  auto *fields = new QHBoxLayout(FieldsPanel);
  fields->setContentsMargins(0, 0, 0, 0);
  fields->addWidget(GroupBox2, 1);
  fields->addLayout(right, 1);
  // The form was drawn for 577 x 361 with MS Sans Serif; a wider font standing in for it would
  // clip the help texts, so the fields then take what their layout needs.
  const int width = std::max(577 - 12, fields->totalMinimumSize().width());
  FieldsPanel->setFixedWidth(width);
  FieldsPanel->setMinimumHeight(std::max(361 - 12, fields->totalHeightForWidth(width)));

  auto *tools = new QHBoxLayout;
  tools->addWidget(DetectGridButton);
  tools->addStretch(1);
  tools->addWidget(PointerLabel);
  tools->addSpacing(8);
  tools->addWidget(ZoomOutButton);
  tools->addWidget(ZoomLabel);
  tools->addWidget(ZoomInButton);
  auto *image = new QVBoxLayout;
  image->addLayout(tools);
  image->addWidget(ImageView, 1);
  image->addWidget(StatusLabel);
  auto *dialog = new QHBoxLayout(this);
  dialog->setContentsMargins(6, 6, 6, 6);
  dialog->addWidget(FieldsPanel, 0);
  dialog->addLayout(image, 1);
  setMinimumSize(width + 12 + 6 + 240, FieldsPanel->minimumHeight() + 12);
  resize(width + 12 + 6 + 440, std::max(FieldsPanel->minimumHeight() + 12, 480));
}

void TAddSprite::ConnectControls()
{
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(DetectGridButton, &QPushButton::clicked, this, [this] { DetectGridButtonClick(); });
  connect(ZoomOutButton, &QToolButton::clicked, this, [this] { ImageView->SetZoom(ImageView->Zoom() - 1); });
  connect(ZoomInButton, &QToolButton::clicked, this, [this] { ImageView->SetZoom(ImageView->Zoom() + 1); });
  connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { RefreshImage(); });
  for (QLineEdit *field : {Edit3, Edit4, Edit5, Edit6, Edit11, Edit12, Edit13})
    connect(field, &QLineEdit::textChanged, this, [this] { RefreshOverlay(); });
  ImageView->OnZoomChanged = [this] { ZoomLabel->setText(QString::number(ImageView->Zoom() * 100) + "%"); };
  ImageView->OnRectangleDragged = [this](const QRect &rect) { ImageDragged(rect); };
  ImageView->OnPixelClicked = [this](const QPoint &pixel) { ImageClicked(pixel); };
  ImageView->OnPointerMoved = [this](const QPoint &pixel) {
    const QSize size = ImageView->ImageSize();
    const bool inside = pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < size.width() && pixel.y() < size.height();
    PointerLabel->setText(inside ? QString("(%1, %2)").arg(pixel.x()).arg(pixel.y()) : QString());
  };
  ImageView->OnZoomChanged();
}

void TAddSprite::showEvent(QShowEvent *event)
{
  QDialog::showEvent(event);
  // Files may have come to the game folder since the last use.
  FillImageNames();
  RefreshImage();
}

void TAddSprite::FillImageNames()
{
  const QString text = ComboBox1->currentText();
  const QSignalBlocker blocker(ComboBox1);
  QStringList names;
  for (const char *name : DefaultImageNames)
    names << name;
  for (const TFileListEntry &entry : FileIndex())
    if (IsImageFileName(entry.Name))
      names << ToQt(entry.Name);
  // At once: a game folder may hold thousands of images.
  ComboBox1->clear();
  ComboBox1->addItems(names);
  ComboBox1->setCurrentText(text);
}

// --- Before use. ---

void TAddSprite::StartAdding()
{
  UpdatedIndex.reset();
  const TZeltoAni *ani = session_.GetCurrentAni();
  const std::optional<int> index = ParseInt(FromQt(Edit13->text()));
  if (!ani || !index)
    return;
  const std::optional<int> columns = ParseInt(FromQt(Edit11->text())), rows = ParseInt(FromQt(Edit12->text()));
  long long count = columns && rows ? (long long)std::max(*columns, 0) * std::max(*rows, 0) : 1;
  if (count < 1 || count > MaxGridSprites)
    count = 1;
  const int first = FirstFreeSpriteIndex(*ani, *index, int(count));
  if (first != *index)
    Edit13->setText(QString::number(first));
}

void TAddSprite::ShowDefinition(const TZeltoAniSprite &sprite)
{
  ComboBox1->setCurrentText(ToQt(sprite.Image));
  Edit2->setText(ToQt(sprite.Description));
  Edit13->setText(QString::number(sprite.Index));
  Edit3->setText(QString::number(sprite.Left));
  Edit4->setText(QString::number(sprite.Top));
  Edit5->setText(QString::number(sprite.Width));
  Edit6->setText(QString::number(sprite.Height));
  // An update rewrites exactly the one definition.
  Edit11->setText("1");
  Edit12->setText("1");
  UpdatedIndex = sprite.Index;
}

// --- The image. ---

const TImageAnimation *TAddSprite::ShownImage(std::string *problem)
{
  const std::string name = FromQt(ComboBox1->currentText());
  auto tell = [problem](const std::string &text) -> const TImageAnimation * {
    if (problem)
      *problem = text;
    return nullptr;
  };
  if (TrimControl(name).empty())
    return tell("No image named");
  // Where the canvas finds the pixels of a definition of this image: a look image of the player,
  // or the image cache.
  TZeltoAniSprite probe;
  probe.Image = name;
  TSurfaceOwner *owner = session_.EditActor ? ImageForSprite(session_.Scene, session_.EditActor.get(), &probe, nullptr)
                                            : session_.Setup.ImageCache.Find(name);
  if (!owner && IsReplaceableImageName(name))
    return tell("The player's " + name + " image is not set");
  if (!owner) {
    // A file that no definition uses yet.
    if (previewImage_->Name != name)
      previewImage_->Load(name);
    owner = previewImage_.get();
  }
  if (owner->FileName.empty())
    return tell("No file '" + name + "' in the game folder");
  if (const TImageAnimation *image = owner->Image())
    return image;
  return tell("'" + ExtractKey(owner->FileName) + "' cannot be read as an image");
}

std::vector<std::pair<int, QRect>> TAddSprite::DefinitionsOfImage()
{
  std::vector<std::pair<int, QRect>> definitions;
  const TZeltoAni *ani = session_.GetCurrentAni();
  const std::string name = FromQt(ComboBox1->currentText());
  if (!ani || !session_.EditActor)
    return definitions;
  TZeltoAniSprite probe;
  probe.Image = name;
  const TSurfaceOwner *shown = ImageForSprite(session_.Scene, session_.EditActor.get(), &probe, nullptr);
  for (const auto &sprite : ani->Sprites) {
    bool same = sprite->Image == name;
    // Another name of the same file: "SPRITES" and "sprites.png".
    if (!same && shown && !shown->FileName.empty()) {
      const TSurfaceOwner *other = ImageForSprite(session_.Scene, session_.EditActor.get(), sprite.get(), nullptr);
      same = other && other->FileName == shown->FileName;
    }
    if (same)
      definitions.push_back({sprite->Index, QRect(sprite->Left, sprite->Top, sprite->Width, sprite->Height)});
  }
  return definitions;
}

void TAddSprite::RefreshImage()
{
  if (!isVisible())
    return;
  std::string problem;
  const TImageAnimation *image = ShownImage(&problem);
  ImageView->SetImage(image, ComboBox1->currentText());
  ImageView->SetDefinitions(DefinitionsOfImage());
  imageText_ = image ? QString("%1: %2 x %3 pixels").arg(ComboBox1->currentText()).arg(image->Width).arg(image->Height)
                     : ToQt(problem);
  message_.clear();
  RefreshOverlay();
}

std::vector<int> TAddSprite::IndicesInUse(const TSpriteGrid &grid) const
{
  const TZeltoAni *ani = session_.GetCurrentAni();
  const long long count = (long long)std::max(grid.Columns, 0) * std::max(grid.Rows, 0);
  // A grid the session refuses replaces nothing.
  if (!ani || count < 1 || count > MaxGridSprites || grid.Index + count - 1 > INT_MAX)
    return {};
  std::vector<int> used = SpriteIndicesInUse(*ani, grid.Index, int(count));
  if (UpdatedIndex)
    used.erase(std::remove(used.begin(), used.end(), *UpdatedIndex), used.end());
  return used;
}

void TAddSprite::RefreshOverlay()
{
  QLineEdit *bad = nullptr;
  const std::optional<TSpriteGrid> grid = ReadFields(&bad);
  std::set<int> inUse;
  if (grid)
    for (int index : IndicesInUse(*grid))
      inUse.insert(index);
  ImageView->SetGrid(grid, inUse);
  message_ = bad ? ToQt(FieldError(bad)) : QString();
  ShowStatus();
}

void TAddSprite::ShowStatus()
{
  StatusLabel->setText(message_.isEmpty() ? imageText_ : imageText_ + ". " + message_);
}

void TAddSprite::SetRectangle(const QRect &rect)
{
  Edit3->setText(QString::number(rect.x()));
  Edit4->setText(QString::number(rect.y()));
  Edit5->setText(QString::number(rect.width()));
  Edit6->setText(QString::number(rect.height()));
}

void TAddSprite::ImageDragged(const QRect &rect)
{
  SetRectangle(rect);
}

void TAddSprite::ImageClicked(const QPoint &pixel)
{
  const TImageAnimation *image = ShownImage();
  const std::optional<QRect> bounds = image ? SpriteBounds(*image, pixel.x(), pixel.y()) : std::nullopt;
  if (bounds)
    SetRectangle(*bounds);
  message_ = bounds ? QString("A sprite of %1 x %2 pixels").arg(bounds->width()).arg(bounds->height())
                    : QString("No sprite at (%1, %2)").arg(pixel.x()).arg(pixel.y());
  ShowStatus();
}

void TAddSprite::DetectGridButtonClick()
{
  std::string why;
  const TImageAnimation *image = ShownImage(&why);
  const std::optional<TGridGuess> guess = image ? DetectGrid(*image, &why) : std::nullopt;
  if (guess) {
    SetRectangle(QRect(guess->Left, guess->Top, guess->Width, guess->Height));
    Edit11->setText(QString::number(guess->Columns));
    Edit12->setText(QString::number(guess->Rows));
  }
  message_ = guess ? QString("A grid of %1 x %2 cells of %3 x %4 pixels")
                         .arg(guess->Columns)
                         .arg(guess->Rows)
                         .arg(guess->Width)
                         .arg(guess->Height)
                   : ToQt(why);
  ShowStatus();
}

// --- Applying. ---

std::optional<TSpriteGrid> TAddSprite::ReadFields(QLineEdit **bad) const
{
  // In this order: the first field that is not an integer stops the whole apply.
  TSpriteGrid grid;
  const std::pair<QLineEdit *, int *> numbers[] = {{Edit3, &grid.Left},   {Edit4, &grid.Top},      {Edit5, &grid.Width},
                                                   {Edit6, &grid.Height}, {Edit11, &grid.Columns}, {Edit12, &grid.Rows},
                                                   {Edit13, &grid.Index}};
  for (const auto &[edit, value] : numbers) {
    const std::optional<int> parsed = ParseInt(FromQt(edit->text()));
    if (!parsed) {
      if (bad)
        *bad = edit;
      return std::nullopt;
    }
    *value = *parsed;
  }
  grid.Image = FromQt(ComboBox1->currentText());
  grid.Description = FromQt(Edit2->text());
  return grid;
}

std::string TAddSprite::FieldError(const QLineEdit *field) const
{
  const std::pair<const QLineEdit *, const QLabel *> labels[] = {{Edit3, Label3},  {Edit4, Label4},   {Edit5, Label5},
                                                                 {Edit6, Label6},  {Edit11, Label11}, {Edit12, Label12},
                                                                 {Edit13, Label13}};
  std::string name;
  for (const auto &[edit, label] : labels)
    if (edit == field)
      name = FromQt(label->text()) + " ";
  return name + "'" + FromQt(field->text()) + "' is not a valid integer value";
}

bool TAddSprite::ConfirmReplacing(const TSpriteGrid &grid)
{
  const std::vector<int> used = IndicesInUse(grid);
  if (used.empty())
    return true;
  const bool movie = session_.GetCurrentAni()->IsMovie;
  return session_.Dialogs().AskChoice(FromQt(windowTitle()), ReplaceSpritesQuestion(used, movie),
                                      {"&Replace", "&Cancel"}) == 0;
}

void TAddSprite::Button1Click()
{
  if (!session_.GetCurrentAni()) {
    accept();
    return;
  }
  // Every number is read before anything changes.
  QLineEdit *bad = nullptr;
  const std::optional<TSpriteGrid> grid = ReadFields(&bad);
  if (!grid) {
    session_.Dialogs().ShowError(FieldError(bad));
    bad->setFocus();
    bad->selectAll();
    return;
  }
  if (!ConfirmReplacing(*grid))
    return;
  std::string error;
  if (!session_.AddSpriteDefinitions(*grid, &error)) {
    session_.Dialogs().ShowError(error);
    return;
  }
  accept();
}

void TAddSprite::Button3Click()
{
  reject();
}
