#!/usr/bin/env python3
"""Writes the seed pictures of the picture fuzz targets into fuzz/corpus/.

The JPEGs come from cjpeg (libjpeg-turbo-progs); GIF, BMP and EXIF blocks are written
byte by byte here, so that the odd corners (a small frame on a large GIF screen, a BMP
stored top-down, the old BMP core header, a thumbnail in IFD1) are there for certain.
Every seed is a few hundred bytes. Run from anywhere: python3 fuzz/picture-seeds.py
"""
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FILE_SEEDS = os.path.join(HERE, "corpus", "fuzz_picture_file")
EXIF_SEEDS = os.path.join(HERE, "corpus", "fuzz_picture_exif")

RED, GREEN, BLUE, YELLOW = (220, 30, 30), (30, 200, 40), (30, 40, 220), (230, 220, 30)


def quadrants(width, height):
    """Rows of RGB triples: a different colour in each quadrant, so turns show."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            top, left = y < height // 2, x < width // 2
            row.append(RED if top and left else GREEN if top else BLUE if left else YELLOW)
        rows.append(row)
    return rows


def ppm(rows):
    return b"P6 %d %d 255\n" % (len(rows[0]), len(rows)) + bytes(c for row in rows for p in row for c in p)


def cjpeg(rows, *options):
    return subprocess.run(["cjpeg", "-quality", "50", *options], input=ppm(rows), capture_output=True,
                          check=True).stdout


def segments(jpeg):
    """(offset, marker) of each segment before the scan data."""
    pos, found = 2, []
    while pos + 4 <= len(jpeg) and jpeg[pos] == 0xFF:
        marker = jpeg[pos + 1]
        found.append((pos, marker))
        if marker == 0xDA:
            break
        pos += 2 + struct.unpack(">H", jpeg[pos + 2:pos + 4])[0]
    return found


def with_frame_size(jpeg, width, height):
    for pos, marker in segments(jpeg):
        if marker in (0xC0, 0xC1, 0xC2):
            return jpeg[:pos + 5] + struct.pack(">HH", height, width) + jpeg[pos + 9:]
    raise ValueError("no frame header")


def cut_in_scan(jpeg):
    """The file ending half way through its entropy-coded data."""
    pos, marker = segments(jpeg)[-1]
    assert marker == 0xDA
    return jpeg[:(pos + len(jpeg)) // 2]


def without_jfif(jpeg):
    """cjpeg writes a JFIF APP0 first; cameras write the EXIF APP1 there instead."""
    pos, marker = segments(jpeg)[0]
    assert marker == 0xE0
    return jpeg[:2] + jpeg[pos + 2 + struct.unpack(">H", jpeg[pos + 2:pos + 4])[0]:]


def with_app1(jpeg, tiff):
    block = b"Exif\0\0" + tiff
    return jpeg[:2] + b"\xFF\xE1" + struct.pack(">H", len(block) + 2) + block + jpeg[2:]


def tiff_block(order, orientation, thumbnail=None, extra_ifd0=(), next_ifd1=True):
    """A TIFF structure: IFD0 with the orientation (and `extra_ifd0` entries as
    (tag, type, count, value-bytes-of-4)), then IFD1 pointing at `thumbnail`."""
    e = "<" if order == b"II" else ">"
    entries = [(0x0112, 3, 1, struct.pack(e + "HH", orientation, 0))] + list(extra_ifd0)
    ifd0_size = 2 + 12 * len(entries) + 4
    ifd1 = 8 + ifd0_size
    ifd1_size = 2 + 12 * 2 + 4
    out = order + struct.pack(e + "HI", 42, 8) + struct.pack(e + "H", len(entries))
    for tag, kind, count, value in entries:
        out += struct.pack(e + "HHI", tag, kind, count) + value
    out += struct.pack(e + "I", ifd1 if thumbnail is not None and next_ifd1 else 0)
    if thumbnail is not None:
        out += struct.pack(e + "H", 2)
        out += struct.pack(e + "HHII", 0x0201, 4, 1, ifd1 + ifd1_size)
        out += struct.pack(e + "HHII", 0x0202, 4, 1, len(thumbnail))
        out += struct.pack(e + "I", 0) + thumbnail
    return out


def lzw_pixels(indices, min_code_size=2):
    """GIF image data without real compression: a clear code before every second pixel
    keeps the codes at min_code_size + 1 bits and the decoder's table tiny."""
    clear, end, width = 1 << min_code_size, (1 << min_code_size) + 1, min_code_size + 1
    codes = []
    for i, index in enumerate(indices):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits, count, data = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += width
        while count >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits & 0xFF)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    return bytes([min_code_size]) + blocks + b"\0"


