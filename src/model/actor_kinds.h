// The kinds of movie actors and their words in the file, shared by the document's reader and
// writer and by the actors themselves.
#pragma once

#include <string>

enum TActorKind { akCharacter = 0, akSprite = 1, akSound = 2, akText = 3 };
inline constexpr int ActorKindCount = 4;

// File keyword of a kind ("CHAR", "SPRITE", "SOUND", "TEXT"); the kind of a keyword or -1.
const char *ActorKindWord(int kind);
int ActorKindFromWord(const std::string &word);
// Default name prefix of a kind ("Actor", "Sprite", "Sound", "Text").
const char *ActorKindPrefix(int kind);
