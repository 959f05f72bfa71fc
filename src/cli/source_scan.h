// A line-aware pass over an animation's text beside the reader: where each definition, attachment,
// frame and sound stands, and the faults that only the text shows because the reader drops them
// silently (parts and attachments naming no definition, frames dropped unfinished, actors of no
// known kind, values cut at a blank, lines that stop the reading). It follows the reader's splitting and block rules;
// the reader itself is left alone.
#pragma once

#include <map>
#include <string>
#include <vector>

struct TFinding
{
  int Line = 0; // 1-based; 0 when no line is known
  std::string Message;
};

struct TSpriteSource
{
  int Index = 0, Line = 0;
};

struct TAttachSource
{
  int Owner = 0, Attached = 0, Line = 0;
};

// The lines of a frame the reader keeps: ranges of TSourceMap's DirectionLines and SoundLines.
struct TFrameSource
{
  size_t FirstDirection = 0, Directions = 0;
  size_t FirstSound = 0, Sounds = 0;
};

struct TSourceMap
{
  std::vector<TSpriteSource> Sprites;          // the SPRITE lines the reader keeps, in order
  std::vector<TAttachSource> Attachments;      // those the reader keeps
  std::vector<TFrameSource> Frames;            // in the document's frame order
  std::vector<int> DirectionLines, SoundLines; // the frames' lines, frame after frame
  std::map<std::string, int> HeaderLines;      // keyword (DEFAULTHEAD, DEFAULTPARAM3...) -> last line
  // The FRAME lines of the keys the reader keeps, actor by actor in the document's order.
  std::vector<std::vector<int>> KeyLines;
  // The line where the reader stopped, or of the last frame it dropped; 0 when neither happened.
  // A file that cannot be read is reported there.
  int StopLine = 0;
  std::vector<TFinding> Findings;
};

TSourceMap ScanSource(const std::string &bytes);

// The line of a frame's direction list or of its k-th sound; 0 when there is none.
int DirectionLine(const TSourceMap &map, size_t frame, size_t direction);
int SoundLine(const TSourceMap &map, size_t frame, size_t sound);
