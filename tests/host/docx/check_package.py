#!/usr/bin/env python3
"""Checks that a word-processing package holds together, with parsers that
are not ours: the zip reads and every entry passes its check, no name is
there twice, every XML part is well-formed XML 1.0 with its namespaces
bound, each part has one content type, and the relationships point at
parts that exist. Prints the problems found, one a line; exit 1 if any."""
import posixpath
import sys
import xml.etree.ElementTree as ET
import zipfile

CT = "{http://schemas.openxmlformats.org/package/2006/content-types}"
RELS = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def check(path):
    problems = []
    with zipfile.ZipFile(path) as package:
        names = [info.filename for info in package.infolist()]
        twice = sorted({name for name in names if names.count(name) > 1})
        if twice:
            problems.append("entries named more than once: " + ", ".join(twice))
        damaged = package.testzip()
        if damaged:
            problems.append(damaged + " fails its check")
        parts = {name for name in names if not name.endswith("/")}
        trees = {}
        for name in sorted(parts):
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    trees[name] = ET.fromstring(package.read(name))
                except ET.ParseError as error:
                    problems.append(name + ": " + str(error))
        types = trees.get("[Content_Types].xml")
        if types is None:
            problems.append("no [Content_Types].xml")
        else:
            defaults = {d.get("Extension", "").lower() for d in types.iter(CT + "Default")}
            overrides = [o.get("PartName", "") for o in types.iter(CT + "Override")]
            for name in sorted({o for o in overrides if overrides.count(o) > 1}):
                problems.append("content type given more than once for " + name)
            for name in sorted(parts - {"[Content_Types].xml"}):
                extension = name.rsplit(".", 1)[-1].lower() if "." in name else ""
                if "/" + name not in overrides and extension not in defaults:
                    problems.append(name + " has no content type")
        for name, tree in sorted(trees.items()):
            if not name.endswith(".rels"):
                continue
            source = posixpath.dirname(posixpath.dirname(name))
            ids, kinds = [], []
            for relationship in tree.iter(RELS + "Relationship"):
                ids.append(relationship.get("Id"))
                kind = relationship.get("Type", "").rsplit("/", 1)[-1]
                if kind in ("officeDocument", "settings", "vbaProject"):
                    kinds.append(kind)
                if relationship.get("TargetMode") == "External":
                    continue
                target = relationship.get("Target", "")
                part = target[1:] if target.startswith("/") else posixpath.normpath(
                    posixpath.join(source, target))
                if part not in parts:
                    problems.append(name + ": " + target + " points at no part")
            for twice in sorted({i for i in ids if ids.count(i) > 1}):
                problems.append(name + ": relationship id " + twice + " used more than once")
            for twice in sorted({k for k in kinds if kinds.count(k) > 1}):
                problems.append(name + ": more than one " + twice + " relationship")
    return problems


if __name__ == "__main__":
    try:
        found = check(sys.argv[1])
    except (OSError, zipfile.BadZipFile, zipfile.LargeZipFile) as error:
        found = [sys.argv[1] + ": " + str(error)]
    for problem in found:
        print(problem)
    sys.exit(1 if found else 0)
