"""make_large_icon.py <out.ico>: an icon file whose one entry is a PNG of 16384 x 16384 pixels,
rows of zeros (about 1 MB compressed, 1 GiB decoded). The launcher must leave it undecoded."""
import struct
import sys
import zlib

SIDE = 16384


def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def main():
    row = b"\0" * (1 + SIDE * 4)  # filter byte, then RGBA
    packer = zlib.compressobj(9)
    parts = [packer.compress(row) for _ in range(SIDE)]
    parts.append(packer.flush())
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", SIDE, SIDE, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", b"".join(parts)) + chunk(b"IEND", b""))
    # One directory entry: 0 x 0 means 256 x 256, as a large image's entry says.
    ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 22)
    with open(sys.argv[1], "wb") as out:
        out.write(ico + png)


if __name__ == "__main__":
    main()
