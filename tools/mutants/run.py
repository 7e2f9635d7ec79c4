#!/usr/bin/env python3
"""The mutation check: one-line rule changes from tools/mutants/mutants.txt, each applied on its own
to a scratch copy of the repository, rebuilt there and run against the tests until the first one
fails. Prints the share caught and the survivors.

The scratch copy is build-mutants/tree (the sources) with its build folder inside, at build, laid
out as the repository's own build, so ccache (without the folder in its hash) serves both; it is
kept between runs, brought up to date with the working tree and rebuilt incrementally.

For each change, cheapest first, stopping at the first failure:
  1. the tests the entry names (its `tests:` line), if any;
  2. every test in pumko_tests, in two shards side by side;
  3. everything else ctest runs (the whole build: command line, soak, screens, Xvfb tests).

  tools/mutants/run.py                 every change (equivalent ones are skipped)
  tools/mutants/run.py --only 3,7-9    those entries (numbers as --list prints them)
  tools/mutants/run.py --filter hero   entries whose file or note contains the text
  tools/mutants/run.py --list          the entries, with stale ones marked, nothing run
  tools/mutants/run.py --resume        keeps the results of an earlier run for unchanged entries
                                       (with --only, those entries run again)
  tools/mutants/run.py --prepare       brings the scratch tree up to date and builds it
  tools/mutants/run.py --summary       prints the summary of the kept results
"""
import argparse
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
LIST = ROOT / "tools" / "mutants" / "mutants.txt"
SCRATCH = ROOT / "build-mutants"
TREE = SCRATCH / "tree"
BUILD = TREE / "build"
RESULTS = SCRATCH / "results.json"
LOG = SCRATCH / "log.txt"
LAST_OUTPUT = [""]  # what the last failing test run printed, kept in build-mutants/out/
STAGE_TIMEOUT = 900  # seconds; a change that hangs the tests counts as caught


class Entry:
    def __init__(self, number, line):
        self.number = number
        self.line = line
        self.fields = {}

    def __getattr__(self, name):
        if name in ("file", "find", "with_", "note", "tests", "equivalent"):
            return self.fields.get(name.rstrip("_"), "")
        raise AttributeError(name)

    def key(self):
        text = "\0".join([self.file, self.find, self.with_])
        return hashlib.sha1(text.encode()).hexdigest()[:12]


def parse_list(path):
    """Entries are blocks of `name: value` lines separated by blank lines; # starts a comment."""
    entries, current = [], None
    for n, raw in enumerate(path.read_text().splitlines(), 1):
        if raw.startswith("#"):
            continue
        if not raw.strip():
            current = None
            continue
        m = re.match(r"^(file|find|with|note|tests|equivalent): (.*)$", raw)
        if not m:
            sys.exit(f"{path}:{n}: expected 'file:', 'find:', 'with:', 'note:', 'tests:' or 'equivalent:'")
        if current is None:
            current = Entry(len(entries) + 1, n)
            entries.append(current)
        if m.group(1) in current.fields:
            sys.exit(f"{path}:{n}: '{m.group(1)}' given twice in one entry")
        current.fields[m.group(1)] = m.group(2)
    for e in entries:
        for need in ("file", "find", "with", "note"):
            if need not in e.fields:
                sys.exit(f"{path}:{e.line}: entry {e.number} has no '{need}:'")
        if e.find == e.with_:
            sys.exit(f"{path}:{e.line}: entry {e.number} changes nothing")
    return entries


def select(entries, only, text):
    chosen = set()
    if only:
        for part in only.split(","):
            a, _, b = part.partition("-")
            chosen.update(range(int(a), int(b or a) + 1))
    out = []
    for e in entries:
        if only and e.number not in chosen:
            continue
        if text and text.lower() not in (e.file + " " + e.note).lower():
            continue
        out.append(e)
    return out


def stale_reason(e):
    path = ROOT / e.file
    if not path.is_file():
        return "no such file"
    count = path.read_text().count(e.find)
    return None if count == 1 else f"the text occurs {count} times"


