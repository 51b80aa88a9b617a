#!/usr/bin/python3
"""bench-report.py OUT DOCS LARGEST DLL32 MAP32 DLL64 MAP64: turns the figures script/bench collected in
OUT into DOCS/performance.md and OUT/scaling.dat (for the plot); each MAP is its DLL's link map."""
import datetime
import json
import os
import collections
import platform
import re
import subprocess
import sys

out, docs, largest, dll32, map32, dll64, map64 = sys.argv[1:8]
BUILDS = [("32-bit", "wine.txt", dll32, map32), ("64-bit", "wine64.txt", dll64, map64)]


def room_by_object(link_map):
    """Bytes of code and data each linked object brings, from the link map (debug sections left out:
    the DLL is stripped)."""
    sizes = collections.Counter()
    pending = None
    for line in open(link_map):
        whole = re.match(r"^ (\.\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)", line)
        if whole:
            pending = None
            if not whole.group(1).startswith(".debug"):
                sizes[whole.group(3).split("/")[-1]] += int(whole.group(2), 16)
            continue
        alone = re.match(r"^ (\.\S+)$", line.rstrip())
        if alone:
            pending = None if alone.group(1).startswith(".debug") else alone.group(1)
            continue
        rest = re.match(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)", line)
        if rest and pending:
            sizes[rest.group(2).split("/")[-1]] += int(rest.group(1), 16)
        pending = None
    return sizes


def cpu_times():
    with open(os.path.join(out, "reader.json")) as f:
        report = json.load(f)
    times = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name", "median") != "median":
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        side, size = name.split("/")[0], int(name.split("/")[1])
        times[(side, size)] = b["cpu_time"] / 1000.0  # µs (reported in ns)
    return times


def machine():
    cpu = "unknown processor"
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    wine = subprocess.run(["/usr/lib/wine/wine64", "--version"], capture_output=True, text=True).stdout.strip()
    # Where the machine runs no 32-bit code, the 32-bit DLL, player and host run under qemu.
    emulated = ""
    try:
        if open("/proc/sys/fs/binfmt_misc/qemu-i386").readline().strip() == "enabled":
            emulated = "; 32-bit programs under qemu-i386's user-mode emulation"
    except OSError:
        pass
    return f"{cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, {wine}{emulated}"


times = cpu_times()
sizes = sorted({size for side, size in times if side == "module"})
counts = {}
for line in open(os.path.join(out, "callgrind.txt")):
    side, size, n = line.split()
    counts[(side, int(size))] = int(n)
bytes_read = open(os.path.join(out, "bytes-read.txt")).read().strip()


def wine_lines(name, kind):
    return [line.split()[1:] for line in open(os.path.join(out, name)) if line.split()[:1] == [kind]]


reads = wine_lines("wine.txt", "READ")

lines = ["# Performance", "",
         f"Measured by `script/bench` on {datetime.date.today().isoformat()}: {machine()}.",
         "Ratios are taken within one run; absolute figures vary with the machine.", "",
         "## FILENAME's reading under Wine, current entry last", "",
         "The real DLL's `FILENAME` (the whole call, against an in-process stand-in player that leaves the "
         "playlist file as it stands) against two bare loops over the same file, each to the same entry: "
         "`ReadFile` in 64 KiB blocks with a line-feed scan four bytes at a time (the floor: msvcrt's "
         "`memchr` goes byte by byte under Wine), and msvcrt's `fgets` in text mode (what the module did "
         "before). Best of several rounds, in µs; the playlists are the player's own format, CR LF line "
         "ends and an `#EXTINF` line before each path.", "",
         "| entries | FILENAME (µs) | ReadFile + scan (µs) | fgets (µs) | FILENAME / ReadFile + scan | "
         "fgets / ReadFile + scan |",
         "|---:|---:|---:|---:|---:|---:|"]
with open(os.path.join(out, "scaling.dat"), "w") as dat:
    for entries, module, bare, fgets in reads:
        m, b, f = float(module), float(bare), float(fgets)
        lines.append(f"| {int(entries):,} | {m:,.1f} | {b:,.1f} | {f:,.1f} | {m / b:.3f} | {f / b:.3f} |")
        dat.write(f"{entries} {m} {b} {f}\n")
