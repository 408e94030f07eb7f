#!/usr/bin/env python3
"""The source's layers point one way: the platform seam at the bottom, the
shared names above it, the parts of the program above those, and app/ on top
assembling them. Prints each include that points up, or each Windows header
outside the Windows back-end, and fails if there is one.

    tests/layers.py SRC
"""
import re
import sys
from pathlib import Path

PARTS = {"hider", "tray", "settings", "options", "policy", "menu", "command"}
# What each folder may include, by the first folder of the included path.
ALLOWED = {
    "platform": {"platform"},
    "common": {"platform", "common"},
    **{part: {"platform", "common"} | PARTS for part in PARTS},
    "app": {"platform", "common", "app"} | PARTS,
}
# The Windows back-end's entry point starts the program it picks.
STARTERS = {"platform/win32/main.cpp": {"app", "hider"}}
WINDOWS_HEADERS = re.compile(r"#\s*include\s*<(windows|shellapi|commctrl|winuser|shlobj|objbase)\.h>", re.I)
INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')
MEMBER_OF_WINDOW = re.compile(r"\bMainWindow::\w+\s*\(")


def main(src: Path) -> int:
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        name = path.relative_to(src).as_posix()
        folder = name.split("/")[0]
        text = path.read_text(encoding="utf-8")
        windows_backend = name.startswith("platform/win32/")
        allowed = ALLOWED.get(folder, set()) | STARTERS.get(name, set())
        if windows_backend:
            allowed |= {"resource.h", "version.h"}
        for line_no, line in enumerate(text.splitlines(), 1):
            where = f"{name}:{line_no}"
            if WINDOWS_HEADERS.search(line) and not windows_backend:
                faults.append(f"{where}: a Windows header outside platform/win32/")
            match = INCLUDE.search(line)
            if match:
                target = match.group(1)
                top = target.split("/")[0] if "/" in target else target
                if top not in allowed and folder != "tests":
                    faults.append(f"{where}: {folder}/ includes {target}")
            if folder != "app" and MEMBER_OF_WINDOW.search(line) and not line.lstrip().startswith("//"):
                faults.append(f"{where}: a member of the main window defined outside app/")
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1] if len(sys.argv) > 1 else "src")))
