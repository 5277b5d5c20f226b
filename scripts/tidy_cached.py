#!/usr/bin/env python3
"""clang-tidy over the given sources, skipping those already found clean.

A source is skipped when its preprocessed text (every header it includes, without line
markers, so the same file in another checkout matches) and the .clang-tidy checks are the same
as in an earlier clean run. Only clean results are remembered, so a finding is reported every
time. The cache lives outside the tree ($TICKVANE_TIDY_CACHE, default
~/.cache/tickvane-tidy); a fresh machine, as CI is, tidies everything.

usage: tidy_cached.py BUILD_DIR LOG_FILE SOURCE...
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


def main():
    build, log, sources = sys.argv[1], sys.argv[2], sys.argv[3:]
    root = os.getcwd()
    cache = os.environ.get("TICKVANE_TIDY_CACHE",
                           os.path.join(os.path.expanduser("~"), ".cache", "tickvane-tidy"))
    os.makedirs(cache, exist_ok=True)
    with open(os.path.join(root, ".clang-tidy"), "rb") as f:
        checks = f.read()
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
            run = subprocess.run(["clang-tidy", "-p", build, "--quiet", src],
                                 capture_output=True, text=True)
            return src, run
        for src, run in pool.map(tidy, todo):
            out.write(run.stdout)
            if run.returncode != 0:
                failed.append(src)
                out.write(run.stderr)
            elif keys[src]:
                open(os.path.join(cache, keys[src]), "w").close()
    print(f"lint: clang-tidy ran on {len(todo)} of {len(sources)} sources "
          f"(the rest unchanged since a clean run)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
