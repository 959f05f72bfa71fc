#!/usr/bin/env python3
"""Writes the small seed files of the decoder fuzz targets into corpus/png and corpus/gif, and the regression inputs into crashers/png and crashers/gif."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))


def png_image(width, height, depth, filters, trns=None, idat_parts=1, palette_size=16):
    row_bytes = (width * depth + 7) // 8
    raw = b''
    for y in range(height):
        raw += bytes([filters[y % len(filters)]]) + bytes((x * 7 + y * 3) % 251 for x in range(row_bytes))
    data = zlib.compress(raw)
    out = chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, 3, 0, 0, 0))
    out += chunk(b'PLTE', bytes(i % 256 for i in range(palette_size * 3)))
    if trns is not None:
        out += chunk(b'tRNS', bytes(trns))
    step = max(1, len(data) // idat_parts + 1)
    for i in range(0, len(data), step):
        out += chunk(b'IDAT', data[i:i + step])
    return out + chunk(b'IEND', b'')


def png_file(*args, **kwargs):
    return b'\x89PNG\r\n\x1a\n' + png_image(*args, **kwargs)


def fram(mode, delay=None, change=1):
    body = bytes([mode, 0])
    if delay is not None:
        body += bytes([change, 0, 0, 0]) + struct.pack('>I', delay)
    return chunk(b'FRAM', body)


def mng_file():
    out = b'\x8aMNG\r\n\x1a\n' + chunk(b'MHDR', struct.pack('>IIIIIII', 6, 4, 1000, 0, 0, 0, 0))
    out += chunk(b'TERM', bytes([3, 0]) + struct.pack('>II', 0, 2))
    out += fram(1, 500, 2)
    out += png_image(6, 4, 8, [0, 1, 2])
    out += fram(4, 250)
    out += png_image(5, 3, 4, [3, 4])
    return out + chunk(b'MEND', b'')


def lzw_literals(pixels, min_code_size):
    """Codes every pixel as a literal, clearing before the code width would grow."""
    clear = 1 << min_code_size
    width = min_code_size + 1
    codes = [clear]
    room = (1 << width) - (clear + 2)
    for i, p in enumerate(pixels):
        if i and i % room == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(clear + 1)
    bits, count, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << count
        count += width
        while count >= 8:
            out.append(bits & 255)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 255)
    blocks = b''
    for i in range(0, len(out), 255):
        blocks += bytes([len(out[i:i + 255])]) + out[i:i + 255]
    return bytes([min_code_size]) + blocks + b'\x00'


def gif_frame(left, top, width, height, colors, interlaced=False, local_bits=0, gce=None):
    out = b''
    if gce is not None:
        flags, delay, transparent = gce
        out += b'\x21\xf9\x04' + bytes([flags]) + struct.pack('<H', delay) + bytes([transparent, 0])
    flags = (0x40 if interlaced else 0) | ((0x80 | (local_bits - 1)) if local_bits else 0)
    out += b',' + struct.pack('<HHHH', left, top, width, height) + bytes([flags])
    if local_bits:
        out += bytes((i * 5) % 256 for i in range(3 << local_bits))
    pixels = [(x + y) % colors for y in range(height) for x in range(width)]
    return out + lzw_literals(pixels, max(2, (colors - 1).bit_length()))


def gif_file(width, height, frames, loop=None, version=b'89a'):
    out = b'GIF' + version + struct.pack('<HH', width, height) + bytes([0xf3, 0, 0])
    out += bytes((i * 3) % 256 for i in range(48))
    if loop is not None:
        out += b'\x21\xff\x0bNETSCAPE2.0\x03\x01' + struct.pack('<H', loop) + b'\x00'
    return out + b''.join(frames) + b';'


def write(folder, name, data):
    with open(os.path.join(HERE, folder, name), 'wb') as f:
        f.write(data)


write('corpus/png', 'indexed8.png', png_file(7, 5, 8, [0, 1, 2, 3, 4], trns=[255, 128, 0]))
write('corpus/png', 'indexed4.png', png_file(5, 4, 4, [4, 3, 2, 1], trns=[0]))
write('corpus/png', 'split_idat.png', png_file(9, 6, 8, [1, 4], idat_parts=3))
write('corpus/png', 'animation.mng', mng_file())
write('corpus/gif', 'single.gif', gif_file(6, 4, [gif_frame(0, 0, 6, 4, 16, gce=(1, 7, 0))]))
write('corpus/gif', 'interlaced.gif', gif_file(5, 10, [gif_frame(0, 0, 5, 10, 16, interlaced=True)], version=b'87a'))
write('corpus/gif', 'animation.gif', gif_file(8, 6, [
    gif_frame(0, 0, 8, 6, 16, gce=(8 | 1, 10, 3)),
    gif_frame(2, 1, 4, 3, 4, local_bits=2, gce=(4, 20, 0)),
    gif_frame(6, 4, 4, 4, 16, gce=(1, 5, 2)),
], loop=0))

# Inputs that reach the guarded faults: a frame larger than the MNG's size, tRNS past the
# palette, a tick rate of 0, a GIF frame past the screen's edges, a code past the LZW table.
write('crashers/png', 'frame_wider_than_mhdr.mng',
      b'\x8aMNG\r\n\x1a\n' + chunk(b'MHDR', struct.pack('>IIIIIII', 3, 2, 0, 0, 0, 0, 0)) +
      fram(1, 0x7FFFFFFF) + png_image(40, 9, 8, [4, 3]) + chunk(b'MEND', b''))
write('crashers/png', 'trns_past_palette.png', png_file(3, 2, 8, [0], trns=[255] * 280 + [0]))
write('crashers/gif', 'frame_past_screen.gif', gif_file(4, 3, [gif_frame(2, 1, 30, 20, 16, interlaced=True)]))
write('crashers/gif', 'code_past_table.gif',
      gif_file(4, 1, [b',' + struct.pack('<HHHH', 0, 0, 4, 1) + b'\x00' + bytes([2, 2, 0xCC, 0x01, 0])]))
