#!/usr/bin/env python3
"""Writes the picture readers' test fixtures and fuzz seeds.

Reference pictures (.pam, RGBA) are drawn here; each fixture saves one of them in one format
and variant. PNG, GIF, BMP, ICO/CUR, PCX and WMF are written by the small writers below, JPEG
by ImageMagick's convert. The seeds in ../fuzz_corpus/<reader>/ are the fixtures and damaged
copies of them: cut at every header field, and each length or count set to its maximum;
inputs a fuzzer found may be merged in beside them as found_<sha1>.
The files are kept in the repository; run this again only to change them.
    platform/image/testdata/make_fixtures.py
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', 'fuzz_corpus')
W, H = 13, 11

PALETTE16 = [(0, 0, 0), (255, 255, 255), (200, 30, 40), (30, 160, 60), (40, 70, 200),
             (250, 210, 20), (20, 200, 210), (190, 40, 180), (128, 128, 128), (96, 48, 0),
             (255, 128, 0), (0, 96, 96), (160, 220, 120), (70, 0, 110), (240, 170, 190),
             (10, 30, 60)]


# --- reference pictures: lists of rows of (r, g, b, a) ---

def picture(w, h, f):
    return [[f(x, y) for x in range(w)] for y in range(h)]


def index16(x, y):
    return (x * 3 + y * 5) % 16


def index2(x, y):
    return 1 if (x * y + x) % 3 == 0 else 0


def colour(x, y):
    return ((x * 19 + 7) % 256, (y * 23 + 3) % 256, (x * y * 7 + x * 5) % 256, 255)


def with_alpha(x, y):
    r, g, b, _ = colour(x, y)
    return (r, g, b, (x * 20 + y * 3) % 256)


def expand(v, bits):
    m = (1 << bits) - 1
    return (v * 255 + m // 2) // m


def rgb555(x, y):
    r, g, b, _ = colour(x, y)
    return (expand(r >> 3, 5), expand(g >> 3, 5), expand(b >> 3, 5), 255)


def rgb565(x, y):
    r, g, b, _ = colour(x, y)
    return (expand(r >> 3, 5), expand(g >> 2, 6), expand(b >> 3, 5), 255)


def smooth(x, y):
    return (20 + x * 15, 30 + y * 18, 120, 255)


REFS = {
    'colour': picture(W, H, colour),
    'alpha': picture(W, H, with_alpha),
    'pal16': picture(W, H, lambda x, y: PALETTE16[index16(x, y)] + (255,)),
    'pal2': picture(W, H, lambda x, y: PALETTE16[index2(x, y)] + (255,)),
    # Index 0 transparent: the GIF transparent index, the icon's AND mask.
    'trn': picture(W, H, lambda x, y: (0, 0, 0, 0) if index16(x, y) == 0
                   else PALETTE16[index16(x, y)] + (255,)),
    'grey': picture(W, H, lambda x, y: ((x * 17 + y * 9) % 256,) * 3 + (255,)),
    'greyalpha': picture(W, H, lambda x, y: ((x * 17 + y * 9) % 256,) * 3 + (with_alpha(x, y)[3],)),
    'rgb555': picture(W, H, rgb555),
    'rgb565': picture(W, H, rgb565),
    'smooth': picture(W, H, smooth),
    'alpha2x': picture(2 * W, 2 * H, lambda x, y: with_alpha(x // 2, y // 2)),
    # The first GIF image covers only part of its logical screen.
    'gifpart': picture(W, H, lambda x, y: PALETTE16[index16(x, y)] + (255,)
                       if 3 <= x < 8 and 2 <= y < 6 else (0, 0, 0, 0)),
}


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def write_pam(name, rows):
    head = 'P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n' % (
        len(rows[0]), len(rows))
    write(name, head.encode() + bytes(v for row in rows for px in row for v in px))


# --- PNG ---

def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack(
        '>I', zlib.crc32(kind + data) & 0xffffffff)


def pack_bits(values, depth):
    out, acc, n = bytearray(), 0, 0
    for v in values:
        acc = (acc << depth) | v
        n += depth
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return bytes(out)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def png(name, w, h, ctype, depth, sample, plte=None, trns=None, interlace=False):
    """sample(x, y) gives the pixel's samples as a tuple of ints of `depth` bits."""
    def rows(xs, ys):
        out = b''
        for y in ys:
            values = [v for x in xs for v in sample(x, y)]
            if depth < 8:
                line = pack_bits(values, depth)
            elif depth == 8:
                line = bytes(values)
            else:
                line = b''.join(struct.pack('>H', v) for v in values)
            out += b'\0' + line
        return out

    if interlace:
        raw = b''
        for x0, y0, dx, dy in ADAM7:
            xs, ys = list(range(x0, w, dx)), list(range(y0, h, dy))
            if xs and ys:
                raw += rows(xs, ys)
    else:
        raw = rows(range(w), range(h))
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack(
        '>IIBBBBB', w, h, depth, ctype, 0, 0, 1 if interlace else 0))
    if plte:
        data += chunk(b'PLTE', bytes(v for c in plte for v in c))
    if trns is not None:
        data += chunk(b'tRNS', trns)
    data += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    write(name, data)
    return data


