#include "cli/document_json.h"

#include <QJsonArray>

#include "cli/byte_names.h"
#include "core/qt_text.h"

namespace {

QJsonValue SpriteIndex(const TZeltoAniSprite *sprite)
{
  return sprite ? QJsonValue(sprite->Index) : QJsonValue(QJsonValue::Null);
}

template <typename Container> QJsonArray TextArray(const Container &texts)
{
  QJsonArray array;
  for (const std::string &text : texts)
    array.append(ToQt(text));
  return array;
}

} // namespace

QJsonObject SpriteJson(const TZeltoAniSprite &sprite)
{
  QJsonArray effect;
  for (double value : sprite.ColorEffect)
    effect.append(value);
  QJsonArray attachments;
  for (const auto &attachment : sprite.Attachments)
    attachments.append(
        QJsonObject{{"Sprite", SpriteIndex(attachment->Sprite)}, {"X", attachment->X}, {"Y", attachment->Y}});
  return {{"Index", sprite.Index},     {"Image", ToQt(sprite.Image)}, {"Left", sprite.Left},
          {"Top", sprite.Top},         {"Width", sprite.Width},       {"Height", sprite.Height},
          {"ColorEffect", effect},     {"Zoom", sprite.Zoom},         {"Description", ToQt(sprite.Description)},
          {"Attachments", attachments}};
}

QJsonObject StepJson(const TZeltoAniStep &step)
{
  QJsonArray directions;
  for (const TPartList &list : step.Directions) {
    QJsonArray parts;
    for (const auto &part : list)
      parts.append(QJsonObject{{"Sprite", SpriteIndex(part->Sprite)},
                               {"ParamSlot", part->ParamSlot},
                               {"AttrSlot", part->AttrSlot},
                               {"X", part->X},
                               {"Y", part->Y}});
    directions.append(parts);
  }
  QJsonArray sounds;
  for (const auto &sound : step.Sounds)
    sounds.append(
        QJsonObject{{"FileName", ToQt(sound->FileName)}, {"X", sound->X}, {"Y", sound->Y}, {"Tick", sound->Tick}});
  return {{"StartTick", step.StartTick}, {"Duration", step.Duration}, {"Directions", directions}, {"Sounds", sounds}};
}

QJsonObject ActorJson(const TZeltoActor &actor)
{
  QJsonArray keys;
  for (const auto &key : actor.Keys)
    keys.append(QJsonObject{{"Time", key->Time}, {"Mods", TextArray(key->Mods)}});
  return {{"Kind", actor.Kind}, {"Name", ToQt(actor.Name)}, {"Keys", keys}};
}

QJsonObject DocumentFieldsJson(const TZeltoAni &ani)
{
  return {{"Name", ToQt(ani.Name)},
          {"FileName", NameToQt(ani.FileName)},
          {"IsMovie", ani.IsMovie},
          {"Length", ani.Length},
          {"Loop", ani.Loop},
          {"Continuous", ani.Continuous},
          {"BackColor", ani.BackColor},
          {"SingleDirection", ani.SingleDirection},
          {"SetBackTo", ToQt(ani.SetBackTo)},
          {"Script", ToQt(ani.Script)},
          {"DefaultParams", TextArray(ani.DefaultParams)},
          {"DefaultAttrs", TextArray(ani.DefaultAttrs)},
          {"DefaultHead", ToQt(ani.DefaultHead)},
          {"DefaultBody", ToQt(ani.DefaultBody)}};
}
