#include "editor/add_sprite_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <utility>

#include "core/helpers.h"
#include "core/qt_text.h"
#include "session/dialogs.h"
#include "session/edit_session.h"

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

TAddSprite::TAddSprite(TEditSession &session, QWidget *parent) : QDialog(parent), session_(session)
{
  setModal(true);
  // A fixed pixel size: the dialog is drawn alike whatever the screen's resolution.
  QFont font("MS Sans Serif");
  font.setPixelSize(16);
  setFont(font);
  CreateControls();
  LayOutControls();
  // The form was drawn for 577 x 361 with MS Sans Serif; a wider font standing in for it would
  // clip the help texts, so the dialog then grows to what its layout needs.
  const int width = std::max(577, layout()->totalMinimumSize().width());
  setFixedSize(width, std::max(361, layout()->totalHeightForWidth(width)));
  RunModal = [this] { exec(); };
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

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

// Two group boxes side by side, each help text above its fields. The attributes, with the most
// text, take the whole height; the buttons stand below the size group. Margins are kept small:
// at 16 pixels the help texts need nearly all of the fixed client area.
void TAddSprite::LayOutControls()
{
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
  auto *dialog = new QHBoxLayout(this);
  dialog->setContentsMargins(6, 6, 6, 6);
  dialog->addWidget(GroupBox2, 1);
  dialog->addLayout(right, 1);
}

void TAddSprite::Button1Click()
{
  if (!session_.GetCurrentAni()) {
    accept();
    return;
  }
  // Every number is read before anything changes, in this order: the first field that is not an
  // integer stops the whole apply.
  TSpriteGrid grid;
  const std::pair<QLineEdit *, int *> numbers[] = {{Edit3, &grid.Left},   {Edit4, &grid.Top},      {Edit5, &grid.Width},
                                                   {Edit6, &grid.Height}, {Edit11, &grid.Columns}, {Edit12, &grid.Rows},
                                                   {Edit13, &grid.Index}};
  for (const auto &[edit, value] : numbers) {
    const std::string text = FromQt(edit->text());
    const std::optional<int> parsed = ParseInt(text);
    if (!parsed) {
      session_.Dialogs().ShowError("'" + text + "' is not a valid integer value");
      return;
    }
    *value = *parsed;
  }
  grid.Image = FromQt(ComboBox1->currentText());
  grid.Description = FromQt(Edit2->text());
  std::string error;
  if (!session_.AddSpriteDefinitions(grid, &error)) {
    session_.Dialogs().ShowError(error);
    return;
  }
  accept();
}

void TAddSprite::Button3Click()
{
  reject();
}