def log(msg):
    print(msg, flush=True)
    with LOG.open("a") as f:
        f.write(msg + "\n")


def sync_tree():
    """Copies the working tree's files (tracked and new, not ignored) into the scratch tree, only
    those whose text differs, so that make rebuilds only what changed."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT, check=True,
                           capture_output=True).stdout.decode().split("\0")
    copied = 0
    for name in filter(None, files):
        src, dst = ROOT / name, TREE / name
        if not src.is_file():
            continue
        if dst.is_file() and dst.stat().st_size == src.stat().st_size and dst.read_bytes() == src.read_bytes():
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        # A fresh time, so make rebuilds whatever was built from the file's earlier text (a change
        # left behind by an interrupted run included).
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)
        copied += 1
    return copied


def env():
    e = dict(os.environ)
    e.setdefault("CCACHE_BASEDIR", str(ROOT))
    e["CCACHE_NOHASHDIR"] = "1"
    return e


def run(cmd, cwd, timeout=STAGE_TIMEOUT, quiet=True):
    """Runs cmd under nice; returns (returncode, output). A timeout returns code -9."""
    p = subprocess.Popen(["nice", "-n", "10"] + cmd, cwd=cwd, env=env(), stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out.decode(errors="replace")
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        return -9, "timed out"


def configure():
    if (BUILD / "CMakeCache.txt").exists():
        return
    BUILD.mkdir(parents=True, exist_ok=True)
    rc, out = run(["cmake", "-S", str(TREE), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                   "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"], TREE)
    if rc != 0:
        sys.exit("cmake failed in the scratch tree:\n" + out[-3000:])


def build(target=None):
    cmd = ["cmake", "--build", str(BUILD), "-j2"]
    if target:
        cmd += ["--target", target]
    return run(cmd, TREE, timeout=3600)


def fast_targets(file):
    """The make targets that rebuild pumko_tests after a change to one source file, without the
    targets it merely depends on (tools, data, layer checks): the object library that compiles the
    file, the static libraries made of it, then pumko_tests. None when that cannot be told."""
    obj = "/" + file + ".o"
    compiling, archives = [], []
    for bm in sorted(BUILD.glob("CMakeFiles/*.dir/build.make")):
        text = bm.read_text(errors="replace")
        if obj not in text:
            continue
        name = bm.parent.name[: -len(".dir")]
        if re.search(r"^CMakeFiles/" + re.escape(name) + r"\.dir" + re.escape(obj) + r": ", text, re.M):
            compiling.append(name)
        elif re.search(r"^lib" + re.escape(name) + r"\.a: ", text, re.M):
            archives.append(name)
    if len(compiling) != 1 or not archives:
        return None
    return [t + "/fast" for t in compiling + archives] + ["pumko_tests/fast"]


def build_tests(file):
    targets = fast_targets(file)
    if targets is None:
        return build("pumko_tests")
    for t in targets:
        rc, out = run(["make", "-s", t], BUILD, timeout=3600)
        if rc != 0:
            return rc, out
    return 0, ""


def gtest(filter_=None, shards=2):
    """pumko_tests, stopping at the first failure; with shards > 1 they run side by side and the
    first failing shard stops the others. Returns (passed, what failed)."""
    exe = BUILD / "tests" / "pumko_tests"
    if not exe.is_file():
        sys.exit(f"{exe} is missing: the scratch build is broken")
    exe = str(exe)
    procs = []
    for i in range(shards):
        e = env()
        if shards > 1:
            e["GTEST_TOTAL_SHARDS"], e["GTEST_SHARD_INDEX"] = str(shards), str(i)
        cmd = ["nice", "-n", "10", exe, "--gtest_fail_fast", "--gtest_brief=1"]
        if filter_:
            cmd.append("--gtest_filter=" + filter_)
        procs.append(subprocess.Popen(cmd, cwd=BUILD, env=e, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                      start_new_session=True))
    start, failed = time.time(), None
    outputs = [b""] * shards
    while any(p.poll() is None for p in procs) and failed is None:
        for i, p in enumerate(procs):
            if p.poll() is not None and p.returncode != 0 and failed is None:
                failed = i
        if time.time() - start > STAGE_TIMEOUT:
            failed = -1
            break
        time.sleep(0.2)
    for i, p in enumerate(procs):
        if p.poll() is None:
            os.killpg(p.pid, signal.SIGKILL)
        outputs[i] = p.communicate()[0]
        if failed is None and p.returncode != 0:
            failed = i
    if failed is None:
        return True, ""
    if failed == -1:
        return False, "timed out"
    text = outputs[failed].decode(errors="replace")
    LAST_OUTPUT[0] = text
    if procs[failed].returncode == 127:
        sys.exit("pumko_tests could not be run: " + text.strip()[-300:])
    names = re.findall(r"^\[  FAILED  \] (\S+)", text, re.M)
    if names:
        return False, names[0]
    return False, "pumko_tests exit %d: %s" % (procs[failed].returncode, text.strip().splitlines()[-1:] or "")


def other_tests():
    """The ctest tests that are not pumko_tests' own (their names hold no dot, or the checked. ones)."""
    rc, out = run(["ctest", "-N"], BUILD)
    numbers = []
    for m in re.finditer(r"Test +#(\d+): (\S+)", out):
        if "." not in m.group(2) or m.group(2).startswith("checked."):
            numbers.append(m.group(1))
    return numbers


