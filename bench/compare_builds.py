#!/usr/bin/env python3
"""Differential check of two prax-format builds: same output bytes, same exit
status, same messages on standard error, for every input.

    python3 bench/compare_builds.py OLD_PROGRAM NEW_PROGRAM [--random N] [--seed S]

Inputs: the own samples and fuzz regressions, the shared corpus when it is
there (PRAX_CORPUS_DIR, default ../shared/corpus), random texts made of SQL,
host-language and odd bytes, and look-ahead limit cases: long white-space
runs, comments, literals and keyword phrases of 16,380 to 16,390 bytes placed
at offsets around the scanner's reads, in each mode (detection, pure SQL,
embedded SQL). A speed-up is kept only when this prints no difference.
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPTION_SETS = [
    [],
    ["--option", "keyword_case=2", "--option", "alignment=1", "--option", "wrap_length=30"],
    ["--option", "newline_after_select=1", "--option", "multi_item=0", "--option", "alignment=2"],
]


def files_under(*dirs):
    for d in dirs:
        for base, _, names in sorted(os.walk(d)):
            for name in sorted(names):
                if not name.endswith(".md"):
                    yield os.path.join(base, name)


def random_text(rng):
    words = ["SELECT", "select", "FROM", "WHERE", "INSERT INTO", "UPDATE", "CREATE TABLE", "EXEC SQL",
             "exec\n sql", "EXEC SQL BEGIN DECLARE SECTION", "END-EXEC", "AND", "OR", "AS", "ORDER BY",
             "GROUP BY", "UNION", "a", "b1", "t.c", "p->q", ":h", "x y,", "FROM t1 x,", "1.5e+10", ".5",
             "'it\\'s'", "'a''b'", '"q"', "'open", "/* c */", "/* a **/ b */", "/*", "*/", "--", "-- line\n",
             "(", ")", "(SELECT", "(+)", ",", ";", "||", "<>", "!=", "[", "}", "#", "\\", "\v", "\x00",
             "\xc3\xa9", "\xe4", "\r\n", "\n", "\t", " ", "  ", "{", "int main() {", "printf(\"%d\");",
             "/* EXEC SQL */", "\"EXEC SQL\"", "`", "@", "$x", "_y"]
    n = rng.randint(0, 60)
    parts = []
    for _ in range(n):
        w = rng.choice(words)
        if rng.random() < 0.05:
            w = w * rng.randint(2, 40)
        parts.append(w)
        parts.append(rng.choice(["", " ", " ", "\n", "\t"]))
    return "".join(parts).encode("latin-1")


def limit_cases():
    """Long attempts near the scanner's 16,384-byte buffer, at several offsets."""
    kinds = {
        "blanks": lambda n: b" " * n,
        "newlines": lambda n: b"\n" * n,
        "open-comment": lambda n: b"/*" + b"x" * (n - 2),
        "comment": lambda n: b"/*" + b"x" * (n - 4) + b"*/",
        "open-literal": lambda n: b"'" + b"x" * (n - 1),
        "literal": lambda n: b"'" + b"x" * (n - 2) + b"'",
        "open-dq-literal": lambda n: b'"' + b"x" * (n - 1),
        "name-blanks": lambda n: b"abc" + b" " * (n - 4) + b"d",
        "from-blanks": lambda n: b"FROM" + b" " * (n - 5) + b"x",
        "select-blanks-paren": lambda n: b"SELECT" + b" " * (n - 7) + b"(",
        "exec-blanks-sql": lambda n: b"EXEC" + b" " * (n - 7) + b"SQL",
        "insert-blanks-into": lambda n: b"INSERT" + b" " * (n - 10) + b"INTO",
        "paren-blanks-select": lambda n: b"(" + b" " * (n - 7) + b"SELECT",
        "host-variable": lambda n: b":" + b" " * (n - 2) + b"h",
        "long-name": lambda n: b"n" * n,
    }
    prefixes = {
        "detect": b"",
        "pure": b"SELECT a FROM t;\n",
        "embedded": b"int x;\nEXEC SQL SELECT a FROM t;\n",
        "embedded-in-sql": b"int x;\nEXEC SQL SELECT a FROM ",
    }
    suffix = b"\nSELECT b FROM u;\n"
    for pname, prefix in prefixes.items():
        for kname, make in kinds.items():
            for length in (16380, 16381, 16382, 16383, 16384, 16385, 16390):
                for offset in (0, 1, 8191, 8192, 16384, 30000):
                    pad = max(0, offset - len(prefix))
                    filler = (b"x = 1;\n" * (pad // 7 + 1))[:pad] if pname != "detect" else b"." * pad
                    body = prefix + filler + make(length)
                    yield f"limit-{pname}-{kname}-{length}-{offset}", body
                    if offset in (0, 8192):
                        yield f"limit-{pname}-{kname}-{length}-{offset}-tail", body + suffix


def run(program, path, options):
    with tempfile.NamedTemporaryFile(delete=False) as out:
        out_path = out.name
    try:
        proc = subprocess.run([program, "--no-profile", *options, path, "-o", out_path],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        with open(out_path, "rb") as f:
            output = f.read()
    finally:
        os.unlink(out_path)
    return proc.returncode, proc.stderr.replace(program.encode(), b"PROGRAM"), output


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--random", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=19)
    ap.add_argument("--no-limits", action="store_true")
    args = ap.parse_args()

    corpus = os.environ.get("PRAX_CORPUS_DIR", os.path.join(ROOT, "..", "shared", "corpus"))
    dirs = [os.path.join(ROOT, "tests", "data", "samples"), os.path.join(ROOT, "tests", "fuzz", "regressions")]
    if os.path.isdir(corpus):
        dirs.append(corpus)
    cases = []  # (name, path or bytes, option sets)
    for path in files_under(*dirs):
        cases.append((os.path.relpath(path, ROOT), path, OPTION_SETS))
    rng = random.Random(args.seed)
    for i in range(args.random):
        cases.append((f"random-{i}", random_text(rng), OPTION_SETS[:1] if i % 4 else OPTION_SETS))
    if not args.no_limits:
        for name, body in limit_cases():
            cases.append((name, body, OPTION_SETS[:1]))

    differences = 0
    runs = 0
    statuses = {}
    with tempfile.TemporaryDirectory() as work:
        for name, source, option_sets in cases:
            path = source
            if isinstance(source, bytes):
                path = os.path.join(work, "input")
                with open(path, "wb") as f:
                    f.write(source)
            for options in option_sets:
                runs += 1
                old = run(args.old, path, options)
                new = run(args.new, path, options)
                statuses[old[0]] = statuses.get(old[0], 0) + 1
                if old != new:
                    differences += 1
                    what = [k for k, a, b in zip(("status", "messages", "output"), old, new) if a != b]
                    print(f"DIFFERENT {name} {' '.join(options)}: {', '.join(what)}")
                    if old[0] != new[0] or old[1] != new[1]:
                        print(f"  old: {old[0]} {old[1][:200]!r}\n  new: {new[0]} {new[1][:200]!r}")
    print(f"{runs} runs, {differences} different; exit statuses of the old build: "
          + ", ".join(f"{k}: {v}" for k, v in sorted(statuses.items())))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
