// An actor's attributes over time: evaluation of the keys at a time, the attribute grid rows with
// their getter and setter, the walk/idle rule, animations by name, the body and the image slots.
#pragma once

#include <array>
#include <memory>
#include <string>

class TZeltoActor;
class TZeltoAni;

// The colour names; actors' Colors index this table, keys hold the names.
inline constexpr int ColorNameCount = 20;
extern const std::array<const char *, ColorNameCount> ColorNames;
// The index of a name (exact text), or -1.
int ColorIndex(const std::string &name);

// Evaluates the player's animation at time: a movie's actors from their keys, or the frame of a
// sprite animation.
void UpdateToTime(TZeltoActor *player, int time);
// What the editor's time ruler does: evaluate the main actor at time and ask for a redraw.
void ShowTime(TZeltoActor *mainActor, int time);

// Grid row of an actor: its attribute name and value text (both empty for rows without one).
struct TAttributeRow
{
  std::string Name;
  std::string Value;
};
TAttributeRow GetAttributeRow(const TZeltoActor &actor, int row);
// The number of rows the grid shows for the actor's kind (up to the last named row).
int AttributeRowCount(const TZeltoActor &actor);
// Applies a typed value; value may be rewritten to what was stored or kept.
void SetAttributeRow(TZeltoActor *actor, int row, std::string &value);
// What a click on a value cell did: nothing, because the row is edited by typing; a toggle; or
// nothing yet, because the editor is to show the font or colour dialog and then call
// SetTextFont or SetTextColor with the choice.
enum class TRowClick { Typed, Toggled, FontDialog, ColorDialog };
TRowClick ClickAttributeRow(TZeltoActor *actor, int row, std::string &value);
// A text actor's font and colour (0xRRGGBB) as chosen in the dialogs, keyed at the current time;
// value becomes the grid's text.
void SetTextFont(TZeltoActor *actor, const std::string &font, std::string &value);
void SetTextColor(TZeltoActor *actor, int rgb, std::string &value);

// Keys the walk or idle animation and the direction around time from the move between the keys.
void AutoAnimate(TZeltoActor *actor, int time);
// Plays the animation name (loaded through the game folders) unless the actor's parents play it.
void SetAnimationByName(TZeltoActor *actor, const std::string &name);
bool CanUseAnimation(const TZeltoActor *actor, const std::string &name);
// Reads the animation name from its file for actor (its actors become the actor's children),
// even when the actor already plays a document of that name: opening a file reads what is on
// disk. None, with the reason in error, when nothing readable was found.
std::unique_ptr<TZeltoAni> ReadAnimationFor(TZeltoActor *actor, const std::string &name, std::string *error = nullptr);
// Makes ani the actor's document, played from its start; the document it played before is freed.
void PlayAnimation(TZeltoActor *actor, std::unique_ptr<TZeltoAni> ani);

// Loads the body image; bodies numbered 100 and up are not recoloured.
void SetBody(TZeltoActor *actor, const std::string &file);
// Param (isAttr false, index 0..7) or attr (index 0..8) slot: a number, or an image file name.
void SetSlot(TZeltoActor *actor, bool isAttr, int index, const std::string &value);
std::string GetSlot(const TZeltoActor &actor, bool isAttr, int index);
// Puts the document's default parameters and attributes into the player's slots.
void ApplyDefaultSlots(TZeltoActor *player, const TZeltoAni &ani);
