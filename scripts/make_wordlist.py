#!/usr/bin/env python3
"""Builds the word list carried inside OrvelloWord: spell/WordList.z.

Source: Debian's wamerican package (SCOWL, /usr/share/dict/american-english), whose
licence is kept beside the result as spell/SCOWL-LICENSE.txt. Run it again only to
change the list: the result is committed, so the build needs neither Python nor the
package.

The form the program expects: ASCII letters and apostrophes only, one word per CR LF
line (the last one too), sorted without regard to case the way the C library's
_stricmp orders words (capitals folded to small letters, then bytes), and the whole
compressed as one zlib stream.
"""
import re
import shutil
import sys
import zlib
from pathlib import Path

SOURCE = Path("/usr/share/dict/american-english")
LICENCE = Path("/usr/share/doc/wamerican/copyright")
TOP = Path(__file__).resolve().parent.parent
WORD = re.compile(rb"^[A-Za-z']+$")


def main():
    if not SOURCE.exists():
        sys.exit(f"{SOURCE} is missing: apt-get install wamerican")
    words = set()
    for line in SOURCE.read_bytes().split(b"\n"):
        line = line.strip(b"\r")
        # Words with letters outside ASCII (Bogot\xc3\xa1) cannot be typed in an 8-bit
        # document the way the list would spell them, so they are left out.
        if WORD.match(line):
            words.add(line)
    # Case-only twins keep a fixed order (capitals first), so the file is reproducible.
    ordered = sorted(words, key=lambda w: (w.lower(), w))
    text = b"".join(w + b"\r\n" for w in ordered)
    packed = zlib.compress(text, 9)
    (TOP / "spell" / "WordList.z").write_bytes(packed)
    shutil.copyfile(LICENCE, TOP / "spell" / "SCOWL-LICENSE.txt")
    print(f"{len(ordered)} words, {len(text)} bytes, {len(packed)} compressed;"
          f" first {ordered[0].decode()}, last {ordered[-1].decode()}")


if __name__ == "__main__":
    main()