def write_pngs():
    c, a = REFS['colour'], REFS['alpha']
    png('png_rgb.png', W, H, 2, 8, lambda x, y: c[y][x][:3])
    png('png_rgba.png', W, H, 6, 8, lambda x, y: a[y][x])
    png('png_rgba_16.png', W, H, 6, 16, lambda x, y: tuple(v * 257 for v in a[y][x]))
    png('png_rgba_interlaced.png', W, H, 6, 8, lambda x, y: a[y][x], interlace=True)
    png('png_palette_4.png', W, H, 3, 4, lambda x, y: (index16(x, y),), plte=PALETTE16)
    png('png_palette_trns.png', W, H, 3, 8, lambda x, y: (index16(x, y),), plte=PALETTE16,
        trns=b'\0')
    g = REFS['grey']
    png('png_grey.png', W, H, 0, 8, lambda x, y: (g[y][x][0],))
    png('png_grey_1.png', W, H, 0, 1, lambda x, y: (index2(x, y),))
    png('png_grey_alpha.png', W, H, 4, 8, lambda x, y: (g[y][x][0], a[y][x][3]))


# --- GIF ---

def lzw_literals(indices, min_size):
    """Codes every pixel as a literal, with a clear code often enough that the code size never
    grows: valid LZW data a decoder reads like any other."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    size = min_size + 1
    codes = [clear]
    since = 0
    for i in indices:
        if since == (1 << size) - clear - 4:
            codes.append(clear)
            since = 0
        codes.append(i)
        since += 1
    codes.append(end)
    acc, n, out = 0, 0, bytearray()
    for code in codes:
        acc |= code << n
        n += size
        while n >= 8:
            out.append(acc & 0xff)
            acc >>= 8
            n -= 8
    if n:
        out.append(acc)
    blocks = b''.join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255))
    return bytes([min_size]) + blocks + b'\0'


def gif(name, version, screen, image, index, transparent=None, interlace=False, local=False):
    sw, sh = screen
    left, top, w, h = image
    palette = bytes(v for c in PALETTE16 for v in c)
    data = version + struct.pack('<HHBBB', sw, sh, 0 if local else 0xF3, 0, 0)
    if not local:
        data += palette
    if transparent is not None:
        data += b'\x21\xf9\x04\x01\x00\x00' + bytes([transparent]) + b'\x00'
    data += b'\x21\xfe\x05hello\x00'  # a comment, passed over
    flags = (0x40 if interlace else 0) | (0x83 if local else 0)
    data += b'\x2c' + struct.pack('<HHHHB', left, top, w, h, flags)
    if local:
        data += palette
    ys = list(range(h))
    if interlace:
        ys = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]
    data += lzw_literals([index(x, y) for y in ys for x in range(w)], 4) + b'\x3b'
    write(name, data)


def write_gifs():
    gif('gif_87a.gif', b'GIF87a', (W, H), (0, 0, W, H), index16)
    gif('gif_transparent.gif', b'GIF89a', (W, H), (0, 0, W, H), index16, transparent=0)
    gif('gif_interlaced.gif', b'GIF89a', (W, H), (0, 0, W, H), index16, interlace=True)
    gif('gif_local_palette.gif', b'GIF89a', (W, H), (0, 0, W, H), index16, local=True)
    gif('gif_part.gif', b'GIF89a', (W, H), (3, 2, 5, 4), lambda x, y: index16(x + 3, y + 2))


# --- BMP ---

def bmp_rows(w, h, bits, pixel, top_down=False):
    stride = (w * bits + 31) // 32 * 4
    ys = range(h) if top_down else range(h - 1, -1, -1)
    out = b''
    for y in ys:
        if bits < 8 or bits == 8:
            line = pack_bits([pixel(x, y) for x in range(w)], bits)
        else:
            line = b''.join(pixel(x, y) for x in range(w))
        out += line + b'\0' * (stride - len(line))
    return out


def rle(w, h, pixel, four):
    out = bytearray()
    for y in range(h - 1, -1, -1):
        x = 0
        if y == h - 1:  # an absolute run on the first stored line
            n = 6
            vals = [pixel(i, y) for i in range(n)]
            if four:
                body = pack_bits(vals, 4)
            else:
                body = bytes(vals)
            out += bytes([0, n]) + body + (b'\0' if len(body) % 2 else b'')
            x = n
        while x < w:
            v = pixel(x, y)
            n = 1
            while x + n < w and pixel(x + n, y) == v and n < 255:
                n += 1
            out += bytes([n, (v << 4 | v) if four else v])
            x += n
        out += b'\0\0'
    out[-1] = 1  # the last end of line becomes the end of the picture
    return bytes(out)


def bmp_file(dib_header, palette, pixels):
    offset = 14 + len(dib_header) + len(palette)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + dib_header + \
        palette + pixels


def info_header(w, h, bits, compression=0, colours=0, size=40, masks=()):
    head = struct.pack('<IiiHHIIiiII', size, w, h, 1, bits, compression, 0, 2835, 2835, colours, 0)
    head += b''.join(struct.pack('<I', m) for m in masks)
    return head + b'\0' * (size - len(head)) if size > 40 else head


def quad_palette(colours):
    return b''.join(bytes([b, g, r, 0]) for r, g, b in colours)


def bgr(px):
    return bytes([px[2], px[1], px[0]])


def write_bmps():
    c, a = REFS['colour'], REFS['alpha']
    write('bmp_1.bmp', bmp_file(info_header(W, H, 1), quad_palette(PALETTE16[:2]),
                                bmp_rows(W, H, 1, index2)))
    write('bmp_4.bmp', bmp_file(info_header(W, H, 4), quad_palette(PALETTE16),
                                bmp_rows(W, H, 4, index16)))
    write('bmp_8.bmp', bmp_file(info_header(W, H, 8, colours=16), quad_palette(PALETTE16),
                                bmp_rows(W, H, 8, index16)))
    write('bmp_24.bmp', bmp_file(info_header(W, H, 24), b'',
                                 bmp_rows(W, H, 24, lambda x, y: bgr(c[y][x]))))
    write('bmp_24_top_down.bmp', bmp_file(info_header(W, -H, 24), b'', bmp_rows(
        W, H, 24, lambda x, y: bgr(c[y][x]), top_down=True)))
    write('bmp_32.bmp', bmp_file(info_header(W, H, 32), b'',
                                 bmp_rows(W, H, 32, lambda x, y: bgr(c[y][x]) + b'\0')))
    write('bmp_32_alpha.bmp', bmp_file(
        info_header(W, H, 32, 3, size=124, masks=(0xff0000, 0xff00, 0xff, 0xff000000)), b'',
        bmp_rows(W, H, 32, lambda x, y: bgr(a[y][x]) + bytes([a[y][x][3]]))))

    def pack16(px, rbits, gbits):
        r, g, b = px[0] >> (8 - rbits), px[1] >> (8 - gbits), px[2] >> 3
        return struct.pack('<H', (r << (gbits + 5)) | (g << 5) | b)
    write('bmp_16_555.bmp', bmp_file(info_header(W, H, 16), b'', bmp_rows(
        W, H, 16, lambda x, y: pack16(c[y][x], 5, 5))))
    write('bmp_16_565.bmp', bmp_file(info_header(W, H, 16, 3), struct.pack(
        '<III', 0xf800, 0x07e0, 0x001f), bmp_rows(W, H, 16, lambda x, y: pack16(c[y][x], 5, 6))))
    write('bmp_rle8.bmp', bmp_file(info_header(W, H, 8, 1, colours=16), quad_palette(PALETTE16),
                                   rle(W, H, index16, False)))
    write('bmp_rle4.bmp', bmp_file(info_header(W, H, 4, 2), quad_palette(PALETTE16),
                                   rle(W, H, index16, True)))
    core = struct.pack('<IHHHH', 12, W, H, 1, 24)
    write('bmp_core_24.bmp', bmp_file(core, b'', bmp_rows(W, H, 24, lambda x, y: bgr(c[y][x]))))
    core8 = struct.pack('<IHHHH', 12, W, H, 1, 8)
    write('bmp_core_8.bmp', bmp_file(core8, b''.join(bytes([b, g, r]) for r, g, b in PALETTE16) +
                                     b'\0' * (3 * 240), bmp_rows(W, H, 8, index16)))


# --- ICO and CUR ---

def icon_dib(w, h, bits, pixel, mask, palette=b''):
    colours = bmp_rows(w, h, bits, pixel)
    mask_rows = bmp_rows(w, h, 1, mask)
    return info_header(w, 2 * h, bits) + palette + colours + mask_rows


def icon_file(kind, entries):
    """entries: (width, height, bits, hot_x, hot_y, data)"""
    out = struct.pack('<HHH', 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b''
    for w, h, bits, hx, hy, data in entries:
        planes_or_x, bits_or_y = (hx, hy) if kind == 2 else (1, bits)
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, planes_or_x, bits_or_y, len(data),
                           offset + len(body))
        body += data
    return out + body


def write_icons():
    a2 = REFS['alpha2x']
    big = png('png_rgba_2x.png', 2 * W, 2 * H, 6, 8, lambda x, y: a2[y][x])
    masked = icon_dib(W, H, 4, index16, lambda x, y: 1 if index16(x, y) == 0 else 0,
                      quad_palette(PALETTE16))
    write('ico_mask_and_png.ico', icon_file(1, [(W, H, 4, 0, 0, masked),
                                                (2 * W, 2 * H, 32, 0, 0, big)]))
    a = REFS['alpha']
    alpha_dib = icon_dib(W, H, 32, lambda x, y: bgr(a[y][x]) + bytes([a[y][x][3]]),
                         lambda x, y: 0)
    write('ico_32_alpha.ico', icon_file(1, [(W, H, 32, 0, 0, alpha_dib)]))
    write('cur_hot_spot.cur', icon_file(2, [(W, H, 4, 5, 3, masked)]))


# --- PCX ---

def pcx_rle(data):
    out, i = bytearray(), 0
    while i < len(data):
        v, n = data[i], 1
        while i + n < len(data) and data[i + n] == v and n < 63:
            n += 1
        if n > 1 or v >= 0xC0:
            out += bytes([0xC0 | n, v])
        else:
            out.append(v)
        i += n
    return bytes(out)


def pcx(name, bits, planes, line_of, palette16=b'', palette256=None, encoded=True):
    bpl = ((W * bits + 7) // 8 + 1) // 2 * 2
    head = struct.pack('<BBBBHHHHHH', 0x0A, 5, 1 if encoded else 0, bits, 0, 0, W - 1, H - 1, 72,
                       72)
    head += (palette16 + b'\0' * 48)[:48] + b'\0' + bytes([planes]) + struct.pack('<HH', bpl, 1)
    head += b'\0' * (128 - len(head))
    data = b''
    for y in range(H):
        line = b''.join((p + b'\0' * bpl)[:bpl] for p in line_of(y))
        data += pcx_rle(line) if encoded else line
    if palette256 is not None:
        data += b'\x0c' + (palette256 + b'\0' * 768)[:768]
    write(name, head + data)


def write_pcxs():
    rgb16 = bytes(v for c in PALETTE16 for v in c)
    pcx('pcx_1.pcx', 1, 1, lambda y: [pack_bits([index2(x, y) for x in range(W)], 1)],
        palette16=rgb16[:6])
    pcx('pcx_1x4_planes.pcx', 1, 4, lambda y: [
        pack_bits([(index16(x, y) >> p) & 1 for x in range(W)], 1) for p in range(4)],
        palette16=rgb16)
    pcx('pcx_4.pcx', 4, 1, lambda y: [pack_bits([index16(x, y) for x in range(W)], 4)],
        palette16=rgb16)
    pcx('pcx_8.pcx', 8, 1, lambda y: [bytes(index16(x, y) for x in range(W))], palette256=rgb16)
    pcx('pcx_8_plain.pcx', 8, 1, lambda y: [bytes(index16(x, y) for x in range(W))],
        palette256=rgb16, encoded=False)
    c = REFS['colour']
    pcx('pcx_24.pcx', 8, 3, lambda y: [bytes(c[y][x][p] for x in range(W)) for p in range(3)])


# --- WMF ---

def record(function, *params):
    return struct.pack('<IH', 3 + len(params), function) + b''.join(
        struct.pack('<h' if p < 0 else '<H', p) for p in params)


def metafile(records, objects, placeable=None):
    body = b''.join(records) + record(0)
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, 9 + len(body) // 2, objects,
                         max(len(r) for r in records) // 2, 0)
    out = b''
    if placeable:
        left, top, right, bottom, inch = placeable
        p = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
        checksum = 0
        for i in range(0, 20, 2):
            checksum ^= struct.unpack_from('<H', p, i)[0]
        out = p + struct.pack('<H', checksum)
    return out + header + body


def write_wmfs():
    drawing = [
        record(0x020B, 0, 0),           # window origin
        record(0x020C, 330, 390),       # window extent
        record(0x02FC, 0, 0x3060, 0x00C0, 0),   # brush: solid, colour 00C06030
        record(0x012D, 0),              # select it
        record(0x02FA, 0, 20, 0, 0x0000, 0x0000),  # pen: solid, 20 wide, black
        record(0x012D, 1),
        record(0x041B, 300, 360, 30, 30),   # rectangle
        record(0x0418, 250, 300, 80, 90),   # ellipse
        record(0x0324, 3, 60, 300, 195, 40, 330, 300),  # polygon
        record(0x0107, 0),              # a record no picture here needs: passed over
    ]
    write('wmf_placeable.wmf', metafile(drawing, 2, placeable=(0, 0, 390, 330, 1440)))
    write('wmf_window_extent.wmf', metafile(drawing, 2))


# --- JPEG, by ImageMagick ---

def write_jpegs():
    src = os.path.join(HERE, 'smooth.pam')
    gsrc = os.path.join(HERE, 'grey.pam')
    common = ['-quality', '100', '-sampling-factor', '1x1', '-strip']
    for name, extra, source in [('jpeg_baseline.jpg', [], src),
                                ('jpeg_progressive.jpg', ['-interlace', 'JPEG'], src),
                                ('jpeg_grey.jpg', ['-colorspace', 'Gray'], gsrc),
                                ('jpeg_ycck.jpg', ['-colorspace', 'CMYK'], src)]:
        subprocess.run(['convert', source, '-alpha', 'off'] + common + extra +
                       [os.path.join(HERE, name)], check=True)


YCCK_WRITER = r"""
#include <stdio.h>
#include <stdlib.h>
#include <jpeglib.h>
/* Reads W*H inverted CMYK pixels from stdin and writes them as a JPEG to stdout, stored as
   CMYK itself (argument "cmyk") or as YCCK. */
