#!/usr/bin/env python3
"""Writes the INI inputs under data/ whose bytes a text editor would not keep: line ends, control
characters, NULs, byte-order marks and UTF-16. Run it again after changing a case here."""
import pathlib

DATA = pathlib.Path(__file__).with_name("data")


def write(name, data):
    (DATA / name).write_bytes(data)


basic = (
    "outside=before any section\r\n"
    "; a comment\r\n"
    "[Main]\r\n"
    "Plain=value\r\n"
    "  Spaced Key   =   spaced value   \r\n"
    "\tTabbed\t=\tx\t\r\n"
    "Equals=a=b=c\r\n"
    "=empty key\r\n"
    "NoEquals\r\n"
    "Empty=\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    ";Commented=hidden\r\n"
    "Semi=;not a comment\r\n"
    "   ;Indented=hidden too\r\n"
    "Mixed=\x01\x02inner\x1f\x03\r\n"
    "Del=\x7fx\x7f\r\n"
    "Dq=\"quoted\"\r\n"
    "Sq='quoted'\r\n"
    "EmptyDq=\"\"\r\n"
    "EmptySq=''\r\n"
    "OneDq=\"\r\n"
    "Mismatched=\"x'\r\n"
    "OpenOnly=\"x\r\n"
    "Inner=a\"b\"c\r\n"
    "Nested=\"'both'\"\r\n"
    "Padded=  \"  in quotes  \"  \r\n"
    "Outer=\"a\" and \"b\"\r\n"
    "\r\n"
    "   [ Spaced Section ]   trailing text\r\n"
    "k=spaced section\r\n"
    "[Unclosed  \r\n"
    "k=unclosed\r\n"
    "[A]B]\r\n"
    "k=first bracket\r\n"
    "[Same]k=ignored\r\n"
    "k=after header\r\n"
    "[main]\r\n"
    "Plain=second main\r\n"
    "OnlyInSecond=merged?\r\n"
    "[]\r\n"
    "k=nameless\r\n"
    "[Keyless]\r\n"
    "; only a comment\r\n"
    "[[Inner]\r\n"
    "k=opening bracket kept\r\n"
    "[Lf]\n"
    "a=1\n"
    "\n"
    "b=2\n\r"
    "c=3\r\n\r\n"
    "[Shadow]\r\n"
    "k\r\n"
    "k=later\r\n"
)
write("basic.ini", basic.encode("ascii"))

write("cr_only.ini", b"[Cr]\rone=1\rtwo = 2 \r\r[Next]\rthree=3")

# Windows-1252: euro sign, curly quotes, e-acute, y-diaeresis and Cyrillic-free Latin-1.
write("cp1252.ini",
      b"[Caf\xe9]\r\nPrice=5 \x80\r\nQuote=\x93curly\x94\r\n\xffKey=y\r\n\x8a\x9a=pair\r\n"
      b"Undefined=\x81\x8d\x8f\x90\x9d\r\n")

write("utf8_bom.ini", "\ufeff[Über]\r\nSchlüssel=Wert €\r\n".encode("utf-8"))

utf16 = "[Язык]\r\nКлюч=Значение\r\nEmoji=\U0001F600 \U00010437\r\nÆble=ÿ\r\n"
write("utf16le.ini", b"\xff\xfe" + utf16.encode("utf-16-le"))
write("utf16be.ini", b"\xfe\xff" + utf16.encode("utf-16-be"))
write("utf16le_odd.ini", b"\xff\xfe" + "[S]\r\nk=v".encode("utf-16-le") + b"\x41")

write("bom_only.ini", b"\xff\xfe")
write("empty.ini", b"")

write("nuls.ini",
      b"[Nul]\r\nbefore=ab\x00cd\r\nna\x00me=x\r\nafter=ok\r\nlead=  \x00tail\r\n"
      b"[Other\x00Section]\r\nk=v\r\n")
