"""Png(path).width, .height, .rgb(x, y) of a picture, read through ImageMagick."""
import subprocess


class Png:
    def __init__(self, path):
        size = subprocess.check_output(["identify", "-format", "%w %h", path]).split()
        self.width, self.height = map(int, size)
        self.raw = subprocess.check_output(["convert", path, "-depth", "8", "rgb:-"])

    def rgb(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.raw[i:i + 3])
