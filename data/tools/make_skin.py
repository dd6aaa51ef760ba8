#!/usr/bin/env python3
"""Draws the launcher's default skin into <skin folder>/<Language>/: the main window's background
(shaped by its key colour), the four-frame button strips (normal, hot, pressed, disabled) and the
application icon. English has every file; every other language its own pair and signal strips,
with its words (button_words.py); the rest falls back to English.

Usage: make_skin.py <skin folder> [--preview <png folder>] [--words <file>]
       make_skin.py --list        the files it writes, relative to the skin folder

The words are drawn by FreeType through Pillow (Debian: python3-pil) in fonts of Debian packages:
DejaVu Sans Bold (fonts-dejavu-core) for Latin and Cyrillic, Noto Sans CJK Bold (fonts-noto-cjk)
for Chinese, Japanese and Korean. A word that does not fit its frame at the smallest size allowed,
or a letter the font lacks, stops the build. --words writes what each strip shows, one line per
language: language, pair words, signal words, separated by tabs (UTF-8), for the tests.

The .bmp and .ico files are written by hand, byte for byte the same on every run. Edges are
anti-aliased towards the skin's own border colour, never towards the key colour: the window
outline compares pixels with the key colour exactly, so a near-key fringe would show outside the
shape.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from button_words import WORDS  # noqa: E402

KEY = (255, 0, 255)  # magenta: cut away where it reaches an edge

# --- a float RGB canvas ------------------------------------------------------------------------
def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def hexc(s):
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


class Canvas:
    def __init__(self, w, h, colour=KEY):
        self.w, self.h = w, h
        self.px = [[tuple(map(float, colour)) for _ in range(w)] for _ in range(h)]
        self.opaque = [[False] * w for _ in range(h)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0 and self.opaque[y][x]:
            self.px[y][x] = mix(self.px[y][x], colour, clamp(alpha))

    def shape(self, sdf, fill, border, highlight=None):
        """Opaque where the signed distance is negative; the outermost pixels take the border
        colour, blending inwards into the fill (anti-aliased against the skin, not the key)."""
        for y in range(self.h):
            for x in range(self.w):
                d = sdf(x + 0.5, y + 0.5)
                if d >= 0:
                    self.px[y][x] = tuple(map(float, KEY))
                    self.opaque[y][x] = False
                    continue
                self.opaque[y][x] = True
                c = fill(x, y)
                c = mix(border, c, clamp((-d - 0.35) / 1.3))
                if highlight:
                    c = mix(c, highlight[0], highlight[1] * clamp(1 - abs(-d - 2.2) / 0.9))
                self.px[y][x] = c

    def cover(self, inside, colour, alpha=1.0, box=None, n=4):
        """Blends colour over the part of each pixel where inside(x, y) holds (n x n samples)."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, alpha * hits / (n * n))

    def mask(self, x, y, coverage, colour, alpha=1.0):
        """Blends colour over the canvas at x, y by an 8-bit coverage mask (a Pillow "L" image):
        the text's anti-aliased edges mix with the skin under them, never with the key colour."""
        w, h = coverage.size
        data = coverage.tobytes()
        for my in range(h):
            for mx in range(w):
                a = data[my * w + mx]
                if a:
                    self.blend(x + mx, y + my, colour, alpha * a / 255.0)

    def pixels(self):
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                if not self.opaque[y][x]:
                    row.append(KEY)
                    continue
                c = tuple(int(round(clamp(v, 0, 255))) for v in self.px[y][x])
                if c == KEY:  # never by accident: it would be cut out of the window
                    c = (254, 0, 255)
                row.append(c)
            out.append(row)
        return out


