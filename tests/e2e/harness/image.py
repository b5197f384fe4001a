"""Screenshots as RGB pixel grids: crop, compare, save as PNG.

ImageMagick's `import` hands them over as binary PPM, which needs no decoder;
PNG files are written with zlib alone.
"""

import struct
import zlib


class Image:
    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError(f"{len(rgb)} bytes for a {width}x{height} RGB image")
        self.width = width
        self.height = height
        self.rgb = bytes(rgb)

    @classmethod
    def from_ppm(cls, data):
        """Parses a binary PPM (P6) with 8-bit samples."""
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position : position + 1].isspace():
                position += 1
            if data[position : position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end : end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        if magic != b"P6" or maxval != 255:
            raise ValueError(f"not an 8-bit binary PPM ({magic!r}, maxval {maxval})")
        start = position + 1
        return cls(width, height, data[start : start + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i : i + 3])

    def crop(self, x, y, width, height):
        """The part inside (x, y, width, height), clipped to the image."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        if x1 <= x0 or y1 <= y0:
            return Image(0, 0, b"")
        rows = [self.rgb[(row * self.width + x0) * 3 : (row * self.width + x1) * 3] for row in range(y0, y1)]
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def __eq__(self, other):
        return (self.width, self.height, self.rgb) == (other.width, other.height, other.rgb)

    def __hash__(self):
        return hash((self.width, self.height, self.rgb))

    def differing_pixels(self, other):
        if (self.width, self.height) != (other.width, other.height):
            return max(self.width * self.height, other.width * other.height)
        a, b = self.rgb, other.rgb
        return sum(1 for i in range(0, len(a), 3) if a[i : i + 3] != b[i : i + 3])

    def colours(self):
        return {self.rgb[i : i + 3] for i in range(0, len(self.rgb), 3)}

    def png(self):
        def chunk(kind, payload):
            crc = zlib.crc32(kind + payload) & 0xFFFFFFFF
            return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", crc)

        stride = self.width * 3
        raw = b"".join(b"\0" + self.rgb[row * stride : (row + 1) * stride] for row in range(self.height))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        signature = b"\x89PNG\r\n\x1a\n"
        return signature + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")

    def save_png(self, path):
        with open(path, "wb") as f:
            f.write(self.png())