ini = [line.split()[1:] for line in open(os.path.join(out, "wine.txt")) if line.startswith("READINI")]
for entries, without, withini in ini:
    lines += ["", f"A current installation keeps its playlist where `paths.ini` beside the program says: with a "
              f"`paths.ini` naming the folder, FILENAME at {int(entries):,} entries took {float(withini):,.1f} µs, "
              f"against {float(without):,.1f} µs without one (the module reads it itself: the profile functions "
              f"cost Wine about 400 µs a value). In the table the current entry names a file that exists, as "
              f"it does while it plays."]
for build, name, _, _ in BUILDS:
    for entries, wide, narrow in wine_lines(name, "UNICODE"):
        lines += ["", f"{build}: FILENAME for a Unicode host (UTF-16 answers, after the load-time call) at "
                  f"{int(entries):,} entries took {float(wide):,.1f} µs, against {float(narrow):,.1f} µs for an "
                  f"8-bit host over the same playlist: **{float(wide) / float(narrow):.3f}** (goal ≤ 1.2)."]
lines += ["", "## FILENAME's reading, native", "",
          "The module's reader against a bare loop over the same file (`read` in 64 KiB blocks and `memchr` "
          "from line feed to line feed, counting lines that do not begin with `#`) and the C library's "
          "`fgets`, CPU time per read (median of 5), and instructions counted by callgrind inside the module "
          "and the bare loop.", "",
          "| entries | module (µs) | bare (µs) | fgets (µs) | module / bare | module instructions | "
          "bare instructions | ratio |",
          "|---:|---:|---:|---:|---:|---:|---:|---:|"]
for size in sizes:
    m, b, f = times[("module", size)], times[("bare", size)], times.get(("fgets", size), float("nan"))
    cm, cb = counts.get(("module", size)), counts.get(("bare", size))
    ci = f"{cm:,} | {cb:,} | {cm / cb:.3f}" if cm and cb else "- | - | -"
    lines.append(f"| {size:,} | {m:,.1f} | {b:,.1f} | {f:,.1f} | {m / b:.3f} | {ci} |")

first_large = times.get(("module-first", int(largest)))
first_small = times.get(("module-first", 1000))
lines += ["", "## FILENAME with the current entry first",
          "",
          f"Entry 0 of the {int(largest):,}-entry playlist: {first_large:,.2f} µs CPU and {bytes_read} bytes "
          f"read from the file (entry 0 of a 1,000-entry playlist: {first_small:,.2f} µs). The cost does not "
          "grow with what follows the entry.", "",
          "## FILENAME on a small playlist, against its platform floor", "",
          "`FILENAME` at 100 entries, the current entry last, against the same platform work made directly: "
          "the window search, the three messages, the program of the window's process and its bitness "
          "(`OpenProcess`, `QueryFullProcessImageNameW`, `IsWow64Process`), the open of `paths.ini` "
          "(which is how the module learns there is none: a failed open costs Wine about 130 µs here) and, "
          "when there is one, its read and `SHGetFolderPathA` (with shell32 already loaded), the first "
          "4 KiB of the playlist and then 64 KiB, and the check that the line names a file. With the `paths.ini` a "
          "fresh installation writes (`inidir={26}\\Winamp`), in a host that had not loaded shell32 "
          "(goal: at most 1.3), and with the playlist in the program folder, against the same work "
          "without `paths.ini` (goal: at most 1.2). Median of 31 paired rounds.", "",
          "| build | setting | FILENAME (µs) | floor (µs) | cost ratio | goal |",
          "|---|---|---:|---:|---:|---:|"]
for build, wine, _, _ in BUILDS:
    for setting, entries, module, bare, ratio, *shell in wine_lines(wine, "SMALL"):
        goal = "1.3" if setting == "fresh-install" else "1.2"
        note = " (host had shell32)" if shell and shell[0] == "1" else ""
        lines.append(f"| {build} | {setting}{note} | {float(module):,.1f} | {float(bare):,.1f} | {float(ratio):.3f} | "
                     f"≤ {goal} |")
