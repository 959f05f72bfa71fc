// A line-aware pass over an animation's text beside the reader: where each definition, attachment,
// frame and sound stands, and the faults that only the text shows because the reader drops them
// silently (parts and attachments naming no definition, values cut at a blank, lines that stop the
// reading). It follows the reader's splitting and block rules; the reader itself is left alone.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

struct TFinding
{
  int Line = 0; // 1-based; 0 when no line is known
  std::string Message;
};

struct TAttachSource
{
  int Owner = 0, Attached = 0, Line = 0;
};

// The lines of a frame the reader keeps: its direction lines and its PLAYSOUND lines, in order.
struct TFrameSource
{
  std::vector<int> DirectionLines;
  std::vector<int> SoundLines;
};

struct TSourceMap
{
  std::unordered_map<int, std::vector<int>> SpriteLines; // every SPRITE line of each index, in order
  std::vector<TAttachSource> Attachments;                // those the reader keeps
  std::vector<TFrameSource> Frames;                      // in the document's frame order
  std::map<std::string, int> HeaderLines;                // keyword (DEFAULTHEAD, DEFAULTPARAM3...) -> last line
  std::vector<TFinding> Findings;
};

TSourceMap ScanSource(const std::string &bytes);
