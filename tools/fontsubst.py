#!/usr/bin/env python3
"""Writes a .reg file (UTF-16, as regedit wants) that maps the Japanese Windows font names
to the IPA fonts, so "ＭＳ Ｐゴシック" keeps proportional metrics under Wine."""
import sys

SUBST = {
    "ＭＳ ゴシック": "IPAGothic", "MS Gothic": "IPAGothic",
    "ＭＳ Ｐゴシック": "IPAPGothic", "MS PGothic": "IPAPGothic",
    "MS UI Gothic": "IPAPGothic", "MS Shell Dlg": "IPAPGothic", "MS Shell Dlg 2": "IPAPGothic",
}
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]"]
lines += ['"%s"="%s"' % kv for kv in SUBST.items()]
with open(sys.argv[1], "w", encoding="utf-16") as f:
    f.write("\r\n".join(lines) + "\r\n")
