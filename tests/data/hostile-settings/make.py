#!/usr/bin/env python3
# Writes the hostile settings files of this folder: Setting.ini as hand
# editors, other programs, damaged disks and attackers leave it. The window,
# the converter and the browser load each, press OK and load it again; no
# value may change without a mark on its entry, and no section may be lost.
# Run it from anywhere after changing a case; it rewrites every file.
import os

HERE = os.path.dirname(os.path.abspath(__file__))
MARK = b"\xef\xbb\xbf"


def sjis(text):
    return text.encode("cp932")


def lines(*parts, ending="\r\n"):
    return sjis(ending.join(parts) + ending)


MAIN = "[Main]\r\nTabSpace=4\r\nConvert=2"
cases = {}

# --- The cases of the issue ----------------------------------------------
cases["issue-long-to-digits"] = lines(MAIN, "[Swap001]", "From=あ", 'To="' + "0123456789" * 20 + '"', "Type=1")
cases["issue-long-to-kanji"] = lines(MAIN, "[Swap001]", "From=あ", 'To="' + "漢字" * 50 + '"', "Type=1")
cases["issue-gap"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=0", "[Swap003]", "From=c",
                           'To="d"', "Type=0", "[Swap004]", "From=e", 'To="f"', "Type=0")
cases["issue-empty-from"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=0", "[Swap002]", "From=",
                                  'To="x"', "Type=0", "[Swap003]", "From=c", 'To="d"', "Type=1",
                                  "[Swap004]", "From=e", 'To="f"', "Type=0")
cases["issue-wrapping-numbers"] = lines("[Main]", "TabSpace=4294967298", "Convert=2", "[Swap001]",
                                        "From=a", 'To="b"', "Type=4294967296", "[Layout]",
                                        "ColumnLength=4294967301", "Kinsoku=4294967297")
cases["issue-negative-column-length"] = lines(MAIN, "[Layout]", "ColumnLength=-4294967291")
cases["issue-huge-numbers"] = lines("[Main]", "TabSpace=99999999999999999999", "Convert=1000",
                                    "[Layout]", "ColumnLength=1000")
cases["issue-utf8-mark"] = MARK + lines(MAIN.replace("4", "3"), "[Swap001]", "From=ー", 'To="｜"', "Type=0")

# --- Long values -----------------------------------------------------------
cases["long-from"] = lines(MAIN, "[Swap001]", "From=" + "長" * 100, 'To="x"', "Type=1")
cases["long-from-and-to"] = lines(MAIN, "[Swap001]", "From=" + "a" * 150, 'To="' + "b" * 150 + '"', "Type=1")
cases["long-to-127-bytes"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + "x" * 127 + '"', "Type=1")
cases["long-to-128-bytes"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + "x" * 128 + '"', "Type=1")
cases["long-to-splits-a-character"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + "x" * 126 + "あい" + '"', "Type=1")
cases["long-to-unquoted"] = lines(MAIN, "[Swap001]", "From=a", "To=" + "yz" * 100, "Type=1")
cases["long-to-blanks"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + " " * 200 + '"', "Type=1")
cases["long-to-of-a-cell-entry"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + "縦" * 80 + '"', "Type=0")
cases["long-to-exact-key"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + "?" * 150 + '"',
                                   'ToU="' + "\\uD83D\\uDE00" * 150 + '"', "Type=1")
cases["long-to-stale-exact-key"] = lines(MAIN, "[Swap001]", "From=a", 'To="' + "w" * 150 + '"',
                                         'ToU="\\uFE11"', "Type=1")
cases["long-to-with-nul"] = sjis(MAIN + "\r\n[Swap001]\r\nFrom=a\r\nTo=\"") + b"x" * 20 + b"\0" + b"y" * 200 + b"\"\r\nType=1\r\n"
cases["long-to-second-entry-then-gap"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=0", "[Swap002]",
                                               "From=c", 'To="' + "d" * 300 + '"', "Type=1", "[Swap004]",
                                               "From=e", 'To="' + "f" * 300 + '"', "Type=1")
