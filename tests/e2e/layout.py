"""Where the controls of the two windows are, in pixels of a window's client
area, derived from the designed layout in twips.

The tables below hold each control's Left, Top, Width and Height in twips as
designed, relative to its container; containers are resolved here, and px()
is the one conversion to pixels (15 twips a pixel, rounded). Tests click at
box(name).spot() and friends instead of keeping pixel positions of their own.
"""

import math

TWIPS_PER_PIXEL = 15


def px(twips):
    """Twips to pixels at 96 dots per inch, rounded half up."""
    return math.floor(twips / TWIPS_PER_PIXEL + 0.5)


class Box:
    """A control's rectangle in twips from its window's client area."""

    def __init__(self, name, left, top, width, height):
        self.name = name
        self.left, self.top, self.width, self.height = left, top, width, height

    def moved(self, dx, dy):
        return Box(self.name, self.left + dx, self.top + dy, self.width, self.height)

    def rect(self):
        """(x, y, width, height) in pixels."""
        x, y = px(self.left), px(self.top)
        return x, y, px(self.left + self.width) - x, px(self.top + self.height) - y

    def spot(self, fx=0.5, fy=0.5):
        """The pixel at fractions fx across and fy down the box; the middle by default."""
        return px(self.left + self.width * fx), px(self.top + self.height * fy)

    @property
    def centre(self):
        return self.spot()

    def __repr__(self):
        return f"Box({self.name!r}, {self.left}, {self.top}, {self.width}, {self.height})"


def _place(table, origin=(0, 0)):
    ox, oy = origin
    return {name: Box(name, ox + left, oy + top, width, height)
            for name, (left, top, width, height) in table.items()}


# --- the main window -------------------------------------------------------

MAIN_CLIENT = (11955, 8610)

# Controls on Picture1, whose corner is the client area's.
_MAIN_PICTURE1 = {
    "Picture1": (0, 0, 12015, 8655),
    "Frame1": (1080, 5400, 7695, 495),
    "Frame2": (9000, 4200, 2535, 3495),
    "city1": (1440, 2640, 1695, 300),
    "city2": (3360, 2640, 1695, 300),
    "city3": (5400, 2640, 1575, 300),
    "Combo6": (1440, 3240, 1695, 300),
    "Combo4": (4320, 3240, 1695, 300),
    "Combo5": (7080, 3240, 1575, 300),
    "Text2": (1560, 4320, 495, 375),
    "Text3": (2880, 4320, 495, 375),
    "Text4": (4200, 4320, 495, 375),
    "Text5": (5520, 4320, 495, 375),
    "Text6": (6840, 4320, 495, 375),
    "Text7": (8160, 4320, 495, 375),
    "Option1": (1320, 4800, 1575, 615),
    "Option2": (2880, 4800, 1575, 615),
    "Option3": (4440, 4800, 1575, 615),
    "Option4": (6000, 4800, 1575, 615),
    "Option5": (7560, 4800, 1095, 615),
    "Text8": (1200, 6000, 2895, 375),
    "Image5": (3360, 6720, 1755, 600),
    "Label17": (9240, 2520, 855, 375),
    "Image6": (10320, 2400, 1020, 300),
    "Label18": (9240, 2880, 975, 255),
    "Image7": (10320, 2760, 1020, 300),
    "Label19": (9240, 3240, 855, 255),
    "Image8": (10320, 3120, 1020, 300),
    "Label20": (9240, 3600, 855, 375),
    "Image9": (10320, 3480, 1020, 300),
    "Label21": (9360, 7800, 1815, 255),
    "shjbjqbutton1": (120, 1515, 10815, 615),
    # Where the loading overlay stands once moved at start-up, up to the
    # client area's edges.
    "WebBrowser2": (-5, -5, 12525, 8565),
}

_FRAME1 = {
    "Option6": (240, 120, 1335, 255),
    "Option7": (3240, 120, 1335, 255),
    "Option8": (6480, 120, 1095, 255),
}

NEWS_TOPS = (360, 666, 972, 1278, 1584, 1890, 2196, 2502, 2808, 3120)   # in Frame2
_NEWS_LEFT, _NEWS_WIDTH, _NEWS_HEIGHT = 120, 1935, 255

# The bar's tab slots, from the bar's corner (the same on both windows).
TAB_LEFTS = (120, 1995, 3840, 5685, 7560)
TAB_WIDTH, TAB_HEIGHT = 1830, 570

