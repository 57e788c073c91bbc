"""Reads the extension's Addons.xcu as Writer's configuration reader would
need it: well-formed XML, the toolbar "velnToolbar" and the "VELN" menu,
every command of the vnd.veln: scheme with a title in English and French,
every pop-up a drop-down on the toolbar and a submenu in the menu, and
each face an icon the package holds; and the toolbar's state in Writer
(WriterWindowState.xcu) is the state of that toolbar, docked and named.

check_addons.py ADDONS_XCU PACKAGE_FOLDER"""
import os
import sys
import xml.etree.ElementTree as ET

OOR = "{http://openoffice.org/2001/registry}"
XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"


def node(parent, name):
    for child in parent.findall("node"):
        if child.get(OOR + "name") == name:
            return child
    raise SystemExit(f"no node {name!r} under {parent.get(OOR + 'name')!r}")


def props(item):
    found = {}
    for prop in item.findall("prop"):
        found[prop.get(OOR + "name")] = prop.findall("value")
    return found


def check_item(item, where, failures):
    values = props(item)
    url = values["URL"][0].text
    if url == "private:separator":
        return url
    if not url.startswith("vnd.veln:") or len(url) == len("vnd.veln:"):
        failures.append(f"{where}: command {url!r} is not of the vnd.veln: scheme")
    titles = {value.get(XML_LANG): (value.text or "") for value in values.get("Title", [])}
    for language in ("en-US", "fr"):
        if not titles.get(language, "").strip():
            failures.append(f"{where}: {url} has no {language} title")
    return url


def main():
    addons, package = sys.argv[1], sys.argv[2]
    root = ET.parse(addons).getroot()
    ui = node(root, "AddonUI")
    failures = []
    toolbar = node(node(ui, "OfficeToolBar"), "velnToolbar")
    toolbar_urls = [check_item(item, "toolbar", failures) for item in toolbar.findall("node")]
    for item in toolbar.findall("node"):
        values = props(item)
        is_popup = values["URL"][0].text.startswith("vnd.veln:Popup")
        is_dropdown = "ControlType" in values and values["ControlType"][0].text == "DropdownButton"
        if is_popup != is_dropdown:
            failures.append(f"toolbar: {values['URL'][0].text} is a pop-up only if a drop-down")
    menu = node(node(ui, "OfficeMenuBar"), "org.veln.menu")
    menu_urls = []

    def walk(submenu, depth):
        for item in submenu.findall("node"):
            url = check_item(item, "menu", failures)
            menu_urls.append(url)
            nested = [child for child in item.findall("node") if child.get(OOR + "name") == "Submenu"]
            if url.startswith("vnd.veln:Popup") != bool(nested):
                failures.append(f"menu: {url} has a submenu only if it is a pop-up")
            for child in nested:
                walk(child, depth + 1)

    walk(node(menu, "Submenu"), 0)
    commands = [url for url in menu_urls if url.startswith("vnd.veln:o")]
    if len(commands) != len(set(commands)):
        failures.append("menu: a command is listed twice")
    if len(commands) < 30:
        failures.append(f"menu: only {len(commands)} commands")
    if not set(url for url in toolbar_urls if url != "private:separator") <= set(menu_urls):
        failures.append("the toolbar has a command the menu lacks")
    for image in node(ui, "Images").findall("node"):
        user = node(image, "UserDefinedImages")
        for value in props(user).get("ImageSmallURL", []):
            path = value.text.replace("%origin%", package)
            if not os.path.isfile(path):
                failures.append(f"images: {value.text} is not in the package")
    states = node(node(ET.parse(os.path.join(package, "WriterWindowState.xcu")).getroot(),
                       "UIElements"), "States")
    state = props(node(states, "private:resource/toolbar/addon_velnToolbar"))
    if state["Docked"][0].text != "true" or state["UIName"][0].text != "VELN":
        failures.append("WriterWindowState.xcu: the toolbar is not docked and named VELN")
    if failures:
        print("\n".join(failures))
        sys.exit(1)
    print(f"{len(commands)} commands, {len(toolbar_urls)} toolbar items")


main()
