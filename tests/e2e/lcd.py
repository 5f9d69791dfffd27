"""Reads the console's LCD back from the screen: which segments are lit and
what the four digit slots show.

A lit segment is solid black over the printed LCD backdrop, which is light
everywhere. Each element is judged only by the black pixels of its own
picture that no other element (and no character in a digit slot) can also
darken, so that overlapping segments do not vouch for each other."""

import os

# The console's LCD elements: left, top, width, height in window pixels.
ELEMENTS = {
    "Im_Num00": (174, 105, 24, 19),
    "Im_Suoni": (132, 133, 21, 20),
    "Im_Pompa1": (130, 173, 24, 27),
    "Im_Chiave1": (155, 170, 8, 19),
    "Im_Pompa2": (302, 209, 26, 27),
    "Im_Chiave2": (293, 210, 8, 21),
    "Im_Linea1sx": (134, 217, 18, 23),
    "Im_Linea1dx": (278, 225, 11, 23),
    "Im_Linea2sx": (153, 193, 20, 22),
    "Im_Linea2dx": (271, 198, 8, 24),
    "Im_Linea3sx1": (216, 138, 33, 20),
    "Im_Linea3dx": (268, 137, 10, 46),
    "Im_GameOver": (292, 177, 38, 31),
    "Im_Cruscotto": (219, 101, 67, 29),
    "Im_Speed1": (202, 110, 15, 16),
    "Im_Speed2": (214, 103, 16, 13),
    "Im_Speed3": (230, 103, 16, 9),
    "Im_Fuel1": (254, 110, 7, 10),
    "Im_Fuel2": (268, 106, 2, 11),
    "Im_Fuel3": (277, 110, 6, 9),
    "Im_Errori4": (289, 107, 39, 18),
    "Im_Errori3": (311, 102, 16, 15),
    "Im_Errori2": (308, 111, 6, 5),
    "Im_Errori1": (292, 105, 14, 3),
    "Im_Semaforo3": (158, 135, 15, 31),
    "Im_Semaforo2": (163, 147, 5, 6),
    "Im_Semaforo1": (163, 139, 5, 6),
    "Im_Moto1": (141, 224, 38, 29),
    "Im_Moto2": (190, 221, 34, 32),
    "Im_Moto3": (237, 222, 37, 30),
    "Im_Avv12": (205, 198, 28, 33),
    "Im_Avv13": (242, 197, 31, 28),
    "Im_Avv23": (244, 171, 20, 28),
    "Im_Avv33": (254, 151, 14, 24),
    # The three far cells share one place and one picture: the far row.
    "Im_Avv41": (250, 132, 16, 21),
    "Im_Avv32": (235, 150, 16, 26),
    "Im_Avv21": (192, 175, 21, 30),
    "Im_Avv22": (219, 178, 19, 31),
    "Im_Avv11": (161, 193, 32, 30),
    "Im_Linea3sx2": (183, 161, 28, 24),
    "Im_Avv31": (213, 157, 18, 26),
}

# The four digit slots, left to right, and the characters they can hold.
SLOTS = [(121, 105), (135, 105), (148, 105), (161, 105)]
SLOT_SIZE = (11, 19)
CHARACTERS = {"Im_Num%d" % d: str(d) for d in range(10)}
CHARACTERS.update({"Im_NumL": "L", "Im_NumM": "-", "Im_NumC": "C", "Im_NumN": "N"})

# The LCD area that holds every element, for one screen read per look.
AREA = (121, 101, 210, 154)

DARK = 80   # luminance of a lit segment's pixel is below this
LIGHT = 120  # the backdrop is above this everywhere


def read_pbm(path):
    """Black pixels of a plain PBM picture, as a set of (x, y)."""
    with open(path, encoding="ascii") as f:
        tokens = []
        for line in f:
            line = line.split("#", 1)[0]
            tokens.extend(line.split())
    if tokens[0] != "P1":
        raise ValueError(f"{path}: not a plain PBM picture")
    width, height = int(tokens[1]), int(tokens[2])
    bits = "".join(tokens[3:])
    if len(bits) != width * height:
        raise ValueError(f"{path}: {len(bits)} pixels for {width} x {height}")
    return width, height, {(i % width, i // width) for i, bit in enumerate(bits) if bit == "1"}


class Lcd:
    def __init__(self, art_dir):
        self.black = {}  # element -> set of window pixels its picture darkens
        for name, (left, top, width, height) in ELEMENTS.items():
            w, h, pixels = read_pbm(os.path.join(art_dir, name + ".pbm"))
            if (w, h) != (width, height):
                raise ValueError(f"{name}: picture {w} x {h}, element {width} x {height}")
            self.black[name] = {(left + x, top + y) for x, y in pixels}
        self.characters = {}
        slot_pixels = set()
        for name, char in CHARACTERS.items():
            w, h, pixels = read_pbm(os.path.join(art_dir, name + ".pbm"))
            if (w, h) != SLOT_SIZE:
                raise ValueError(f"{name}: picture {w} x {h}")
            self.characters[char] = pixels
            for left, top in SLOTS:
                slot_pixels |= {(left + x, top + y) for x, y in pixels}
        self.own = {}
        for name, pixels in self.black.items():
            others = set(slot_pixels)
            for other, other_pixels in self.black.items():
                if other != name:
                    others |= other_pixels
            self.own[name] = pixels - others
            if len(self.own[name]) < 3:
                raise ValueError(f"{name} has no pixels of its own to be judged by")

    def read(self, picture, origin):
        """LcdState of the console whose window's top left is at origin."""
        ox, oy = origin
        lit = {}
        undecided = []
        for name, pixels in self.own.items():
            dark = sum(1 for x, y in pixels if picture.luminance(ox + x, oy + y) < DARK)
            light = sum(1 for x, y in pixels if picture.luminance(ox + x, oy + y) > LIGHT)
            if dark == len(pixels):
                lit[name] = True
            elif light == len(pixels):
                lit[name] = False
            else:
                lit[name] = dark * 2 > len(pixels)
                undecided.append(name)
        slots = []
        for left, top in SLOTS:
            dark = {(x, y) for x in range(SLOT_SIZE[0]) for y in range(SLOT_SIZE[1])
                    if picture.luminance(ox + left + x, oy + top + y) < DARK}
            if not dark:
                slots.append(" ")
                continue
            match = [char for char, pixels in self.characters.items() if pixels == dark]
            slots.append(match[0] if match else "?")
        return LcdState(lit, "".join(slots), undecided)

    @staticmethod
    def area(origin):
        """The screen rectangle to read for read()."""
        return origin[0] + AREA[0], origin[1] + AREA[1], AREA[2], AREA[3]


class LcdState:
    def __init__(self, lit, digits, undecided):
        self.lit = lit
        self.digits = digits  # the four slots, " " for an empty slot, "?" for no character
        self.undecided = undecided  # elements whose own pixels were neither all dark nor all light

    def __getitem__(self, name):
        return self.lit[name]

    def lit_names(self):
        return sorted(name for name, on in self.lit.items() if on)

    def rider_lane(self):
        """1, 2 or 3 when exactly one rider picture is lit, else None."""
        lanes = [lane for lane in (1, 2, 3) if self.lit[f"Im_Moto{lane}"]]
        return lanes[0] if len(lanes) == 1 else None

    def __repr__(self):
        return f"LcdState(digits={self.digits!r}, lit={self.lit_names()}, undecided={self.undecided})"
