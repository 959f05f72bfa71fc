// Small game folders made by the tests: indexed PNG images with a transparent entry, and
// animations built from a few lines.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// Writes an indexed PNG of width x height whose pixel (x, y) is palette entry pixel(x, y); entry 0
// is transparent. Returns the full path.
std::string WriteIndexedPng(const TempDir &dir, const std::string &relative, int width, int height,
                            const std::vector<QRgb> &palette, int (*pixel)(int x, int y));

// A one-frame animation with the header lines given and direction lines "0 0 0" for all four
// directions, where sprite 0 is the fixed SPRITES image; extra lines go inside the frame block.
std::string OneFrameAnimation(const std::string &header, const std::string &frameExtra = "");
