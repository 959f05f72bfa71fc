// The JSON form of a document that velk dump prints: keys are the model's field names. A
// document's three lists are made one element at a time, so that dump can stream them.
#pragma once

#include <QJsonObject>

#include "model/actor.h"
#include "model/document.h"

QJsonObject SpriteJson(const TZeltoAniSprite &sprite);
QJsonObject StepJson(const TZeltoAniStep &step);
QJsonObject ActorJson(const TZeltoActor &actor);

// The document's own fields: everything but its lists Sprites, Steps and Actors.
QJsonObject DocumentFieldsJson(const TZeltoAni &ani);
