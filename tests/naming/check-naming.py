#!/usr/bin/env python3
"""Every name of ours follows the rule in .clang-tidy; prints the names that do not and the spelling the rule asks.

Runs clang-tidy's naming check over every source file of ours in the build's compilation database (bench/ is built
apart and is not in it), headers included. Parsing the system headers (Qt, GoogleTest, GStreamer) is most of the
cost, so the files are checked together: one translation unit per set of compile flags (that is, per target) that
includes each of its sources, and each source once, however many programs compile it. A group that does not
compile as one unit (two files defining the same helper, say) is checked file by file instead.

Usage: check-naming.py SOURCE_DIR BUILD_DIR [JOBS]
"""
import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys

OURS = ("media", "platform", "lorvex", "tools", "tests", "bench", "fuzz")
FINDING = re.compile(r"^(/[^:]+):(\d+):(\d+): (warning|error): (.*) \[([\w.,-]+)\]$")


def flags_without_file(entry):
    """The compile command of an entry without its output and input, which is what files of one target share."""
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    kept, skip = [], False
    for arg in args:
        if skip:
            skip = False
        elif arg in ("-o", "-c"):
            skip = True
        elif arg != entry["file"]:
            kept.append(arg)
    return tuple(kept)


def groups_of(database, source_dir):
    """Our files, each once, grouped by their compile flags (in the database's order)."""
    ours = re.compile("^%s/(%s)/" % (re.escape(source_dir), "|".join(OURS)))
    groups, seen = {}, set()
    for entry in database:
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        if not ours.match(path) or path in seen:
            continue
        seen.add(path)
        groups.setdefault((entry["directory"], flags_without_file(entry)), []).append(path)
    return groups


def tidy(work_dir, name, directory, flags, files, config, header_filter):
    """Runs the check on one unit that includes the files; returns the file of its first compile error (None when it
    compiled) and the naming findings."""
    unit = os.path.join(work_dir, name + os.path.splitext(files[0])[1])
    with open(unit, "w") as out:
        out.writelines('#include "%s"\n' % path for path in files)
    database_dir = os.path.join(work_dir, name)
    os.makedirs(database_dir, exist_ok=True)
    with open(os.path.join(database_dir, "compile_commands.json"), "w") as out:
        json.dump([{"directory": directory, "arguments": list(flags) + ["-c", unit], "file": unit}], out)
    run = subprocess.run(["clang-tidy", "--quiet", "--config-file=" + config, "-p", database_dir,
                          "--header-filter=" + header_filter, unit],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    findings, first_error = [], None
    lines = run.stdout.splitlines()
    for i, line in enumerate(lines):
        match = FINDING.match(line)
        if not match:
            continue
        if "readability-identifier-naming" in match.group(6):
            findings.append("\n".join(lines[i:i + 3]))
        elif match.group(4) == "error" and first_error is None:
            first_error = match.group(1)
    if run.returncode != 0 and not findings and first_error is None:
        first_error = files[0]
    return first_error, findings


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: check-naming.py SOURCE_DIR BUILD_DIR [JOBS]")
    source_dir, build_dir = (os.path.realpath(arg) for arg in sys.argv[1:3])
    jobs = int(sys.argv[3]) if len(sys.argv) > 3 else os.cpu_count() or 2
    with open(os.path.join(build_dir, "compile_commands.json")) as db:
        groups = groups_of(json.load(db), source_dir)
    work_dir = os.path.join(build_dir, "naming")
    os.makedirs(work_dir, exist_ok=True)
    config = os.path.join(source_dir, ".clang-tidy")
    header_filter = "^%s/(%s)/" % (re.escape(source_dir), "|".join(OURS))

    def check(name, directory, flags, files):
        """The findings of the files, and those of them that do not compile even alone."""
        first_error, findings = tidy(work_dir, name, directory, flags, files, config, header_filter)
        if first_error is None:
            return findings, []
        if len(files) == 1:
            return findings, files
        # A file that defines again what an earlier one defined starts a unit of its own; otherwise halves.
        cut = files.index(first_error) if first_error in files[1:] else len(files) // 2
        broken = []
        for part, paths in (("a", files[:cut]), ("b", files[cut:])):
            found, failed = check(name + part, directory, flags, paths)
            findings += found
            broken += failed
        return findings, broken

    def check_group(item):
        index, ((directory, flags), files) = item
        return check("unit%d" % index, directory, flags, files)

    findings, broken = set(), []
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        # The biggest groups first, so that no long one starts last.
        ordered = sorted(groups.items(), key=lambda group: -len(group[1]))
        for found, failed in pool.map(check_group, enumerate(ordered)):
            findings.update(found)
            broken += failed
    files = sum(len(paths) for paths in groups.values())
    print("naming: %d files in %d units" % (files, len(groups)))
    for path in broken:
        print("naming: %s does not compile with clang" % path)
    for finding in sorted(findings)[:20]:
        print(finding)
    if findings or broken:
        print("naming: rename the names above as the rule in .clang-tidy asks (the line under each caret)",
              file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