PALETTE = bytes(c for p in (RED, GREEN, BLUE, YELLOW) for c in p)


def gif_frame(left, top, width, height, interlaced=False, local_palette=False):
    flags = (0x40 if interlaced else 0) | (0x81 if local_palette else 0)
    head = b"," + struct.pack("<HHHHB", left, top, width, height, flags) + (PALETTE if local_palette else b"")
    indices = [(x * 4 // width + y) % 4 for y in range(height) for x in range(width)]
    return head + lzw_pixels(indices)


def gif(version, screen, frames, extensions=b""):
    header = version + struct.pack("<HHBBB", screen[0], screen[1], 0x81, 0, 0) + PALETTE
    return header + extensions + b"".join(frames) + b";"


GCE = b"!\xF9\x04\x04\x0A\x00\x00\x00"  # delay 10, keep the frame
LOOP = b"!\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"


def bmp_rows24(rows, top_down):
    stride = (len(rows[0]) * 3 + 3) & ~3
    ordered = rows if top_down else rows[::-1]
    return b"".join(bytes(c for r, g, b in row for c in (b, g, r)).ljust(stride, b"\0") for row in ordered)


def bmp_info(rows, top_down):
    pixels = bmp_rows24(rows, top_down)
    width, height = len(rows[0]), len(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, 24, 0, len(pixels), 2835, 2835,
                       0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def bmp_core8(rows):
    """The old 12-byte core header: 16-bit sizes, a palette of 3-byte entries."""
    colours = [RED, GREEN, BLUE, YELLOW]
    width, height = len(rows[0]), len(rows)
    stride = (width + 3) & ~3
    pixels = b"".join(bytes(colours.index(p) for p in row).ljust(stride, b"\0") for row in rows[::-1])
    palette = b"".join(bytes((b, g, r)) for r, g, b in colours) + b"\0" * 3 * 252
    info = struct.pack("<IHHHH", 12, width, height, 1, 8)
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def bmp_rle8(width, height):
    """8 bits a pixel, run-length encoded: runs, an escape to absolute mode, a delta, end of bitmap."""
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in (RED, GREEN, BLUE, YELLOW))
    data = b""
    for y in range(height):
        if y == 2:
            data += b"\x00\x02\x01\x01"  # delta: one right, one up
        data += bytes((width // 2, y % 4)) + b"\x00\x04\x01\x02\x03\x00" + b"\x00\x00"
    data += b"\x00\x01"
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, 4, 0)
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + palette + data


def bmp_bitfields16(width, height):
    """16 bits a pixel, 5-6-5, with the masks after the header (BI_BITFIELDS)."""
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    stride = (width * 2 + 3) & ~3
    pixels = b"".join(b"".join(struct.pack("<H", (x * 0x0841 + y * 0x1000) & 0xFFFF) for x in range(width))
                      .ljust(stride, b"\0") for y in range(height))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 3, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info) + len(masks)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + masks + pixels


def bmp_claiming(width, height):
    return b"BM" + struct.pack("<IHHIIiiHH", 70, 0, 0, 54, 40, width, height, 1, 24) + b"\0" * 40


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
    assert len(data) < 8192, name


def main():
    picture = quadrants(32, 16)
    baseline = cjpeg(picture, "-baseline")
    thumbnail = cjpeg(quadrants(8, 4), "-baseline")
    odd = quadrants(13, 7)

    files = {
        "baseline.jpg": baseline,
        "progressive.jpg": cjpeg(picture, "-progressive"),
        "gray_restart.jpg": cjpeg(quadrants(24, 24), "-grayscale", "-restart", "1B"),
        "arithmetic_444.jpg": cjpeg(quadrants(16, 16), "-arithmetic", "-sample", "1x1"),
        "exif_orientation6_thumbnail.jpg": with_app1(without_jfif(baseline), tiff_block(b"II", 6, thumbnail)),
        "exif_big_endian_orientation8.jpg": with_app1(without_jfif(baseline), tiff_block(b"MM", 8, thumbnail)),
        # Fill bytes and a comment before the frame header, as the marker walk must skip.
        "fill_and_comment.jpg": baseline[:2] + b"\xFF\xFF\xFF\xFE\x00\x07hello" + baseline[2:],
        "truncated_scan.jpg": cut_in_scan(baseline),
        "segment_past_end.jpg": baseline[:4] + b"\x7F\xFF" + baseline[6:],
        "frame_65535.jpg": with_frame_size(baseline, 65535, 65535),  # beyond what Qt reads
        "frame_20000.jpg": with_frame_size(baseline, 20000, 20000),  # Qt reads it, the bomb check refuses
        "still87a.gif": gif(b"GIF87a", (13, 7), [gif_frame(0, 0, 13, 7)]),
        "animated89a.gif": gif(b"GIF89a", (32, 24), [GCE + gif_frame(4, 4, 8, 8, local_palette=True),
                                                    GCE + gif_frame(10, 6, 9, 9, interlaced=True)], LOOP),
        "screen_65535.gif": gif(b"GIF89a", (65535, 65535), [gif_frame(0, 0, 2, 2)]),
        "frame_outside_screen.gif": gif(b"GIF89a", (4, 4), [gif_frame(2, 2, 6, 6)]),
        "truncated.gif": gif(b"GIF89a", (13, 7), [gif_frame(0, 0, 13, 7)])[:60],
        "bottom_up_24.bmp": bmp_info(odd, top_down=False),
        "top_down_24.bmp": bmp_info(odd, top_down=True),
        "core_header_8.bmp": bmp_core8(odd),
        "rle8.bmp": bmp_rle8(12, 5),
        "bitfields_565.bmp": bmp_bitfields16(9, 5),
        "claims_70000.bmp": bmp_claiming(70000, 70000),
        "height_int_min.bmp": bmp_claiming(16, -2**31),
        "truncated_pixels.bmp": bmp_info(odd, top_down=False)[:80],
    }
    for name, data in files.items():
        write(FILE_SEEDS, name, data)

    # The EXIF target's inputs are the TIFF structure alone (it adds "Exif\0\0" and the JPEG).
    ascii_make = (0x010F, 2, 4, b"Cam\0")
    blocks = {
        "orientation6_thumbnail": tiff_block(b"II", 6, thumbnail),
        "big_endian_orientation8_thumbnail": tiff_block(b"MM", 8, thumbnail),
        "orientation3_make": tiff_block(b"II", 3, None, [ascii_make]),
        "orientation5_no_thumbnail": tiff_block(b"II", 5),
        # IFD1's offset points back at IFD0: a loop.
        "ifd_loop": tiff_block(b"II", 2, thumbnail)[:8 + 2 + 12] + struct.pack("<I", 8) + tiff_block(b"II", 2, thumbnail)[26:],
        # The thumbnail's length runs far past the block.
        "thumbnail_past_end": tiff_block(b"II", 7, thumbnail)[:26 + 2 + 12 + 8] + struct.pack("<I", 0x7FFFFFF0)
        + tiff_block(b"II", 7, thumbnail)[26 + 2 + 12 + 12:],
        "thumbnail_not_jpeg": tiff_block(b"II", 4, bmp_info(quadrants(4, 4), top_down=False)),
        "thumbnail_claims_4000": tiff_block(b"II", 1, with_frame_size(thumbnail, 4000, 4000)),
    }
    for name, data in blocks.items():
        write(EXIF_SEEDS, name, data)
    print("%d file seeds, %d EXIF blocks" % (len(files), len(blocks)), file=sys.stderr)


if __name__ == "__main__":
    main()
