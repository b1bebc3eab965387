"""Reads 8-bit RGB / RGBA PNG files with zlib only: Png(path).width, .height, .rgb(x, y)."""
import struct
import zlib


class Png:
    def __init__(self, path):
        data, pos, idat = open(path, 'rb').read(), 8, b''
        assert data[:8] == b'\x89PNG\r\n\x1a\n', path + ': not a PNG'
        while pos < len(data):
            length, kind = struct.unpack('>I4s', data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            if kind == b'IHDR':
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
                assert depth == 8 and colour in (2, 6) and interlace == 0, 'unsupported PNG form'
                self.bpp = n = 3 if colour == 2 else 4
            idat += body if kind == b'IDAT' else b''
            pos += 12 + length
        raw, stride = zlib.decompress(idat), self.width * n
        self.rows, prev = [], bytearray(stride)
        for y in range(self.height):
            kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
            for i in range(stride):  # undo the row's filter: none, sub, up, average, Paeth
                a, b, c = line[i - n] if i >= n else 0, prev[i], prev[i - n] if i >= n else 0
                if kind == 4:
                    p = a + b - c
                    a = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
                line[i] = (line[i] + (0, a, b, (a + b) // 2, a)[kind]) & 255
            self.rows.append(line)
            prev = line

    def rgb(self, x, y):
        return tuple(self.rows[y][x * self.bpp:x * self.bpp + 3])
