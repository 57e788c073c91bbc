#!/usr/bin/env python3
"""Prints what an .xlsx file holds, as openpyxl reads it: the first sheet's
name, the title and subject properties, the formats of whole rows and
columns, the widths set on columns, then every cell that has a value or a format of its own, one line
each, fields separated by tabs (tabs, line ends and backslashes escaped). A font
colour is printed only for text that is not a link.

The tests read workbooks through this reader so that what the writer meant
is checked against what an independent reader finds in the file. Before
openpyxl, which forgives some faults, Python's own zip and XML parsers read
every part: a workbook that is not well-formed fails every test that reads it."""
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl

# Cell text in the file escapes characters as _xHHHH_ (an underscore itself as
# _x005F_); spreadsheet programs decode it, openpyxl leaves it as it is.
ESCAPED = re.compile(r"_x([0-9A-Fa-f]{4})_")


def decoded(value):
    return ESCAPED.sub(lambda match: chr(int(match.group(1), 16)), value)


def text(value):
    return (str(value).replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def look(font, alignment):
    fields = [
        "bold=" + ("1" if font.b else "0"),
        "h=" + (alignment.horizontal or "general"),
        "v=" + (alignment.vertical or "bottom"),
        "wrap=" + ("1" if alignment.wrap_text else "0"),
        "size=" + ("%g" % (font.sz or 11)),
        "underline=" + (font.u or "none"),
    ]
    # The colour of text that is not a link (a link's blue goes with its line).
    if not font.u and font.color is not None and isinstance(font.color.rgb, str):
        fields.append("color=" + font.color.rgb[-6:])
    return "\t".join(fields)


def check_parts(path):
    with zipfile.ZipFile(path) as package:
        damaged = package.testzip()
        if damaged:
            sys.exit("%s: %s fails its check" % (path, damaged))
        for name in package.namelist():
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    ET.fromstring(package.read(name))
                except ET.ParseError as error:
                    sys.exit("%s: %s is not well-formed XML: %s" % (path, name, error))


def main(path):
    check_parts(path)
    workbook = openpyxl.load_workbook(path)
    sheet = workbook.worksheets[0]
    print("sheets\t%d" % len(workbook.worksheets))
    print("sheet\t" + text(sheet.title))
    print("title\t" + text(workbook.properties.title or ""))
    print("subject\t" + text(workbook.properties.subject or ""))
    for number, row in sorted(sheet.row_dimensions.items()):
        if row.customFormat:
            print("row\t%d\t%s" % (number, look(row.font, row.alignment)))
    for letter, column in sorted(sheet.column_dimensions.items()):
        if column.style_id:
            print("column\t%s\t%d\t%s" % (letter, column.min, look(column.font, column.alignment)))
        if column.customWidth:
            print("width\t%s\t%g" % (letter, column.width))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None and not cell.has_style:
                continue
            if cell.value is None:
                kind, value = "blank", ""
            elif isinstance(cell.value, str):
                kind, value = "text", decoded(cell.value)
            else:
                kind = "number"
                value = "%g" % cell.value
            link = ""
            if cell.hyperlink is not None:
                link = (cell.hyperlink.target or "")
                if cell.hyperlink.location:
                    link += "#" + cell.hyperlink.location
            print("cell\t%s\t%s\t%s\t%s\tlink=%s" % (cell.coordinate, kind, text(value),
                                                   look(cell.font, cell.alignment), text(link)))


if __name__ == "__main__":
    main(sys.argv[1])
