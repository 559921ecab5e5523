"""Turns an X window dump (xwd, 24 or 32 bits per pixel, ZPixmap) read from stdin into a PNG file.
   XwdToPng.py OUT.png [X,Y,W,H [RRGGBB]]: with a screen rectangle, prints the number of distinct colours inside it;
   with a colour as well, the number of pixels inside it that are that colour, each channel within 8."""
import struct
import sys
import zlib


def main():
    data = sys.stdin.buffer.read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = header[0], header[1], header[2], header[3], header[4], header[5]
    byte_order, bits_per_pixel, line_bytes = header[7], header[11], header[12]
    colormap_entries = header[19]  # ncolors: the colour entries written after the header
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    if bits_per_pixel not in (24, 32):
        sys.exit("xwd: %d bits per pixel is not read here" % bits_per_pixel)
    pixels = data[header_size + 12 * colormap_entries:]
    step = bits_per_pixel // 8
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = bytearray()
    region = [int(v) for v in sys.argv[2].split(",")] if len(sys.argv) > 2 else None
    colours = set()
    wanted = bytes.fromhex(sys.argv[3]) if len(sys.argv) > 3 else None
    near = 0
    for y in range(height):
        rows.append(0)
        line = pixels[y * line_bytes:y * line_bytes + width * step]
        for x in range(width):
            chunk = line[x * step:x * step + step]
            value = int.from_bytes(chunk, "little" if order == "<" else "big")
            rgb = bytes(((value & red_mask) >> rs, (value & green_mask) >> gs, (value & blue_mask) >> bs))
            rows += rgb
            if region and region[0] <= x < region[0] + region[2] and region[1] <= y < region[1] + region[3]:
                colours.add(rgb)
                if wanted and all(abs(a - b) <= 8 for a, b in zip(rgb, wanted)):
                    near += 1

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b"")
    with open(sys.argv[1], "wb") as f:
        f.write(png)
    if wanted:
        print(near)
    elif region:
        print(len(colours))


main()