cases["long-to-inner-quotes"] = lines(MAIN, "[Swap001]", "From=a", 'To=""' + "q" * 140 + '""', "Type=1")
cases["long-line-of-another-key"] = lines(MAIN, "[Other]", "k=" + "z" * 100000)

# --- Numbers ---------------------------------------------------------------
cases["tabspace-empty"] = lines("[Main]", "TabSpace=", "Convert=2")
cases["tabspace-no-digits"] = lines("[Main]", "TabSpace=abc", "Convert=2")
cases["tabspace-plus-and-zeros"] = lines("[Main]", "TabSpace=+0003", "Convert=02")
cases["tabspace-256"] = lines("[Main]", "TabSpace=256", "Convert=2")
cases["tabspace-negative"] = lines("[Main]", "TabSpace=-1", "Convert=-2")
cases["tabspace-trailing-text"] = lines("[Main]", "TabSpace=6 spaces", "Convert=0 (enter)")
cases["tabspace-above-the-spinner"] = lines("[Main]", "TabSpace=200", "Convert=9")
cases["type-no-digits"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=kind")
cases["type-empty"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=")
cases["type-beyond-32-bits-negative"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=-2147483649")
cases["type-32-bit-bounds"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=-2147483648", "[Swap002]",
                                    "From=c", 'To="d"', "Type=2147483647")
cases["layout-beyond-range"] = lines(MAIN, "[Layout]", "ColumnLength=1000", "Kinsoku=3", "ColumnGap=4294967297")
cases["picture-wrapping"] = lines(MAIN, "[Layout]", "ImageCellSize=4294967304", "ImageGrid=4294967297",
                                  "VerticalGlyphs=4294967296")
cases["page-wrapping"] = lines(MAIN, "[Page]", "Enabled=4294967297", "Paper=4294967297", "Margin=4294967306",
                               "CharacterPoints=99999999999999999999.5", "Columns=4294967297")
cases["view-wrapping"] = lines(MAIN, "[Options]", "FontSize=4294967308", "VerticalView=4294967297",
                               "SaveEncoding=UTF-8")

# --- Structure -------------------------------------------------------------
cases["no-first-entry"] = lines(MAIN, "[Swap002]", "From=b", 'To="c"', "Type=0")
cases["empty-first-from"] = lines(MAIN, "[Swap001]", "From=", "[Swap002]", "From=b", 'To="c"', "Type=0")
cases["missing-from-key"] = lines(MAIN, "[Swap001]", "From=a", "[Swap002]", 'To="x"', "Type=1", "[Swap003]",
                                  "From=c")
cases["blank-from"] = lines(MAIN, "[Swap001]", "From=a", "[Swap002]", "From=   ", "[Swap003]", "From=c")
cases["quoted-empty-from"] = lines(MAIN, "[Swap001]", "From=a", "[Swap002]", 'From=""', "[Swap003]", "From=c")
cases["duplicate-entry-sections"] = lines(MAIN, "[Swap001]", "From=a", 'To="1"', "[Swap002]", "From=b",
                                          "[Swap001]", "From=z", 'To="2"', "[Swap003]", "From=c")
cases["duplicate-main"] = lines(MAIN, "[Swap001]", "From=a", "[main]", "TabSpace=8", "Convert=0")
cases["duplicate-keys"] = lines(MAIN, "[Swap001]", "From=a", "From=b", 'To="1"', 'To="2"', "Type=1", "Type=0")
cases["names-in-other-cases"] = lines("[MAIN]", "tabspace=5", "[swap001]", "from=a", 'TO="b"', "type=1",
                                      "[ Swap002 ]", " From = c ", "[SWAP003]", "FROM=d")
cases["numbers-beyond-the-table"] = lines(MAIN, "[Swap001]", "From=a", "[Swap000]", "From=z",
                                          "[Swap1000]", "From=y", "[Swap01]", "From=x", "[Swap999]", "From=w")
cases["full-table-and-more"] = lines(MAIN, *[f"[Swap{n:03d}]\r\nFrom=a\r\nTo=\"{n}\"\r\nType=0" for n in range(1, 1000)],
                                     "[Swap1000]", "From=b")
cases["lines-before-first-section"] = lines("TabSpace=1", "; note", "[Main]", "TabSpace=3", "[Swap001]", "From=a")
cases["comments-and-blank-lines"] = lines("; settings", "", MAIN, "; the table", "", "[Swap001]", "; kind 1",
                                          "From=a", "", 'To="b"', "Type=1", "", "; end")
cases["lf-endings"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=1", ending="\n")
cases["cr-endings"] = lines(MAIN, "[Swap001]", "From=a", 'To="b"', "Type=1", ending="\r")
cases["mixed-endings"] = sjis("[Main]\nTabSpace=2\r\nConvert=1\r[Swap001]\n\rFrom=a\r\n")
cases["no-final-line-ending"] = sjis(MAIN + "\r\n[Swap001]\r\nFrom=a\r\nTo=\"b\"\r\nType=1")
cases["unclosed-header"] = lines(MAIN, "[Swap001", "From=a", 'To="b"', "[Swap002]", "From=c")
cases["header-with-trailing-text"] = lines(MAIN, "[Swap001] entry one", "From=a", "[Swap002]junk", "From=b")
cases["empty-section-name"] = lines("[]", "From=q", MAIN, "[Swap001]", "From=a")
cases["keys-without-equals"] = lines("[Main]", "TabSpace", "Convert=1", "[Swap001]", "From=a", "To", "Type")
cases["blanks-around-everything"] = lines("  [ Main ]  ", " TabSpace = 7 ", "\tConvert\t=\t1\t", "[Swap001]",
                                          "\tFrom = a ", " To = \" b \" ", " Type = 1 ")
cases["nul-bytes"] = sjis(MAIN + "\r\n[Swap001]\r\nFrom=a\0b\r\nTo=\"c\0d\"\r\nType=1\0\r\n[Swa\0p002]\r\nFrom=e\r\n")
cases["invalid-code-page-932"] = sjis(MAIN + "\r\n[Swap001]\r\n") + b"From=\x82\r\nTo=\"\x80\xff\xa0\"\r\nType=1\r\n[Other]\r\nk=\x81\r\n"
cases["utf8-text"] = (MAIN + "\r\n[Swap001]\r\nFrom=ー\r\nTo=\"｜\"\r\nType=0\r\n").encode("utf-8")
cases["utf8-mark-only"] = MARK
cases["utf8-mark-twice"] = MARK + MARK + lines(MAIN)
cases["utf8-mark-then-comment"] = MARK + lines("; written by an editor", MAIN, "[Swap001]", "From=a")
cases["utf16-text"] = ("\ufeff" + MAIN + "\r\n[Swap001]\r\nFrom=a\r\n").encode("utf-16-le")
cases["binary-garbage"] = bytes((i * 197 + 11) % 256 for i in range(4096))
cases["empty-file"] = b""
cases["exact-keys-without-plain-keys"] = lines(MAIN, "[Swap001]", 'FromU="\\u3042"', 'ToU="\\u3044"', "Type=1",
                                               "[Swap002]", "From=b")
cases["broken-escapes"] = lines(MAIN, "[Swap001]", "From=?", 'FromU="\\uZZZZ"', 'To="?"', 'ToU="\\uD83D"', "Type=1")
cases["unknown-sections-and-keys"] = lines(MAIN, "Extra=1", "[Swap001]", "From=a", "Note=kept", "[Plugins]",
                                           "x=1", "[Layout]", "Future=yes")

for name in list(os.listdir(HERE)):
    if name.endswith(".ini"):
        os.remove(os.path.join(HERE, name))
for name, data in cases.items():
    with open(os.path.join(HERE, name + ".ini"), "wb") as out:
        out.write(data)
print(len(cases), "files")
