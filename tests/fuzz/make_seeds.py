#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

Every seed is made here from scratch: pictures by small encoders below (the
JPEG ones by cjpeg from libjpeg-turbo-progs, from a picture made here), texts
typed in. Run it again after changing a target's input layout; fuzzing only
adds to a scratch copy of these folders, never to them.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def pixel(x, y):
    return ((x * 60) & 255, (y * 80) & 255, ((x + y) * 40) & 255)


# ---- bitmaps -----------------------------------------------------------------

def bmp(width, height, bpp=24, top_down=False, compression=0, masks=None, palette=None,
        pixels=None, core=False):
    """A BMP file; pixels is the raw pixel data when given."""
    if pixels is None:
        rows = []
        for y in range(height):
            src_y = y if top_down else height - 1 - y
            row = bytearray()
            for x in range(width):
                r, g, b = pixel(x, src_y)
                if bpp == 24:
                    row += bytes((b, g, r))
                elif bpp == 32 and masks == "rgbx":
                    row += bytes((r, g, b, 0))
                elif bpp == 32:
                    row += bytes((b, g, r, 0))
                elif bpp == 8:
                    row.append((x + src_y) % len(palette))
            while len(row) % 4:
                row.append(0)
            rows.append(bytes(row))
        pixels = b"".join(rows)
    extra = b""
    if masks == "bgrx":
        extra = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
    elif masks == "rgbx":
        extra = struct.pack("<III", 0x000000FF, 0x0000FF00, 0x00FF0000)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in (palette or []))
    if core:
        info = struct.pack("<IHHHH", 12, width, height, 1, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bpp,
                           compression, len(pixels), 2835, 2835, len(palette or []), 0)
    offset = 14 + len(info) + len(extra) + len(pal)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return header + info + extra + pal + pixels


def rle8_bmp():
    palette = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)]
    # two rows of 6 pixels: runs, an absolute run, end of line, end of bitmap
    data = bytes((3, 1, 3, 2, 0, 0, 0, 3, 1, 2, 3, 0, 3, 3, 0, 0, 0, 1))
    return bmp(6, 2, bpp=8, compression=1, palette=palette, pixels=data)


# ---- PNG, GIF, ICO, netpbm, X pictures, SVG -------------------------------------

def png(width, height, alpha=False):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))
            if alpha:
                raw.append((x * 255) // max(1, width - 1))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw)))
            + chunk(b"IEND", b""))


def gif(width, height):
    """Four colours; the LZW stream restarts after every two codes, so every
    code stays three bits wide and no dictionary is needed."""
    codes = [4]
    indices = [(x + y) % 4 for y in range(height) for x in range(width)]
    for i in range(0, len(indices), 2):
        codes += indices[i:i + 2] + [4]
    codes[-1] = 5
    bits, nbits, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 255)
    blocks = b"".join(bytes((len(out[i:i + 255]),)) + out[i:i + 255] for i in range(0, len(out), 255))
    palette = bytes((0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255))
    return (b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0) + palette
            + b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02" + blocks
            + b"\x00;")


