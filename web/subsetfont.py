#!/usr/bin/env python3
"""Cuts Liberation Serif down to the letters the page can show and renames it.

    subsetfont.py LiberationSerif-Regular.ttf COPYRIGHT OUTPUT.woff2 LICENSE.txt

Keeps Basic Latin, Latin-1's punctuation, Cyrillic and the general punctuation Bulgarian text
uses, with kerning and the other layout features, without hinting; writes WOFF2. The font's
licence reserves the name "Liberation", so the cut-down face is "Tavrelon Serif"; LICENSE.txt
says so above the font's copyright and licence (the copyright file of Debian's package
of the font: fonts-liberation2 on Debian 12, fonts-liberation from Debian 13 on).
"""
import logging
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Tavrelon Serif"
POSTSCRIPT = "TavrelonSerif-Regular"
UNICODES = [
    *range(0x20, 0x7F),  # Basic Latin
    *range(0xA0, 0xC0),  # Latin-1 punctuation and signs
    *range(0x400, 0x460),  # Cyrillic
    0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x201E, 0x2026, 0x2116,
]


NOTICE = """Tavrelon Serif is a cut-down copy of Liberation Serif Regular {version}: only the
glyphs of Basic Latin, Latin-1 punctuation, Cyrillic and general punctuation are kept, the
hinting is removed, and the font is renamed, as the licence below asks of a modified version
("Liberation" is a Reserved Font Name). It is distributed under the same licence, the SIL Open
Font License 1.1.

The copyright and licence of Liberation Serif, as Debian's package of it gives them:

"""


def main(source, copyright_file, target, licence):
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    font = TTFont(source)
    options = subset.Options()
    options.flavor = "woff2"
    options.hinting = False
    options.layout_features = ["*"]
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=UNICODES)
    subsetter.subset(font)
    names = font["name"]
    for record in names.names:
        text = record.toUnicode()
        if record.nameID in (1, 4, 16, 18, 21):
            record.string = FAMILY
        elif record.nameID == 3:
            record.string = f"{POSTSCRIPT}; cut down for Tavrelon"
        elif record.nameID == 6:
            record.string = POSTSCRIPT
        elif "Liberation Serif" in text or "LiberationSerif" in text:
            record.string = text.replace("Liberation Serif", FAMILY).replace(
                "LiberationSerif", POSTSCRIPT.split("-")[0])
    font.flavor = "woff2"
    font.save(target)
    version = names.getDebugName(5) or ""
    with open(copyright_file, encoding="utf-8") as original:
        text = original.read()
    with open(licence, "w", encoding="utf-8") as out:
        out.write(NOTICE.format(version=version.replace("Version ", "")) + text)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit("usage: subsetfont.py SOURCE.ttf COPYRIGHT OUTPUT.woff2 LICENSE.txt")
    main(*sys.argv[1:])