def ctest(select_args):
    rc, out = run(["ctest", "--stop-on-failure", "-j2", "--output-on-failure", "--timeout", str(STAGE_TIMEOUT)] +
                  select_args, BUILD, timeout=STAGE_TIMEOUT * 2)
    if rc == 0:
        return True, ""
    LAST_OUTPUT[0] = out
    failed = re.findall(r"\d+ - (\S+) \(", out)
    return False, (failed[0] if failed else "ctest exit %d" % rc)


def test_all(entry, others):
    """Runs the stages; returns (caught, by what)."""
    hint = entry.tests if entry else ""
    if hint.startswith("ctest:"):
        rc, out = build()
        if rc != 0:
            return None, "does not build: " + first_error(out)
        ok, what = ctest(["-R", hint[len("ctest:"):]])
        if not ok:
            return True, what
        hint = ""
    rc, out = build_tests(entry.file) if entry else build("pumko_tests")
    if rc != 0:
        return None, "does not build: " + first_error(out)
    if hint:
        ok, what = gtest(hint, shards=1)
        if not ok:
            return True, what
    ok, what = gtest(("-" + hint) if hint else None)
    if not ok:
        return True, what
    rc, out = build()
    if rc != 0:
        return None, "does not build: " + first_error(out)
    if others:
        ok, what = ctest(["-I", "0,0,0," + ",".join(others)])
        if not ok:
            return True, what
    return False, ""


