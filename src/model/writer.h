// Writes a document as .velk text.
#pragma once

#include <string>
#include <string_view>

class TZeltoAni;

// Rebuilds every frame's wait and sound lines from its Duration and Sounds.
void BuildExtraText(TZeltoAni *ani);

// The complete file text of ani, as Save writes it (CR LF line ends). Rebuilds the frames' extra
// text and sorts the attribute lines of movie keys, as the written file has them.
std::string AnimationText(TZeltoAni *ani);

// File names are single words of their lines (an image or sound name with a blank breaks the
// line it stands in): true when name has neither blanks nor control characters.
bool IsStorableFileName(const std::string &name);

// A sprite description as the file keeps it: the reader joins the line's last words with single
// spaces, so blanks and control characters between words become one space and none stay at the
// ends.
std::string StorableDescription(const std::string &text);

// Why text would not read back as written: the reader's document of it written again differs,
// and the message names the first line that differs ("line 12 does not read back as written:
// ..."). Empty when the text reads back exactly.
std::string ReadBackProblem(std::string_view text);

// Writes ani to its FileName, replacing the file only once the new text is complete on disk (a
// device or FIFO is written into, never replaced), then clears Modified. The text is read back
// first: one that would not read back as written is not saved. On failure returns false with the
// reason in error; the old file and Modified stay as they were.
bool WriteAnimation(TZeltoAni *ani, std::string *error = nullptr);