int main(int argc, char** argv) {
  int w = atoi(argv[1]), h = atoi(argv[2]);
  unsigned char* pixels = malloc((size_t)w * h * 4);
  if (fread(pixels, 4, (size_t)w * h, stdin) != (size_t)w * h) return 1;
  struct jpeg_compress_struct c;
  struct jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, stdout);
  c.image_width = w;
  c.image_height = h;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, argv[3][0] == 'c' ? JCS_CMYK : JCS_YCCK);
  jpeg_set_quality(&c, 100, TRUE);
  for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = pixels + (size_t)c.next_scanline * w * 4;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  return 0;
}
"""


def write_cmyk():
    """CMYK stored as such, which ImageMagick does not write (it stores CMYK as YCCK): a few
    lines against libjpeg. Adobe's inverted inks with no black are the picture's own red,
    green and blue."""
    import tempfile
    with tempfile.TemporaryDirectory() as tmp:
        source, program = os.path.join(tmp, 'ycck.c'), os.path.join(tmp, 'ycck')
        with open(source, 'w') as f:
            f.write(YCCK_WRITER)
        subprocess.run(['cc', '-o', program, source, '-ljpeg'], check=True)
        inks = bytes(v for row in REFS['smooth'] for px in row for v in px[:3] + (255,))
        out = subprocess.run([program, str(W), str(H), 'cmyk'], input=inks, check=True,
                             capture_output=True).stdout
    write('jpeg_cmyk.jpg', out)


# --- damaged copies for the fuzz corpus ---

def png_fields(data):
    cuts, fields = {8, 12, 16, 20, 24, 25, 26, 27, 28, 29}, [(8, 4), (16, 4), (20, 4)]
    pos = 8
    while pos + 8 <= len(data):
        n = struct.unpack_from('>I', data, pos)[0]
        cuts.update({pos, pos + 4, pos + 8, pos + 8 + n // 2})
        fields.append((pos, 4))
        pos += 12 + n
    return cuts, fields


def jpeg_fields(data):
    cuts, fields, pos = {2}, [], 2
    while pos + 4 <= len(data) and data[pos] == 0xFF:
        marker = data[pos + 1]
        n = struct.unpack_from('>H', data, pos + 2)[0]
        cuts.update({pos, pos + 2, pos + 4})
        fields.append((pos + 2, 2))
        if 0xC0 <= marker <= 0xC2:
            fields += [(pos + 5, 2), (pos + 7, 2), (pos + 9, 1)]
            cuts.update({pos + 5, pos + 7, pos + 9})
        if marker == 0xDA:
            cuts.add(pos + 2 + n + (len(data) - pos - n) // 2)
            break
        pos += 2 + n
    return cuts, fields


def gif_fields(data):
    cuts = {6, 8, 10, 11, 12, 13, 13 + 48, len(data) // 2, len(data) - 1}
    fields = [(6, 2), (8, 2), (10, 1)]
    i = data.find(b'\x2c')
    if i > 0:
        cuts.update({i + 1, i + 3, i + 5, i + 7, i + 9, i + 10})
        fields += [(i + 1, 2), (i + 3, 2), (i + 5, 2), (i + 7, 2), (i + 9, 1)]
    return cuts, fields


def bmp_fields(data):
    cuts = {2, 6, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 54, len(data) // 2,
            len(data) - 1}
    return cuts, [(2, 4), (10, 4), (14, 4), (18, 4), (22, 4), (28, 2), (30, 4), (46, 4)]


def icon_fields(data):
    count = struct.unpack_from('<H', data, 4)[0]
    cuts, fields = {2, 4, 6}, [(4, 2)]
    for e in range(count):
        base = 6 + 16 * e
        cuts.update({base + 4, base + 8, base + 12, base + 16})
        fields += [(base, 1), (base + 4, 2), (base + 6, 2), (base + 8, 4), (base + 12, 4)]
        offset = struct.unpack_from('<I', data, base + 12)[0]
        cuts.update({offset + 4, offset + 8, offset + 12, offset + 40})
        fields += [(offset + 4, 4), (offset + 8, 4), (offset + 14, 2)]
    cuts.add(len(data) - 1)
    return cuts, fields


def pcx_fields(data):
    cuts = {1, 2, 3, 4, 6, 8, 10, 12, 16, 64, 65, 66, 68, 128, len(data) // 2, len(data) - 1}
    return cuts, [(3, 1), (8, 2), (10, 2), (65, 1), (66, 2)]


def wmf_fields(data):
    start = 22 if data[:4] == b'\xd7\xcd\xc6\x9a' else 0
    cuts = {4, 6, 10, 14, 16, 22, start + 2, start + 6, start + 10, start + 12, start + 18}
    fields = [(6, 2), (10, 2), (14, 2), (start + 2, 2), (start + 10, 2)]
    pos = start + 18
    while pos + 6 <= len(data):
        n = struct.unpack_from('<I', data, pos)[0]
        cuts.update({pos, pos + 4, pos + 6})
        fields.append((pos, 4))
        if n < 3:
            break
        pos += 2 * n
    return cuts, fields


READERS = {'.png': ('png', png_fields), '.jpg': ('jpeg', jpeg_fields), '.gif': ('gif', gif_fields),
           '.bmp': ('bmp', bmp_fields), '.ico': ('icon', icon_fields), '.cur': ('icon', icon_fields),
           '.pcx': ('pcx', pcx_fields), '.wmf': ('wmf', wmf_fields)}


def write_corpus():
    # Inputs a fuzzer found and that were merged in ("found_...") stay.
    for reader in set(r for r, _ in READERS.values()):
        folder = os.path.join(CORPUS, reader)
        for seed in os.listdir(folder) if os.path.isdir(folder) else []:
            if not seed.startswith('found_'):
                os.remove(os.path.join(folder, seed))
    for name in sorted(os.listdir(HERE)):
        stem, ext = os.path.splitext(name)
        if ext not in READERS:
            continue
        reader, fields_of = READERS[ext]
        folder = os.path.join(CORPUS, reader)
        os.makedirs(folder, exist_ok=True)
        data = open(os.path.join(HERE, name), 'rb').read()
        seeds = {name: data}
        cuts, fields = fields_of(data)
        for cut in sorted(c for c in cuts if 0 < c < len(data)):
            seeds['%s.cut%d' % (name, cut)] = data[:cut]
        for offset, size in fields:
            if offset + size <= len(data):
                seeds['%s.max%d' % (name, offset)] = data[:offset] + b'\xff' * size + \
                    data[offset + size:]
        for seed, content in seeds.items():
            with open(os.path.join(folder, seed), 'wb') as f:
                f.write(content)


def main():
    for name, rows in REFS.items():
        write_pam(name + '.pam', rows)
    write_pngs()
    write_gifs()
    write_bmps()
    write_icons()
    write_pcxs()
    write_wmfs()
    write_jpegs()
    write_cmyk()
    write_corpus()


if __name__ == '__main__':
    main()
