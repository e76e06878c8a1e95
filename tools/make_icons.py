#!/usr/bin/env python3
"""Draws the program's image lists as small SVG icons and writes the Qt
resource file that holds them (src/app/icons/). Run it again after changing
the tables below."""
import colorsys
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "app", "icons")

# Network object icons, by index: a short label and a hue.
NET = {
    0: ("OUT", 0.58), 8: ("NET", 0.55), 14: ("TQ", 0.08), 15: ("WYG", 0.75), 18: ("MID", 0.85), 19: ("BLK", 0.30),
    20: ("PRT", 0.12), 22: ("SRV", 0.00), 23: ("REF", 0.45), 24: ("BOX", 0.60), 25: ("POL", 0.35), 26: ("AR", 0.40),
    27: ("AC", 0.65), 28: ("HOG", 0.02), 29: ("HRZ", 0.95), 31: ("MO", 0.88), 32: ("VU", 0.50), 33: ("CH", 0.20),
    34: ("LY", 0.70), 35: ("LY", 0.72), 36: ("GR", 0.25), 37: ("CL", 0.15), 38: ("VW", 0.52), 39: ("SEL", 0.48),
    40: ("DMX", 0.33), 43: ("TGT", 0.10), 44: ("ETH", 0.57), 45: ("IN", 0.28), 46: ("OUT", 0.62), 47: ("MAP", 0.42),
    48: ("OFF", 0.00), 49: ("ON", 0.33), 50: ("TYX", 0.58), 53: ("SYS", 0.78),
}
NET_COUNT = 54
# State icons: 1 detected, 2 alive, 3 active, 4 not detected; further ones for port states.
STATE = {1: (0.14, 1.0), 2: (0.33, 1.0), 3: (0.58, 1.0), 4: (0.0, 0.0)}
STATE_COUNT = 49


def rgb(h, s=0.65, v=0.85):
    r, g, b = colorsys.hsv_to_rgb(h, s, v)
    return "#%02x%02x%02x" % (int(r * 255), int(g * 255), int(b * 255))


def net_icon(label, hue):
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<rect x="0.5" y="1.5" width="15" height="13" rx="2.5" fill="{rgb(hue)}" stroke="{rgb(hue, 0.8, 0.45)}"/>
<text x="8" y="11" font-family="sans-serif" font-size="{7 if len(label) < 3 else 5.5}" font-weight="bold"
 text-anchor="middle" fill="white">{label}</text></svg>
"""


def state_icon(hue, sat):
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<circle cx="8" cy="8" r="5.5" fill="{rgb(hue, sat, 0.9 if sat else 0.6)}" stroke="#404040"/>
<circle cx="6.5" cy="6.5" r="1.8" fill="white" fill-opacity="0.6"/></svg>
"""


def main():
    os.makedirs(OUT, exist_ok=True)
    files = []
    for i in range(NET_COUNT):
        label, hue = NET.get(i, ("%d" % i, (i * 0.137) % 1.0))
        name = "net_%02d.svg" % i
        open(os.path.join(OUT, name), "w").write(net_icon(label, hue))
        files.append(name)
    for i in range(STATE_COUNT):
        hue, sat = STATE.get(i, ((i * 0.211) % 1.0, 0.8))
        name = "state_%02d.svg" % i
        open(os.path.join(OUT, name), "w").write(state_icon(hue, sat))
        files.append(name)
    open(os.path.join(OUT, "about.svg"), "w").write(
        """<svg xmlns="http://www.w3.org/2000/svg" width="96" height="96" viewBox="0 0 96 96">
<rect x="4" y="20" width="88" height="56" rx="8" fill="#2a5d8f"/>
<circle cx="22" cy="48" r="6" fill="#7fe07f"/><circle cx="40" cy="48" r="6" fill="#7fe07f"/>
<circle cx="58" cy="48" r="6" fill="#f0c040"/><circle cx="76" cy="48" r="6" fill="#606060"/></svg>
""")
    files.append("about.svg")
    with open(os.path.join(OUT, "..", "icons.qrc"), "w") as qrc:
        qrc.write("<RCC>\n  <qresource prefix=\"/icons\">\n")
        for f in files:
            qrc.write(f"    <file alias=\"{f}\">icons/{f}</file>\n")
        qrc.write("  </qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