lines += ["", "## Per call under Wine, against the stand-in player", "",
          "Calls per second of each real DLL, in a host of its own bitness, against a bare loop making the "
          "same Win32 calls (`FindWindowExA` until it finds no more windows of the class, as the module "
          "searches, the same messages through `SendMessageTimeoutA` with "
          "`SMTO_ABORTIFHUNG` and what is left of two seconds, and `wsprintfA`). Across processes both face "
          "the 32-bit stand-in player, as they face the player. Fifteen short rounds of each (about 0.1 s "
          "a side, whatever the command's speed), back to back and each side first in turn; the cost ratio is the median of the fifteen pairs' ratios (this "
          "machine's speed drifts from second to second), and both calls per second come from the round "
          "that gives it, so that the three agree.", "",
          "| build | where | command | module calls/s | bare calls/s | cost ratio (module time / bare time) |",
          "|---|---|---|---:|---:|---:|"]
for build, wine, _, _ in BUILDS:
    for where, command, module, bare, ratio in wine_lines(wine, "CALLS"):
        lines.append(f"| {build} | {where} | {command} | {int(module):,} | {int(bare):,} | {float(ratio):.3f} |")
earlier = open(os.path.join(out, "against.txt")).read().strip() if os.path.exists(os.path.join(out, "against.txt")) else ""
against = [(build, row) for build, wine, _, _ in BUILDS for row in wine_lines(wine, "AGAINST")]
if against:
    lines += ["", f"## Every command against an earlier build ({earlier})", "",
              "Each command of this build against the same command of the DLL built from that commit, both "
              "loaded in one host of their bitness and called the same way (the player's window on the calling "
              "thread, on another thread of the host's process, or in a process of its own), fifteen paired rounds each side "
              "first in turn (`FILENAME-100`: FILENAME at 100 entries, 31 rounds). Calls per second and the "
              "ratio all come from the round of the median ratio. Commands the earlier build lacks are left "
              "out. A ratio above 1 is this build's cost over the earlier one's.", "",
              "| build | where | command | this build calls/s | earlier calls/s | cost ratio (this / earlier) |",
              "|---|---|---|---:|---:|---:|"]
    for build, (where, command, module, bare, ratio) in against:
        lines.append(f"| {build} | {where} | {command} | {int(module):,} | {int(bare):,} | {float(ratio):.3f} |")
lines += ["", "## The DLLs", "",
          "| build | size (bytes) | LoadLibrary + FreeLibrary per second | the same of an empty DLL | load cost ratio |",
          "|---|---:|---:|---:|---:|"]
for build, wine, dll, _ in BUILDS:
    module_loads, empty_loads = (float(x) for x in wine_lines(wine, "LOADS")[0])
    lines.append(f"| {build} | {os.path.getsize(dll):,} | {module_loads:,.0f} | {empty_loads:,.0f} | "
                 f"{empty_loads / module_loads:.3f} |")
lines += ["", "The empty DLL exports one routine and is built the toolchain's usual way, for the same bitness. "
          "What takes the room, from the link maps (code and data before alignment):", ""]
for build, _, _, link_map in BUILDS:
    room = room_by_object(link_map)
    lines += [f"| {build}: bytes | object |", "|---:|---|"]
    for name, n in room.most_common(10):
        lines.append(f"| {n:,} | `{name}` |")
    lines += [f"| {sum(room.values()):,} | all |", ""]
lines += ["The module's own objects are the `objects.a(...)` rows. It is built without exceptions or the C "
          "runtime's start-up code; the loader calls its DllMain directly. The 32-bit DLL has no unwind "
          "tables; the 64-bit one keeps its `.pdata`, which Windows needs to unwind through any x64 frame.",
          "", "![FILENAME cost against playlist size](filename-scaling.png)", ""]
with open(os.path.join(docs, "performance.md"), "w") as f:
    f.write("\n".join(lines))
