#!/usr/bin/env python3
"""The installer's tables against the validation rules (ICEs) that bear on them, checked here
since no validator runs on this machine. Exits 1 naming each rule broken.
    msi_ice_rules.py PACKAGE.msi"""
import subprocess
import sys

# Folders of a user's profile (ICE38, ICE64), and those of them that do not follow ALLUSERS,
# which a per-machine package may not install into (ICE91).
PROFILE = {"AppDataFolder", "DesktopFolder", "FavoritesFolder", "LocalAppDataFolder",
           "MyPicturesFolder", "NetHoodFolder", "PersonalFolder", "PrintHoodFolder",
           "ProgramMenuFolder", "RecentFolder", "SendToFolder", "StartMenuFolder",
           "StartupFolder", "TemplateFolder"}
PER_USER_ONLY = {"AppDataFolder", "FavoritesFolder", "LocalAppDataFolder", "MyPicturesFolder",
                 "NetHoodFolder", "PersonalFolder", "PrintHoodFolder", "RecentFolder",
                 "SendToFolder"}
REGISTRY_KEY_PATH = 4  # msidbComponentAttributesRegistryKeyPath


def table(package, name):
    text = subprocess.run(["msiinfo", "export", package, name], check=True,
                          capture_output=True, text=True).stdout
    lines = text.splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


def main(package):
    directories = {d["Directory"]: d["Directory_Parent"] for d in table(package, "Directory")}
    components = {c["Component"]: c for c in table(package, "Component")}
    registry = {r["Registry"]: r for r in table(package, "Registry")}
    files = table(package, "File")
    shortcuts = table(package, "Shortcut")
    removed_folders = {r["DirProperty"] for r in table(package, "RemoveFile")}
    properties = {p["Property"]: p["Value"] for p in table(package, "Property")}
    broken = []

    def ancestors(directory):
        while directory:
            yield directory
            directory = directories.get(directory)

    def in_profile(directory):
        return any(d in PROFILE for d in ancestors(directory))

    for name, component in components.items():
        shortcut = any(s["Component_"] == name for s in shortcuts)
        if not (shortcut or in_profile(component["Directory_"])):
            continue
        key = registry.get(component["KeyPath"])
        if not int(component["Attributes"]) & REGISTRY_KEY_PATH or key is None:
            broken.append(f"ICE38/ICE43: {name} needs a registry value as its key path")
        elif key["Component_"] != name:
            broken.append(f"ICE43: the key path of {name} belongs to {key['Component_']}")
        elif key["Root"] not in ("-1", "1"):
            broken.append(f"ICE38/ICE43: the key path of {name} is under root {key['Root']}, "
                          "not HKCU (1) or HKMU (-1)")
        # A per-user key path over per-machine files would be per-user and per-machine at once.
        if any(f["Component_"] == name and not in_profile(component["Directory_"]) for f in files):
            broken.append(f"ICE57: {name} mixes files of the machine with a per-user key path")
    for directory, parent in directories.items():
        if directory not in PROFILE and in_profile(parent) and directory not in removed_folders:
            broken.append(f"ICE64: {directory} in a profile is not in the RemoveFile table")
    for s in shortcuts:
        folder = s["Directory_"]
        if folder not in PROFILE and folder.isupper() and in_profile(folder):
            broken.append(f"ICE90: shortcut {s['Shortcut']} is in a public property's folder")
    for name, component in components.items():
        if any(d in PER_USER_ONLY for d in ancestors(component["Directory_"])):
            broken.append(f"ICE91: {name} installs into a folder of one user only")
    if properties.get("ALLUSERS") != "1":
        broken.append("ALLUSERS is not 1: the package is not per-machine")
    for prop, value in properties.items():
        if "example." in value:
            broken.append(f"{prop} is a placeholder: {value}")
    for line in broken:
        print(f"FAIL: {package}: {line}", file=sys.stderr)
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