def sd_round_rect(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    qx = abs(px - cx) - ((x1 - x0) / 2.0 - r)
    qy = abs(py - cy) - ((y1 - y0) / 2.0 - r)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def smooth_union(a, b, k):
    h = clamp(0.5 + 0.5 * (b - a) / k)
    return b + (a - b) * h - k * h * (1 - h)


# --- files -------------------------------------------------------------------------------------
def write_bmp(path, pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        body += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)


def write_ico(path, images):
    """images: list of (size, rows of (r, g, b, a)); 32-bit entries with their AND masks."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, rows in images:
        xor = bytearray()
        for row in reversed(rows):
            for (r, g, b, a) in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, p in enumerate(row):
                if p[3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0,
                           0, 0, 0)
        blob = info + xor + mask
        entries.append(struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob),
                                   offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries) + b''.join(blobs))


# --- fonts ------------------------------------------------------------------------------------
# (file, face index in a collection, Debian package) per script. Fixed paths, not a font search:
# the same files give the same pixels on every machine with the same packages.
LATIN = ('/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf', 0, 'fonts-dejavu-core')
CJK = '/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc'
FONTS = {
    'ChineseS': (CJK, 2, 'fonts-noto-cjk'),
    'ChineseT': (CJK, 3, 'fonts-noto-cjk'),
    'Japanese': (CJK, 0, 'fonts-noto-cjk'),
    'Korean': (CJK, 1, 'fonts-noto-cjk'),
}
# Pixel sizes tried from the first down: a long word is drawn smaller before it counts as too long.
SIZES = {'latin': (12, 11, 10), 'cjk': (13, 12, 11)}
FRAME_W, FRAME_H = 132, 33
ICON_W, ICON_GAP, MARGIN = 18, 6, 5
TEXT_ROOM = FRAME_W - 2 * MARGIN - ICON_W - ICON_GAP


class SkinError(Exception):
    pass


def imaging():
    try:
        from PIL import Image, ImageDraw, ImageFont
    except ImportError:
        raise SkinError('this Python has no Pillow (Debian: apt-get install python3-pil, or run '
                        'scripts/deps.sh)')
    return Image, ImageDraw, ImageFont


def font_for(language, size):
    _, _, ImageFont = imaging()
    path, index, package = FONTS.get(language, LATIN)
    if not os.path.exists(path):
        raise SkinError(f'{path} is missing (Debian package {package}; scripts/deps.sh '
                        'installs it)')
    # The basic layout: the same glyph positions whatever shaping library is installed.
    basic = getattr(ImageFont, 'Layout', ImageFont).BASIC if hasattr(ImageFont, 'Layout') \
        else ImageFont.LAYOUT_BASIC
    return ImageFont.truetype(path, size, index=index, layout_engine=basic)


def word_mask(language, word):
    """The word as an 8-bit coverage mask, and how far its line box sits above the frame's
    middle: at the largest size of its script that fits TEXT_ROOM."""
    Image, ImageDraw, _ = imaging()
    sizes = SIZES['cjk' if language in FONTS else 'latin']
    for size in sizes:
        font = font_for(language, size)
        missing = bytes(font.getmask('\ue000'))  # a private-use letter: the font's empty box
        for ch in word:
            if not ch.isspace() and bytes(font.getmask(ch)) == missing:
                raise SkinError(f'{language}: the font has no letter {ch!r} for "{word}"')
        width = int(math.ceil(font.getlength(word)))
        if width > TEXT_ROOM:
            continue
        ascent, descent = font.getmetrics()
        mask = Image.new('L', (width, ascent + descent), 0)
        ImageDraw.Draw(mask).text((0, 0), word, fill=255, font=font)
        return mask
    raise SkinError(f'{language}: "{word}" is wider than the {TEXT_ROOM} pixels a button has for '
                    f'its words, even at {sizes[-1]} pixels')


# --- the design --------------------------------------------------------------------------------
BORDER = hexc('4A5D78')
ACCENT = hexc('2F74D0')
ACCENT_LIGHT = hexc('63A6F2')
WHITE = (255.0, 255.0, 255.0)


def radio_arcs(canvas, cx, cy, radii, thickness, colour, alpha, box=None):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        ang = math.degrees(math.atan2(-dy, dx))
        if d < thickness * 0.9:
            return True
        return 45 <= ang <= 135 and any(abs(d - r) < thickness / 2 for r in radii)
    canvas.cover(inside, colour, alpha, box)


def background():
    w, h = 375, 345
    c = Canvas(w, h)
    foot_top = 322  # the window's lower edge right of the footer tab

    def sdf(x, y):
        body = sd_round_rect(x, y, 0, 0, w, foot_top + 1, 16)
        tab = sd_round_rect(x, y, 0, 280, 168, h, 12)
        return smooth_union(body, tab, 9)

    top, bottom = hexc('F6F9FC'), hexc('D9E3EF')

    def fill(x, y):
        col = mix(top, bottom, y / h)
        if y < 33:  # title area: a brighter band with a sheen
            col = mix(hexc('FFFFFF'), hexc('E3ECF7'), y / 33)
        return col

    c.shape(sdf, fill, BORDER, (WHITE, 0.55))
    # Accent rule under the title area, fading out to the right.
    for x in range(4, w - 4):
        t = x / w
        c.blend(x, 33, mix(ACCENT, ACCENT_LIGHT, t), 0.95 - 0.5 * t)
        c.blend(x, 34, mix(ACCENT, ACCENT_LIGHT, t), 0.25 - 0.15 * t)
    # Logo mark left of the title: a disc with radio arcs.
    c.cover(lambda x, y: math.hypot(x - 15, y - 18) < 9.2, ACCENT, 1.0, (4, 7, 27, 30))
    radio_arcs(c, 15, 22.5, (3.6, 7.0), 1.6, WHITE, 1.0, (5, 8, 26, 28))
    # The text card behind the four descriptive labels, with a soft shadow and a hairline divider.
    card = (10, 36, 365, 193)
    c.cover(lambda x, y: sd_round_rect(x, y, card[0], card[1] + 2, card[2], card[3] + 2, 8) < 0,
            hexc('8FA2BA'), 0.18, (8, 34, 368, 198))
    c.cover(lambda x, y: sd_round_rect(x, y, *card, 8) < 0, hexc('C3D0E0'), 1.0, (8, 34, 368, 196))
    for y in range(card[1], card[3]):
        for x in range(card[0], card[2]):
            d = sd_round_rect(x + 0.5, y + 0.5, *card, 8)
            if d < -0.6:
                c.blend(x, y, mix(hexc('FFFFFF'), hexc('F4F7FB'), (y - card[1]) / 160), 1.0)
            elif d < 0.4:
                c.blend(x, y, hexc('FFFFFF'), clamp(-d + 0.4) * 0.6)
    for x in range(22, 354):
        t = 1 - abs((x - 188) / 166.0) ** 2
        c.blend(x, 109, hexc('D3DDE9'), t)
    # Wells under the two feature buttons, so their cut corners show a quiet frame.
    for (bx, by) in ((8, 232), (209, 271)):
        c.cover(lambda x, y, bx=bx, by=by: sd_round_rect(x, y, bx - 3, by - 3, bx + 135, by + 36,
                                                          10) < 0,
                hexc('B4C3D6'), 0.35, (bx - 5, by - 5, bx + 138, by + 39))
    # A faint watermark of radio waves in the free corner of the button area.
    radio_arcs(c, 300, 262, (16, 28, 40), 4.5, ACCENT, 0.09, (240, 205, 365, 268))
    # The footer tab holding the version label.
    for y in range(foot_top - 2, h):
        for x in range(0, 170):
            c.blend(x, y, hexc('CCD8E6'), 0.35 * clamp((y - foot_top + 2) / 6))
    return c.pixels()


def feature_strip(language, label, icon):
    fw, fh = FRAME_W, FRAME_H
    words = word_mask(language, label)
    strip = [[KEY] * (fw * 4) for _ in range(fh)]
    looks = [  # top, bottom, border, ink, ink alpha, offset
        (hexc('4E95E8'), hexc('2B67B4'), hexc('1F4F8E'), WHITE, 1.0, 0),
        (hexc('74B2F7'), hexc('3C80D2'), hexc('2A5FA8'), WHITE, 1.0, 0),
        (hexc('24589A'), hexc('3670BA'), hexc('173D70'), hexc('E6EEF8'), 1.0, 1),
        (hexc('D4DAE2'), hexc('BEC6D1'), hexc('A3ADBA'), hexc('8C96A3'), 1.0, 0),
    ]
    for i, (top, bottom, border, ink, alpha, off) in enumerate(looks):
        c = Canvas(fw, fh)
        sdf = lambda x, y: sd_round_rect(x, y, 0, 0, fw, fh, 7)
        c.shape(sdf, lambda x, y: mix(top, bottom, y / fh), border,
                (WHITE, 0.30 if i != 2 else 0.0))
        if i != 2:  # a glossy upper half, not on the pressed look
            c.cover(lambda x, y: y < fh * 0.48 and sdf(x, y) < -2, WHITE, 0.10, (2, 2, fw - 2, 17))
        tw, th = words.size
        x0 = (fw - (ICON_W + ICON_GAP + tw)) // 2 + off
        icon(c, x0 + off, 7 + off, ink, alpha)
        c.mask(x0 + ICON_W + ICON_GAP, (fh - th) // 2 + off, words, ink, alpha)
        for y, row in enumerate(c.pixels()):
            strip[y][i * fw:(i + 1) * fw] = row
    return strip


def icon_pair(c, x, y, ink, alpha):
    """Two linked rings: pairing."""
    def inside(px, py):
        d1 = math.hypot(px - (x + 6.5), py - (y + 10))
        d2 = math.hypot(px - (x + 12.5), py - (y + 10))
        return abs(d1 - 5.2) < 1.05 or abs(d2 - 5.2) < 1.05
    c.cover(inside, ink, alpha, (x, y + 3, x + 19, y + 17))


def icon_signal(c, x, y, ink, alpha):
    """Four rising bars: signal strength."""
    def inside(px, py):
        for k in range(4):
            bx = x + 1 + k * 4.5
            top = y + 15 - (k + 1) * 3.4
            if bx <= px < bx + 3 and top <= py < y + 16:
                return True
        return False
    c.cover(inside, ink, alpha, (x, y, x + 20, y + 17))


def close_strip():
    fw = fh = 20
    strip = [[KEY] * (fw * 4) for _ in range(fh)]
    looks = [  # fill top, fill bottom, border, cross, offset
        (hexc('EEF2F7'), hexc('D6DEE8'), hexc('7D8DA3'), hexc('44556C'), 0),
        (hexc('F0686C'), hexc('D63A40'), hexc('A92A30'), WHITE, 0),
        (hexc('B32D33'), hexc('C8444A'), hexc('7E1C21'), hexc('F5DADB'), 1),
        (hexc('EEF0F3'), hexc('E2E6EB'), hexc('BCC4CF'), hexc('B3BCC8'), 0),
    ]
    for i, (top, bottom, border, cross, off) in enumerate(looks):
        c = Canvas(fw, fh)
        c.shape(lambda x, y: math.hypot(x - 10, y - 10) - 9.6,
                lambda x, y: mix(top, bottom, y / fh), border, (WHITE, 0.35 if i != 2 else 0.0))
        cx = cy = 10 + off * 0.6

        def inside(px, py):
            u, v = px - cx, py - cy
            if max(abs(u), abs(v)) > 4.6:
                return False
            return abs(u - v) < 1.45 or abs(u + v) < 1.45
        c.cover(inside, cross, 1.0)
        for y, row in enumerate(c.pixels()):
            strip[y][i * fw:(i + 1) * fw] = row
    return strip


def app_icon(size):
    rows = []
    s = size / 32.0
    for y in range(size):
        row = []
        for x in range(size):
            acc, cov = [0.0, 0.0, 0.0], 0
            for sy in range(4):
                for sx in range(4):
                    px, py = (x + (sx + 0.5) / 4) / s, (y + (sy + 0.5) / 4) / s
                    if sd_round_rect(px, py, 1, 1, 31, 31, 7) >= 0:
                        continue
                    col = mix(ACCENT_LIGHT, ACCENT, py / 32)
                    dx, dy = px - 16, py - 22
                    d = math.hypot(dx, dy)
                    ang = math.degrees(math.atan2(-dy, dx))
                    if d < 2.4 or (40 <= ang <= 140 and any(abs(d - r) < 1.5
                                                            for r in (6.5, 11.5, 16.5))):
                        col = WHITE
                    cov += 1
                    for k in range(3):
                        acc[k] += col[k]
            if cov == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(v / cov)) for v in acc) + (int(round(255 * cov / 16)),))
        rows.append(row)
    return size, rows


# Languages with strips of their own: every one of the table; English first, whose folder also
# holds the files without words.
LANGUAGES = ['English'] + sorted(language for language in WORDS if language != 'English')
WORDLESS = ['MultiPairMain_Background.bmp', 'WindowClose.bmp', 'Application.ico']
WORDED = ['NewMultiPairProc.bmp', 'RSSIDisplay.bmp']


def outputs():
    return [f'English/{name}' for name in WORDLESS] + \
           [f'{language}/{name}' for language in LANGUAGES for name in WORDED]


def main(argv):
    if '--list' in argv:
        print(';'.join(outputs()))
        return 0
    if len(argv) < 2:
        print(__doc__)
        return 2
    out = argv[1]
    preview = argv[argv.index('--preview') + 1] if '--preview' in argv else None
    words_file = argv[argv.index('--words') + 1] if '--words' in argv else None
    written = {}
    try:
        for language in LANGUAGES:
            _, pair, signal = WORDS[language]
            folder = os.path.join(out, language)
            os.makedirs(folder, exist_ok=True)
            files = {'NewMultiPairProc.bmp': feature_strip(language, pair, icon_pair),
                     'RSSIDisplay.bmp': feature_strip(language, signal, icon_signal)}
            if language == 'English':  # the rest is shared through the English fallback
                files['MultiPairMain_Background.bmp'] = background()
                files['WindowClose.bmp'] = close_strip()
                write_ico(os.path.join(folder, 'Application.ico'),
                          [app_icon(n) for n in (16, 32, 48)])
            for name, pixels in files.items():
                write_bmp(os.path.join(folder, name), pixels)
                written[(language, name)] = pixels
    except SkinError as e:
        print(f'make_skin.py: {e}', file=sys.stderr)
        return 1
    if words_file:
        with open(words_file, 'w', encoding='utf-8', newline='\n') as f:
            for language in LANGUAGES:
                f.write('\t'.join((language,) + WORDS[language][1:]) + '\n')
    if preview:
        write_preview(preview, written)
    return 0


# The buttons of the main window: strip, left, top, frame width (the launcher's design table; a
# test compares them) and the frame the preview shows.
BUTTONS = {'WindowClose.bmp': (345, 5, 20, 0),
           'NewMultiPairProc.bmp': (8, 232, 132, 0),
           'RSSIDisplay.bmp': (209, 271, 132, 1)}


def write_preview(folder, written):
    """The main window as it would look: background, buttons at their places over their cut
    corners, the key colour shown as a dark desktop. PPM files, for ImageMagick to convert."""
    os.makedirs(folder, exist_ok=True)
    for language in LANGUAGES:
        def get(name):
            return written.get((language, name)) or written[('English', name)]
        bg = [list(r) for r in get('MultiPairMain_Background.bmp')]
        h, w = len(bg), len(bg[0])
        for name, (bx, by, fw, frame) in BUTTONS.items():
            strip = get(name)
            for y in range(len(strip)):
                for x in range(fw):
                    p = strip[y][frame * fw + x]
                    if p != KEY:
                        bg[by + y][bx + x] = p
        desk = (40, 44, 52)
        with open(os.path.join(folder, language + '.ppm'), 'wb') as f:
            f.write(b'P6 %d %d 255\n' % (w + 20, h + 20))
            for y in range(-10, h + 10):
                for x in range(-10, w + 10):
                    p = bg[y][x] if 0 <= y < h and 0 <= x < w else desk
                    f.write(bytes(desk if p == KEY else p))
        for name in ('WindowClose.bmp', 'NewMultiPairProc.bmp', 'RSSIDisplay.bmp'):
            strip = get(name)
            with open(os.path.join(folder, language + '_' + name[:-4] + '.ppm'), 'wb') as f:
                f.write(b'P6 %d %d 255\n' % (len(strip[0]), len(strip)))
                for row in strip:
                    for p in row:
                        f.write(bytes(desk if p == KEY else p))


if __name__ == '__main__':
    sys.exit(main(sys.argv))
