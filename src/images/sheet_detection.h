// Finding sprites on a sheet by its transparent pixels: the bounds of the sprite under a click,
// and the grid of cells that a sheet's sprites stand in. Transparent is what the renderer leaves
// out when it copies the image: every palette entry of the colour of the transparent entry, or
// black when the image has none.
#pragma once

#include <QRect>
#include <array>
#include <optional>
#include <string>

class TImageAnimation;

// The palette entries the renderer's colour key leaves out.
std::array<bool, 256> TransparentEntries(const TImageAnimation &image);

// The smallest rectangle holding every pixel that is not transparent and is connected to (x, y)
// through its eight neighbours (a diagonal stroke stays one sprite). None when (x, y) is outside
// the image or transparent.
std::optional<QRect> SpriteBounds(const TImageAnimation &image, int x, int y);

// A grid as the Add Sprite dialog takes it: cell Width x Height from (Left, Top), Columns x Rows.
struct TGridGuess
{
  int Left = 0, Top = 0, Width = 0, Height = 0, Columns = 0, Rows = 0;
};

// Guesses the grid from the fully transparent columns and rows. Along each axis the runs of
// columns (rows) that hold opaque pixels are the sprites; each gets a cell of its own, all cells
// one pitch apart. The pitch is the mean distance between the runs' centres, moved into the range
// in which every run still fits inside its cell; the first cell starts where the runs sit in the
// middle of their cells, but inside the image. A gutter between cells becomes part of the cell,
// since the dialog's cells follow one another without gaps. None, with the reason in why, when
// the image has no opaque pixel or its runs fit no such grid.
std::optional<TGridGuess> DetectGrid(const TImageAnimation &image, std::string *why = nullptr);