def first_error(out):
    for line in out.splitlines():
        if "error" in line:
            return line.strip()[:200]
    return out.strip().splitlines()[-1][:200] if out.strip() else "?"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--only", help="entry numbers: 3,7-9")
    ap.add_argument("--filter", help="entries whose file or note contains this text")
    ap.add_argument("--list", action="store_true", help="list the entries and stop")
    ap.add_argument("--resume", action="store_true", help="keep earlier results of unchanged entries")
    ap.add_argument("--equivalent", action="store_true", help="run the entries marked equivalent too")
    ap.add_argument("--no-baseline", action="store_true", help="skip the run of the unchanged tree")
    ap.add_argument("--summary", action="store_true", help="print the summary of the kept results, run nothing")
    ap.add_argument("--prepare", action="store_true", help="bring the scratch tree up to date and build it, nothing more")
    args = ap.parse_args()
    # Stopped from outside, it still puts the changed file back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))

    entries = parse_list(LIST)
    chosen = select(entries, args.only, args.filter)
    stale = {e.number: stale_reason(e) for e in entries}
    if args.list:
        for e in chosen:
            mark = "stale (%s)" % stale[e.number] if stale[e.number] else ("equivalent" if e.equivalent else "")
            print(f"{e.number:3d} {e.file}: {e.note} {mark}".rstrip())
        print(f"{len(entries)} entries, {sum(1 for s in stale.values() if s)} stale")
        return 0

    SCRATCH.mkdir(exist_ok=True)
    results = {}
    if (args.resume or args.summary) and RESULTS.exists():
        results = json.loads(RESULTS.read_text())
    if args.summary:
        return summary(entries, stale, results)
    LOG.write_text("")
    shutil.rmtree(SCRATCH / "out", ignore_errors=True)
    log(f"scratch tree {TREE}: {sync_tree()} files brought up to date")
    configure()
    rc, out = build()
    if rc != 0:
        sys.exit("the unchanged scratch tree does not build:\n" + out[-3000:])
    if args.prepare:
        log("scratch build up to date")
        return 0
    others = other_tests()
    if not args.no_baseline:
        t = time.time()
        caught, what = test_all(None, others)
        if caught is not False:
            sys.exit(f"the tests fail on the unchanged tree ({what}): fix that first")
        log(f"baseline: every test passes ({time.time() - t:.0f} s)")

    for e in chosen:
        if stale[e.number]:
            log(f"#{e.number} STALE {e.file}: {stale[e.number]} ({e.note})")
            continue
        if e.equivalent and not args.equivalent:
            continue
        if args.resume and not args.only and e.key() in results:
            continue  # kept from an earlier run (entries named with --only run again)
        path = TREE / e.file
        original = path.read_text()
        if original.count(e.find) != 1:
            log(f"#{e.number} STALE in the scratch tree: {e.file}")
            continue
        t = time.time()
        try:
            path.write_text(original.replace(e.find, e.with_))
            caught, what = test_all(e, others)
        finally:
            path.write_text(original)
            # The object and library back as they were (a ccache hit), since the next change's
            # quick rebuild looks only at its own file's targets.
            for target in (fast_targets(e.file) or [])[:-1]:
                run(["make", "-s", target], BUILD, timeout=3600)
        status = {True: "caught", False: "SURVIVED", None: "BROKEN"}[caught]
        if caught:
            (SCRATCH / "out").mkdir(exist_ok=True)
            (SCRATCH / "out" / f"{e.number}.txt").write_text(LAST_OUTPUT[0])
        results[e.key()] = {"number": e.number, "status": status, "by": what, "seconds": round(time.time() - t)}
        RESULTS.write_text(json.dumps(results, indent=1))
        log(f"#{e.number} {status} {e.file}: {e.note}" + (f" [{what}]" if what else "") +
            f" ({time.time() - t:.0f} s)")
    # Put the reverted files' objects back, so the scratch build matches the tree again.
    build()
    return summary(entries, stale, results)


def summary(entries, stale, results):
    """The share caught over every entry of the list that has a result and is not marked
    equivalent, the survivors, the equivalent entries with their reasons and the stale ones."""
    by_key = {e.key(): e for e in entries if not e.equivalent}
    done = [(by_key[k], r) for k, r in results.items() if k in by_key]
    caught = [e for e, r in done if r["status"] == "caught"]
    survived = [(e, r) for e, r in done if r["status"] == "SURVIVED"]
    broken = [e for e, r in done if r["status"] == "BROKEN"]
    counted = len(caught) + len(survived)
    equivalent = [e for e in entries if e.equivalent and not stale[e.number]]
    print()
    if counted:
        print(f"caught {len(caught)} of {counted} ({100.0 * len(caught) / counted:.1f}%)")
    for e, r in sorted(survived, key=lambda x: x[0].number):
        print(f"  survivor #{e.number} {e.file}: {e.note}")
    for e in broken:
        print(f"  #{e.number} does not build: {e.file}: {e.note}")
    if equivalent:
        print(f"{len(equivalent)} marked equivalent, not run:")
        for e in equivalent:
            print(f"  #{e.number} {e.file}: {e.note}: {e.equivalent}")
    stale_n = [n for n, s in stale.items() if s]
    if stale_n:
        print(f"stale entries (fix the list): {', '.join('#%d' % n for n in stale_n)}")
    return 1 if survived or stale_n else 0


if __name__ == "__main__":
    sys.exit(main())
