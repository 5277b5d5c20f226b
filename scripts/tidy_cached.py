#!/usr/bin/env python3
"""clang-tidy (or clazy) over the given sources, skipping those already found clean.

A source is skipped when its preprocessed text (every header it includes, without line
markers, so the same file in another checkout matches), the .clang-tidy checks and the
clang-tidy version are the same as in an earlier clean run. Only clean results are remembered, so a finding is reported every
time. The cache lives outside the tree ($TICKVANE_TIDY_CACHE, default
~/.cache/tickvane-tidy); a fresh machine, as CI is, tidies everything.

With --clazy the checker is clazy-standalone with the checks of $TICKVANE_CLAZY_CHECKS
(default level0,level1); any warning it prints counts as a finding, since clazy itself exits 0.

usage: tidy_cached.py [--clazy] BUILD_DIR LOG_FILE SOURCE...
"""
import concurrent.futures
import hashlib
import json
import os
import shlex
import subprocess
import sys


def preprocess_command(entry):
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    if os.path.basename(args[0]) == "ccache":
        args = args[1:]
    out, skip = [], False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg == "-o":
            skip = True
            continue
        if arg == "-c":
            continue
        out.append(arg)
    return out + ["-E", "-P", "-o", "-"]


def key_of(entry, checks):
    text = subprocess.run(preprocess_command(entry), cwd=entry["directory"],
                          capture_output=True, check=True).stdout
    return hashlib.sha256(checks + b"\0" + text).hexdigest()


def checker(build, clazy):
    """The command to run on a source, and the text that stands for its checks in the key."""
    if clazy:
        checks = os.environ.get("TICKVANE_CLAZY_CHECKS", "level0,level1")
        command = ["clazy-standalone", "-p", build, "--checks=" + checks,
                   "--ignore-dirs=" + os.path.abspath(build)]
        version = subprocess.run(["clazy-standalone", "--version"], capture_output=True).stdout
        return command, ("clazy " + checks).encode() + b"\0" + version
    with open(".clang-tidy", "rb") as f:
        checks = f.read()
    # A newer clang-tidy may find what an older one passed: its version is part of the key.
    checks += subprocess.run(["clang-tidy", "--version"], capture_output=True, check=True).stdout
    return ["clang-tidy", "-p", build, "--quiet"], checks


def main():
    args = sys.argv[1:]
    clazy = bool(args) and args[0] == "--clazy"
    if clazy:
        args = args[1:]
    build, log, sources = args[0], args[1], args[2:]
    cache = os.environ.get("TICKVANE_TIDY_CACHE",
                           os.path.join(os.path.expanduser("~"), ".cache", "tickvane-tidy"))
    os.makedirs(cache, exist_ok=True)
    command, checks = checker(build, clazy)
    with open(os.path.join(build, "compile_commands.json")) as f:
        entries = {os.path.realpath(e["file"]): e for e in json.load(f)}

    jobs = os.cpu_count() or 1
    todo, keys = [], {}
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        def classify(src):
            entry = entries.get(os.path.realpath(src))
            if entry is None:
                return src, None
            try:
                return src, key_of(entry, checks)
            except subprocess.CalledProcessError:
                return src, None
        for src, key in pool.map(classify, sources):
            if key and os.path.exists(os.path.join(cache, key)):
                continue
            todo.append(src)
            keys[src] = key

    failed = []
    with open(log, "w") as out, concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        def tidy(src):
            run = subprocess.run(command + [src], capture_output=True, text=True)
            return src, run
        for src, run in pool.map(tidy, todo):
            out.write(run.stdout)
            if clazy:
                out.write(run.stderr)
            if run.returncode != 0 or (clazy and "warning:" in run.stderr):
                failed.append(src)
                out.write(run.stderr)
            elif keys[src]:
                open(os.path.join(cache, keys[src]), "w").close()
    print(f"lint: {'clazy' if clazy else 'clang-tidy'} ran on {len(todo)} of {len(sources)} sources "
          f"(the rest unchanged since a clean run)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