def ico(image, width, height, bmp_inside):
    if bmp_inside:  # an icon bitmap: info header with doubled height, pixels, AND mask
        body = bmp(width, height, bpp=32)[14:]
        body = body[:8] + struct.pack("<i", height * 2) + body[12:]
        body += b"\x00" * (((width + 31) // 32) * 4 * height)
    else:
        body = image
    entry = struct.pack("<BBBBHHII", width, height, 0, 0, 1, 32, len(body), 22)
    return struct.pack("<HHH", 0, 1, 1) + entry + body


def netpbm(kind, width, height):
    if kind == "P6":
        body = b"".join(bytes(pixel(x, y)) for y in range(height) for x in range(width))
    elif kind == "P5":
        body = bytes(pixel(x, y)[0] for y in range(height) for x in range(width))
    else:  # P4, one bit a pixel, rows padded to bytes
        body = bytes((0b10100000 if y % 2 else 0b01010000) for y in range(height))
        return b"P4\n%d %d\n" % (width, height) + body
    return b"%s\n# made for fuzzing\n%d %d\n255\n" % (kind.encode(), width, height) + body


XBM = """#define dot_width 8
#define dot_height 4
static unsigned char dot_bits[] = {
   0x18, 0x3c, 0x3c, 0x18 };
"""

XPM = """/* XPM */
static char *dot[] = {
"4 3 2 1",
"  c None",
". c #3050a0",
" .. ",
"....",
" .. "};
"""

SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="24" height="16" viewBox="0 0 24 16">
<rect x="1" y="1" width="10" height="6" fill="#c04020"/>
<circle cx="17" cy="9" r="5" stroke="blue" fill="none"/>
<text x="2" y="15" font-size="6">Ab</text>
</svg>
"""


def jpegs(ppm):
    """JPEG pictures by cjpeg; nothing when it is not installed."""
    out = {}
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.ppm")
        with open(src, "wb") as f:
            f.write(ppm)
        for name, args in (("baseline", ["-quality", "75"]),
                           ("progressive", ["-progressive", "-quality", "50"]),
                           ("gray", ["-grayscale"]),
                           ("restart", ["-restart", "1", "-quality", "90"])):
            try:
                out[name] = subprocess.run(["cjpeg"] + args + [src], check=True,
                                           capture_output=True).stdout
            except (OSError, subprocess.CalledProcessError) as error:
                print("cjpeg failed (%s): no %s seed" % (error, name), file=sys.stderr)
    return out


def loader_seeds():
    palette = [(0, 0, 0), (200, 30, 30), (30, 200, 30), (30, 30, 200)]
    put("loader", "bmp24.bmp", bmp(5, 3))
    put("loader", "bmp24-topdown.bmp", bmp(4, 4, top_down=True))
    put("loader", "bmp32-bitfields.bmp", bmp(3, 3, bpp=32, compression=3, masks="bgrx"))
    put("loader", "bmp8-palette.bmp", bmp(6, 2, bpp=8, palette=palette))
    put("loader", "bmp8-rle.bmp", rle8_bmp())
    put("loader", "bmp-core-header.bmp", bmp(3, 2, core=True))
    put("loader", "bmp24-missing-row.bmp", bmp(5, 3)[:-12])
    put("loader", "png-rgb.png", png(5, 4))
    put("loader", "png-alpha.png", png(4, 4, alpha=True))
    put("loader", "gif-4colour.gif", gif(5, 3))
    put("loader", "icon-png.ico", ico(png(4, 4, alpha=True), 4, 4, False))
    put("loader", "icon-bmp.ico", ico(None, 4, 4, True))
    put("loader", "ppm.ppm", netpbm("P6", 4, 3))
    put("loader", "pgm.pgm", netpbm("P5", 3, 3))
    put("loader", "pbm.pbm", netpbm("P4", 4, 2))
    put("loader", "dot.xbm", XBM)
    put("loader", "dot.xpm", XPM)
    put("loader", "shapes.svg", SVG)
    for name, data in jpegs(netpbm("P6", 16, 12)).items():
        put("loader", "jpeg-%s.jpg" % name, data)
        if name == "baseline":
            put("loader", "jpeg-cut-short.jpg", data[:len(data) * 2 // 3])
            put("loader", "jpeg-trailing-bytes.jpg", data + b"\x00\x01 extra after the end")


# ---- the other targets -----------------------------------------------------------

def bmp_jpeg_seeds():
    pixels = bytes(range(256)) * 2
    put("bmp_jpeg", "draw-4x3-q80.bin", bytes((0, 3, 2, 100)) + pixels[:48])
    put("bmp_jpeg", "draw-17x5-q1.bin", bytes((0, 16, 4, 21)) + pixels)
    put("bmp_jpeg", "draw-odd-width-q100.bin", bytes((0, 6, 9, 120)) + pixels[:200])
    put("bmp_jpeg", "draw-pattern.bin", bytes((0, 40, 30, 90)))
    raw = [("bgr24", bmp(7, 3)), ("bgr24-topdown", bmp(5, 4, top_down=True)),
           ("bgrx32", bmp(3, 3, bpp=32, compression=3, masks="bgrx")),
           ("rgbx32", bmp(4, 2, bpp=32, compression=3, masks="rgbx")),
           ("plain32", bmp(2, 2, bpp=32)),
           ("palette8", bmp(4, 2, bpp=8, palette=[(0, 0, 0), (255, 255, 255)])),
           ("core-header", bmp(3, 2, core=True)),
           ("missing-row", bmp(7, 3)[:-10])]
    for name, data in raw:
        put("bmp_jpeg", "file-%s.bin" % name, bytes((1, 100)) + data)


MESSAGE = ("<USR>SNL30,SNL21</USR>\r\n<MID>1042</MID>\r\n<MSG>A new version is ready.</MSG>\r\n"
           "<URL>http://www.quorvex.example/snaplorn/</URL>\r\n<BTN>YN</BTN>\r\n"
           "<TTL>Snaplorn news</TTL>\r\n")


def broadcast_seeds():
    put("broadcast", "message.txt", "\0" + MESSAGE)
    put("broadcast", "message-hidden.txt", "1042\0" + MESSAGE)
    put("broadcast", "message-upper-lower.txt",
        "\0<usr>SNL30</USR><mid> 7 </Mid><MSG>Hello\xe9</msg><url></url><btn>OK</btn><ttl>T</ttl>")
    put("broadcast", "other-audience.txt", "\0" + MESSAGE.replace("SNL30,", ""))
    put("broadcast", "unclosed-tag.txt", "\0<USR>SNL30</USR><MID>3</MID><MSG>no end<URL></URL>")
    put("broadcast", "error-page.txt",
        "\0<!DOCTYPE html>\n<html><head><title>404</title></head><body>Not found</body></html>")


SETTINGS = ("[Software\\Quorvex\\Snaplorn21]\nRunInTray=0\nJpgQuality=80\n"
            "AutoFolder=/home/someone/Pictures\nAutoInterval=10\nAutoImagesNum=5\n"
            "HotKeyPresent=1\nHotKeyRect=1,121\nHotKeyDesk=1,122\nHotKeyWin=1,123\nHideMsgID=\n\n"
            "[Control Panel\\Desktop]\nWallpaper=/home/someone/wall.bmp\nTileWallpaper=0\n")


def settings_seeds():
    put("settings", "settings.ini", SETTINGS)
    put("settings", "settings-crlf.ini", SETTINGS.replace("\n", "\r\n"))
    put("settings", "odd-values.ini",
        "[Software\\Quorvex\\Snaplorn21]\nRunInTray= 1 \nJpgQuality=99999\nAutoInterval=0,5\n"
        "AutoImagesNum=2.5\nHotKeyPresent=yes\nAutoFolder=/tmp/a\\=b\\nc\\0d\nHideMsgID=" +
        "x" * 300 + "\nno separator here\n; a comment\n")
    put("settings", "other-key-only.ini", "[Control Panel\\Desktop]\nWallpaper=\n")
    put("settings", "escapes.ini",
        "[Software\\Quorvex\\Snaplorn21]\nHot\\=Key=1\\\\2\nAutoInterval=1e3\nJpgQuality=-0.5\n"
        "[]\n=empty name\n[unclosed\n")


def options_seeds():
    def form(ticks, locale, *fields):
        return bytes((ticks, locale)) + b"\0".join(f.encode() for f in fields)
    put("options", "defaults.bin",
        form(0b1110, 0, "/home/someone/Pictures", "10", "5", "80", "ALT", "F10", "ALT", "F11",
             "ALT", "F12"))
    put("options", "german.bin",
        form(0b1111, 1, "/tmp", "0,2", "32767", "100", "CTRL", "A", "SHIFT", "Z", "", ""))
    put("options", "edges.bin",
        form(0b1100, 2, "  ", "60", "1.4", "0.5", "SHIFT", "F1", "ALT", "B", "CTRL", "F13"))
    put("options", "bad-folder.bin", form(0b0000, 0, "/nowhere", "10", "5", "80"))
    put("options", "bad-numbers.bin", form(0b1000, 0, "/tmp", "abc", "1e9", "1,000"))


def small_text_seeds():
    for name, text in (("alt-f10", "1,121"), ("ctrl-a", "2,65"), ("spaces", "7, 112 "),
                       ("no-digit", "x,12"), ("too-large", "1,255"), ("short", "1,")):
        put("hotkeyspec", name + ".txt", text)
    put("droplist", "one-file.txt", "file:///home/someone/Pictures/shot.bmp\r\n")
    put("droplist", "comments.txt", "# from a file manager\n\nfile:///tmp/a%20b.jpg\nfile:///c.gif\n")
    put("droplist", "web-first.txt", "http://example.invalid/pic.png\nfile:///tmp/x.bmp\n")
    put("droplist", "host-and-utf8.txt", "file://localhost/tmp/%C3%A9t%C3%A9.bmp\n")
    put("droplist", "broken.txt", "file:///tmp/%zz bad\n")
    for name, args in (("capture-file", ["--capture", "desktop", "--delay", "500", "--output",
                                          "/tmp/a.jpg"]),
                       ("inline-values", ["--capture=window", "--quality=90", "--output="]),
                       ("folder", ["--output", "/tmp/", "--capture", "desktop"]),
                       ("quoted-picture", ['"/home/someone/my', 'shot.bmp"']),
                       ("help", ["-h"]),
                       ("bad-delay", ["--capture", "window", "--delay", "-1"])):
        put("commandline", name + ".bin", "\0".join(args))


if __name__ == "__main__":
    loader_seeds()
    bmp_jpeg_seeds()
    broadcast_seeds()
    settings_seeds()
    options_seeds()
    small_text_seeds()
