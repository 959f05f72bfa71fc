// Reads a .velk file into a document.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class TZeltoActor;
class TZeltoAni;
struct TZeltoAniStep;

// Files larger than this are not read: no animation comes near it, and it bounds memory.
inline constexpr size_t MaxAnimationFileSize = 64u << 20;
// The longest frame, in ticks (a day); longer waits are cut to it.
inline constexpr int MaxFrameDuration = 20 * 60 * 60 * 24;

// True for a name the game folder index resolves ("walk"): no "." and no folder. A name that
// holds a folder ("/home/me/anims/walk") is always a path, so a chosen file is never swapped
// for the game's file of the same name.
bool IsBareAnimationName(const std::string &name);

// Reads the animation name (a bare name resolved through the game folder index, or a path).
// owner becomes the parent of a movie's actors. Returns none when nothing readable is found, with
// the reason in error when given.
std::unique_ptr<TZeltoAni> ReadAnimation(TZeltoActor *owner, const std::string &name, std::string *error = nullptr);

// Parses the bytes of a .velk file into ani, which must be freshly created. Returns false when
// the bytes hold neither a frame nor a movie.
bool ParseAnimation(TZeltoAni &ani, TZeltoActor *owner, std::string_view bytes);

// Turns the frame's wait and sound lines into its Duration and Sounds. Returns false when a
// WAIT count is not an integer (Duration and Sounds then hold what was read before it).
bool ParseExtraText(TZeltoAni *ani, TZeltoAniStep *step);

// The one-part direction line the writer uses for a direction without parts: an invisible part
// (parameter slot 9 does not exist) that readers keep, so the following directions stay in place.
inline constexpr const char *EmptyDirectionSlot = "PARAM9";
