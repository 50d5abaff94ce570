#!/bin/sh
# Run by cups-pdf after each job of the test printer, with the PDF's path: writes what
# the tests read back beside it. The text comes last, under its final name in one step,
# so a waiting test never reads half of it.
pdf="$1"
pdftotext -bbox "$pdf" "$pdf.html" 2>/dev/null
pdffonts "$pdf" >"$pdf.fonts" 2>/dev/null
pdftotext -layout "$pdf" "$pdf.part" 2>/dev/null || : >"$pdf.part"
mv "$pdf.part" "$pdf.txt"
