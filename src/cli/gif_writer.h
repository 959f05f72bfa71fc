// Animated GIF files written with giflib.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>
#include <vector>

struct TGifFrame
{
  const QImage *Image = nullptr; // Format_RGB32 or Format_ARGB32, every frame the same size
  int Ticks = 1;                 // 1/20 s each; the frame's delay is 5 hundredths per tick
};

// Encodes the frames as one GIF animation. Its one palette holds the colours the frames use; with
// more than fit (256, or 255 beside a transparent entry) they are reduced by giflib's median-cut
// quantiser over all frames together. Pixels whose alpha is 0 become the transparent index. A
// looping animation gets the NETSCAPE2.0 extension with a count of 0 (forever); one that does not
// loop gets none and plays once. False with the reason in error.
bool EncodeGif(const std::vector<TGifFrame> &frames, bool loop, QByteArray &gif, std::string &error);
