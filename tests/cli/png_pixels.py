"""Reads 8-bit RGB / RGBA PNG files with zlib only, for the qpx picture tests.

    img = Png(path); img.width, img.height; img.rgb(x, y) -> (r, g, b)
"""
import struct
import zlib


class Png:
    def __init__(self, path):
        data = open(path, 'rb').read()
        assert data[:8] == b'\x89PNG\r\n\x1a\n', path + ': not a PNG'
        pos, idat = 8, b''
        while pos < len(data):
            length, kind = struct.unpack('>I4s', data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            if kind == b'IHDR':
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
                assert depth == 8 and colour in (2, 6) and interlace == 0, 'unsupported PNG form'
                self.bpp = 3 if colour == 2 else 4
            elif kind == b'IDAT':
                idat += body
            pos += 12 + length
        raw, stride = zlib.decompress(idat), self.width * self.bpp
        self.rows, prev = [], bytearray(stride)
        for y in range(self.height):
            start = y * (stride + 1)
            kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
            for i in range(stride):
                a = line[i - self.bpp] if i >= self.bpp else 0
                b, c = prev[i], prev[i - self.bpp] if i >= self.bpp else 0
                if kind == 1:
                    line[i] = (line[i] + a) & 255
                elif kind == 2:
                    line[i] = (line[i] + b) & 255
                elif kind == 3:
                    line[i] = (line[i] + (a + b) // 2) & 255
                elif kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            self.rows.append(line)
            prev = line

    def rgb(self, x, y):
        i = x * self.bpp
        return tuple(self.rows[y][i:i + 3])
