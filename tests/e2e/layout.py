"""Where the controls of the two windows are, in pixels of a window's client
area, derived from the designed layout: the tables hold the designed Left,
Top, Width and Height in twips of the controls the tests use, relative to
their container, and px() is the one conversion to pixels."""

import math
from typing import NamedTuple

def px(twips):
    """Twips to pixels at 96 dots per inch (15 a pixel), rounded half up."""
    return math.floor(twips / 15 + 0.5)


class Box(NamedTuple):
    name: str
    left: int
    top: int
    width: int
    height: int

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


def _place(table, left=0, top=0):
    return {name: Box(name, left + x, top + y, w, h) for name, (x, y, w, h) in table.items()}


# --- the main window -------------------------------------------------------

MAIN_CLIENT = (11955, 8610)

# On Picture1, whose corner is the client area's.
MAIN = _place({
    "Frame1": (1080, 5400, 7695, 495),
    "Frame2": (9000, 4200, 2535, 3495),
    "city1": (1440, 2640, 1695, 300),
    "city2": (3360, 2640, 1695, 300),
    "city3": (5400, 2640, 1575, 300),
    "Combo6": (1440, 3240, 1695, 300),
    "Combo4": (4320, 3240, 1695, 300),
    "Combo5": (7080, 3240, 1575, 300),
    "Text2": (1560, 4320, 495, 375),
    "Text5": (5520, 4320, 495, 375),
    "Text7": (8160, 4320, 495, 375),
    "Option1": (1320, 4800, 1575, 615),
    "Option4": (6000, 4800, 1575, 615),
    "Option5": (7560, 4800, 1095, 615),
    "Text8": (1200, 6000, 2895, 375),
    "Image5": (3360, 6720, 1755, 600),
    "Label17": (9240, 2520, 855, 375),
    "Image6": (10320, 2400, 1020, 300),
    "Image7": (10320, 2760, 1020, 300),
    "Image8": (10320, 3120, 1020, 300),
    "Label20": (9240, 3600, 855, 375),
    "Image9": (10320, 3480, 1020, 300),
    "Label21": (9360, 7800, 1815, 255),
    "shjbjqbutton1": (120, 1515, 10815, 615),
    # Captions, which take no clicks.
    "Label2": (225, 2640, 975, 375),
    "Label3": (225, 3240, 975, 375),
    "Label15": (3480, 3240, 735, 255),
    "Label16": (6240, 3240, 855, 255),
    "Label4": (225, 3720, 975, 375),
    "Label9": (1560, 3720, 975, 375),
    "Label14": (8160, 3720, 975, 375),
    "Label5": (225, 4320, 1215, 255),
    "Label7": (225, 5520, 975, 375),
    "Label8": (225, 6120, 975, 375),
    # Where the loading overlay stands once moved at start-up, up to the
    # client area's edges.
    "WebBrowser2": (-5, -5, 12525, 8565),
})
MAIN.update(_place({"Option7": (3240, 120, 1335, 255)}, MAIN["Frame1"].left, MAIN["Frame1"].top))
# The bar's caption over the highlighted tab (slot 1).
MAIN.update(_place({"Label1": (240, 120, 1695, 375)}, MAIN["shjbjqbutton1"].left, MAIN["shjbjqbutton1"].top))

# The ten news lines in Frame2.
MAIN.update(_place({f"news({i})": (120, top, 1935, 255) for i, top in enumerate(
    (360, 666, 972, 1278, 1584, 1890, 2196, 2502, 2808, 3120))}, MAIN["Frame2"].left, MAIN["Frame2"].top))

# The bar's tab slots, from the bar's corner (the same on both windows).
TAB_LEFTS = (120, 1995, 3840, 5685, 7560)
TAB_WIDTH, TAB_HEIGHT = 1830, 570


def tab(slot, bar=MAIN["shjbjqbutton1"]):
    """Tab slot 1 (自动报价) to 5 (使用说明) of a bar, the main window's by default."""
    return Box(f"tab {slot}", bar.left + TAB_LEFTS[slot - 1], bar.top, TAB_WIDTH, TAB_HEIGHT)


def news(index):
    return MAIN[f"news({index})"]


def arrow(name):
    """A combo box's drop-down button, 7 pixels in from its right end."""
    x, y, width, height = MAIN[name].rect()
    return x + width - 7, y + height // 2


def option(name):
    """Where an option button takes a click: on its round indicator, at the
    left of its box (the caption beside it may be shorter than the box)."""
    return px(MAIN[name].left) + 10, MAIN[name].centre[1]


# --- the instructions window ---------------------------------------------------

INSTRUCTIONS_CLIENT = (11985, 8625)
INSTRUCTIONS = _place({
    "shjbjqbutton1": (120, 1515, 9135, 735),
    "WebBrowser2": (120, 2160, 11685, 6045),
})


# --- spots the tests share -----------------------------------------------------

CLIENT_SIZE = tuple(map(px, MAIN_CLIENT))
INSTRUCTIONS_SIZE = tuple(map(px, INSTRUCTIONS_CLIENT))

CITY1, CITY2, CITY3 = (MAIN[name].centre for name in ("city1", "city2", "city3"))
CITY3_ARROW = arrow("city3")
COMBO6, COMBO4, COMBO5 = (MAIN[name].centre for name in ("Combo6", "Combo4", "Combo5"))
TEXT5, TEXT8 = MAIN["Text5"].centre, MAIN["Text8"].centre
OPTION4, OPTION7 = option("Option4"), option("Option7")
IMAGE5 = MAIN["Image5"].centre                                            # 快速报价
BADGES = [MAIN[name].centre for name in ("Image6", "Image7", "Image8", "Image9")]   # QQ在线
HOME_LINK = MAIN["Label21"].centre                                        # 进入Tovaki官方
# 北京市, 北京市, then the city's own entry and 东城区.
BEIJING_PICKS = ((CITY1, 1), (CITY2, 1), (CITY3, 2))
# A news line takes its click where its headline is written: the text starts
# at the line's left edge and may be short.
NEWS_LINE = [news(i).spot(0.25) for i in range(10)]
NEWS_RECT = [news(i).rect() for i in range(10)]
TAB1, TAB5 = tab(1).centre, tab(5).centre
INSTRUCTIONS_TAB1, INSTRUCTIONS_TAB5 = (tab(n, INSTRUCTIONS["shjbjqbutton1"]).centre for n in (1, 5))
# On the instructions window's background above the bar, where nothing is on Picture1.
BACKGROUND = Box("background", 0, 0, 12015, 1515).spot(0.5, 0.3)

# The right-hand column, from the link captions to the home link.
RIGHT_COLUMN = Box("right column", 8910, 2100, 3045, 6000).rect()
# The bottom strip of the background, left of the form: nothing there reacts.
NEUTRAL = (px(450), px(8100))
# Points of the overlay away from loading.html's card and sparkles: the
# loading green while it stands, the white panel or the form once it is gone.
OVERLAY_SAMPLE = (px(3750), px(2550))
OVERLAY_PROBE = (px(6000), px(7500))
