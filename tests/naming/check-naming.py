#!/usr/bin/env python3
"""Every name of ours follows the rule in .clang-tidy; prints the names that do not and the spelling the rule asks.

Runs clang-tidy's naming check over every source file of ours in the build's compilation database (bench/ is built
apart and is not in it), headers included. Parsing the system headers (Qt, GoogleTest, GStreamer) is most of the
cost, so the files are checked together: one translation unit per set of compile flags (that is, per target) that
includes each of its sources, and each source once, however many programs compile it. A group that does not
compile as one unit (two files defining the same helper, say) is checked file by file instead.

A unit's outcome is kept in the user's cache folder, keyed by everything it depends on that can change with the
tree: the files and the headers of ours they include (their contents, found by following the includes), the
flags with the clone's and build's folders taken out, the rule and clang-tidy's version. A second clone, a build
made again or a change to one file then checks only the units that the change reaches.

Usage: check-naming.py SOURCE_DIR BUILD_DIR [JOBS]
"""
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys

OURS = ("media", "platform", "lorvex", "tools", "tests", "bench", "fuzz")
FINDING = re.compile(r"^(/[^:]+):(\d+):(\d+): (warning|error): (.*) \[([\w.,-]+)\]$")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
CACHE_ENTRIES_KEPT = 4000


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


class OutcomeCache:
    """Units' outcomes by a digest of what they depend on, in $XDG_CACHE_HOME/media-naming (or ~/.cache)."""

    def __init__(self, source_dir, build_dir, config):
        base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
        self.folder = os.path.join(base, "media-naming")
        self.places = ((source_dir, "<source>"), (build_dir, "<build>"))
        version = subprocess.run(["clang-tidy", "--version"], stdout=subprocess.PIPE, text=True).stdout
        with open(config, "rb") as rule:
            self.common = hashlib.sha256(version.encode() + rule.read()).hexdigest()
        self.contents = {}

    def neutral(self, text):
        for place, name in self.places:
            text = text.replace(place, name)
        return text

    def local(self, text):
        for place, name in self.places:
            text = text.replace(name, place)
        return text

    def digest(self, flags, files):
        """Everything the unit's outcome depends on: its flags, its files and every file of ours they include."""
        search = [arg[2:] for arg in flags if arg.startswith("-I") and len(arg) > 2]
        search += [flags[i + 1] for i, arg in enumerate(flags[:-1]) if arg in ("-I", "-isystem")]
        key = hashlib.sha256((self.common + self.neutral("\0".join(flags))).encode())
        seen, pending = set(), list(files)
        while pending:
            path = pending.pop()
            if path in seen:
                continue
            seen.add(path)
            text = self.read(path)
            key.update(self.neutral(path).encode() + b"\0" + text)
            for name in INCLUDE.findall(text.decode("utf-8", "replace")):
                found = self.resolve(name, os.path.dirname(path), search)
                if found:
                    pending.append(found)
        return key.hexdigest()

    def read(self, path):
        if path not in self.contents:
            with open(path, "rb") as source:
                self.contents[path] = source.read()
        return self.contents[path]

    @staticmethod
    def resolve(name, folder, search):
        for base in [folder] + search:
            path = os.path.normpath(os.path.join(base, name))
            if os.path.isfile(path):
                return path
        return None

    def get(self, key):
        try:
            with open(os.path.join(self.folder, key + ".json")) as entry:
                findings, broken = json.load(entry)
            os.utime(os.path.join(self.folder, key + ".json"))
            return [self.local(text) for text in findings], [self.local(path) for path in broken]
        except (OSError, ValueError):
            return None

    def put(self, key, findings, broken):
        try:
            os.makedirs(self.folder, exist_ok=True)
            temporary = os.path.join(self.folder, "%s.%d.tmp" % (key, os.getpid()))
            with open(temporary, "w") as entry:
                json.dump([[self.neutral(text) for text in findings], [self.neutral(path) for path in broken]], entry)
            os.replace(temporary, os.path.join(self.folder, key + ".json"))
        except OSError:
            pass  # a cache that cannot be written only costs the next run its time

    def prune(self):
        """Keeps the entries used last; the oldest go once there are more than CACHE_ENTRIES_KEPT."""
        try:
            entries = [os.path.join(self.folder, name) for name in os.listdir(self.folder)]
            entries.sort(key=os.path.getmtime, reverse=True)
            for path in entries[CACHE_ENTRIES_KEPT:]:
                os.remove(path)
        except OSError:
            pass


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

    cache = OutcomeCache(source_dir, build_dir, config)
    checked = []

    def check_group(item):
        index, ((directory, flags), files) = item
        key = cache.digest(flags, files)
        known = cache.get(key)
        if known is not None:
            return known
        findings, broken = check("unit%d" % index, directory, flags, files)
        cache.put(key, findings, broken)
        checked.append(index)
        return findings, broken

    findings, broken = set(), []
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        # The biggest groups first, so that no long one starts last.
        ordered = sorted(groups.items(), key=lambda group: -len(group[1]))
        for found, failed in pool.map(check_group, enumerate(ordered)):
            findings.update(found)
            broken += failed
    files = sum(len(paths) for paths in groups.values())
    cache.prune()
    print("naming: %d files in %d units, %d checked now and the others' outcomes known from an earlier run"
          % (files, len(groups), len(checked)))
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
