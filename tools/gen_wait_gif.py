#!/usr/bin/env python3
"""Writes resources/gif/410-wait.gif, the web pages' "please wait" spinner: 32 x 32 pixels,
eight frames of twelve dots, the bright one turning, looping for ever. Drawn here so that it
needs no image tool:

    tools/gen_wait_gif.py > resources/gif/410-wait.gif
"""
import math
import struct
import sys

SIZE = 32
FRAMES = 12
# palette: 0 transparent, then greys from dark to light
PALETTE = [(255, 255, 255)] + [(40 + i * 26, 90 + i * 20, 160 + i * 10) for i in range(7)]
PALETTE += [(255, 255, 255)] * (8 - len(PALETTE))


def frame(turn):
    pixels = [[0] * SIZE for _ in range(SIZE)]
    for dot in range(12):
        angle = 2 * math.pi * dot / 12
        cx = SIZE / 2 + 11 * math.sin(angle)
        cy = SIZE / 2 - 11 * math.cos(angle)
        age = (turn - dot) % 12
        shade = 1 + min(age, 6)  # 1 darkest (newest) .. 7 lightest
        for y in range(SIZE):
            for x in range(SIZE):
                if (x + .5 - cx) ** 2 + (y + .5 - cy) ** 2 <= 2.6 ** 2:
                    pixels[y][x] = shade
    return [p for row in pixels for p in row]


def lzw(indices, min_code=3):
    # Codes stay at min_code + 1 bits: a clear code before the table would grow keeps it so.
    clear, end = 1 << min_code, (1 << min_code) + 1
    width = min_code + 1
    limit = (1 << width) - 2 - end  # codes the table may add before it would need a wider one
    out, bits, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8

    emit(clear)
    added = 0
    for index in indices:
        if added >= limit:
            emit(clear)
            added = 0
        emit(index)
        added += 1
    emit(end)
    if nbits:
        out.append(bits & 255)
    return bytes(out)


def main():
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", SIZE, SIZE, 0xF2, 0, 0)  # global table of 8 colours
    for r, g, b in PALETTE:
        data += bytes((r, g, b))
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for turn in range(FRAMES):
        data += b"\x21\xF9\x04\x09" + struct.pack("<H", 8) + b"\x00\x00"  # 80 ms, index 0 transparent
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        data += b"\x03"
        packed = lzw(frame(turn))
        for i in range(0, len(packed), 255):
            chunk = packed[i:i + 255]
            data += bytes((len(chunk),)) + chunk
        data += b"\x00"
    data += b"\x3B"
    sys.stdout.buffer.write(bytes(data))


if __name__ == "__main__":
    main()