MAIN = _place(_MAIN_PICTURE1)
MAIN.update(_place(_FRAME1, (MAIN["Frame1"].left, MAIN["Frame1"].top)))
for _i, _top in enumerate(NEWS_TOPS):
    MAIN[f"news({_i})"] = Box(f"news({_i})", MAIN["Frame2"].left + _NEWS_LEFT, MAIN["Frame2"].top + _top,
                              _NEWS_WIDTH, _NEWS_HEIGHT)


def box(name):
    """A control of the main window."""
    return MAIN[name]


def spot(name, fx=0.5, fy=0.5):
    """A pixel of a main-window control; its middle by default."""
    return MAIN[name].spot(fx, fy)


def _tab(bar, slot):
    return Box(f"tab {slot}", bar.left + TAB_LEFTS[slot - 1], bar.top, TAB_WIDTH, TAB_HEIGHT)


def tab(slot):
    """The main window's tab slot 1 (自动报价) to 5 (使用说明)."""
    return _tab(MAIN["shjbjqbutton1"], slot)


def news(index):
    """The news line news(index), 0 to 9."""
    return MAIN[f"news({index})"]


# A combo box's drop-down button lies at its right end; a click this many
# pixels in from the right edge hits it, a click in the middle hits the text.
COMBO_ARROW_INSET = 7


def arrow(name):
    x, y, width, height = MAIN[name].rect()
    return x + width - COMBO_ARROW_INSET, y + height // 2


def option(name):
    """Where an option button takes a click: on its round indicator, at the
    left of its box (the caption beside it may be shorter than the box)."""
    b = MAIN[name]
    return px(b.left) + 10, b.centre[1]


# --- the instructions window ---------------------------------------------------

INSTRUCTIONS_CLIENT = (11985, 8625)

INSTRUCTIONS = _place({
    "Picture1": (0, 0, 12015, 8655),
    "shjbjqbutton1": (120, 1515, 9135, 735),
    "WebBrowser2": (120, 2160, 11685, 6045),
})


def instructions_tab(slot):
    return _tab(INSTRUCTIONS["shjbjqbutton1"], slot)


# The background above the bar: Picture1 and nothing on it.
INSTRUCTIONS_BACKGROUND = Box("background", 0, 0, 12015, 1515)


# --- spots the tests share -----------------------------------------------------

def _client_pixels(width, height):
    return px(width), px(height)


CLIENT_SIZE = _client_pixels(*MAIN_CLIENT)
INSTRUCTIONS_SIZE = _client_pixels(*INSTRUCTIONS_CLIENT)

CITY1, CITY2, CITY3 = spot("city1"), spot("city2"), spot("city3")
CITY3_ARROW = arrow("city3")
COMBO6, COMBO4, COMBO5 = spot("Combo6"), spot("Combo4"), spot("Combo5")
TEXT5, TEXT8 = spot("Text5"), spot("Text8")
OPTION4, OPTION7 = option("Option4"), option("Option7")
IMAGE5 = spot("Image5")                                           # 快速报价
BADGES = [spot(name) for name in ("Image6", "Image7", "Image8", "Image9")]   # QQ在线
HOME_LINK = spot("Label21")                                       # 进入Tovaki官方
# A news line takes its click where its headline is written: the text starts
# at the line's left edge and may be short.
NEWS_LINE = [news(i).spot(0.25) for i in range(10)]
NEWS_RECT = [news(i).rect() for i in range(10)]
TAB1, TAB5 = tab(1).centre, tab(5).centre
INSTRUCTIONS_TAB1, INSTRUCTIONS_TAB5 = instructions_tab(1).centre, instructions_tab(5).centre
BACKGROUND = INSTRUCTIONS_BACKGROUND.spot(0.5, 0.3)               # on the instructions window

# The right-hand column, from the link captions to the home link.
RIGHT_COLUMN = Box("right column", 8910, 2100, 3045, 6000).rect()
# The bottom strip of the background, left of the form: nothing there reacts.
NEUTRAL = (px(450), px(8100))
# Points of the overlay away from loading.html's card and sparkles: the
# loading green while it stands, the white panel or the form once it is gone.
OVERLAY_SAMPLE = (px(3750), px(2550))
OVERLAY_PROBE = (px(6000), px(7500))
