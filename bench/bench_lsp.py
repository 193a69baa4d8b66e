#!/usr/bin/env python3
"""Formats about 1 MB of SQL through `prax-format --lsp` and reports the
server's time for textDocument/formatting (target: under 0.2 s).

    python3 bench/bench_lsp.py [PATH/TO/prax-format] [SIZE_MB]

The text is whole statements of the SQL corpus (../shared/corpus/sql,
$PRAX_CORPUS_DIR/sql, or the own samples in tests/data/samples/sql), repeated. Server time runs from the moment the request
is written to the moment the answer's header arrives: the server has parsed
the request, formatted the text and serialised the answer by then; the
client's own JSON decoding is left out. The best of five runs is reported,
with the median beside it.
"""
import glob
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin", "prax-format")
SIZE = int(float(sys.argv[2]) * 1024 * 1024) if len(sys.argv) > 2 else 1024 * 1024
# The corpus beside the checkout when it is there, else the own samples.
CORPUS = os.environ.get("PRAX_CORPUS_DIR", os.path.join(ROOT, "..", "shared", "corpus"))
if "PRAX_CORPUS_DIR" not in os.environ and not os.path.isdir(CORPUS):
    CORPUS = os.path.join(ROOT, "tests", "data", "samples")
CORPUS = os.path.join(CORPUS, "sql")


def seed_text():
    parts = []
    for path in sorted(glob.glob(os.path.join(CORPUS, "*.sql"))):
        # Files holding a token beyond the scanner's limit would fail the whole text.
        if subprocess.run([PROGRAM, "--no-profile", path], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0:
            with open(path, encoding="utf-8", errors="replace") as f:
                parts.append(f.read() + "\n")
    if not parts:
        sys.exit(f"no usable SQL files in {CORPUS}")
    seed = "".join(parts)
    return (seed * (SIZE // len(seed.encode()) + 1))[:SIZE].rsplit(";", 1)[0] + ";\n"


def send(proc, message):
    body = json.dumps(message).encode()
    proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    proc.stdin.flush()


def receive(proc):
    """(seconds until the header arrived, message)."""
    length = None
    first = None
    while True:
        line = proc.stdout.readline()
        first = first or time.perf_counter()
        line = line.strip()
        if not line:
            break
        if line.lower().startswith(b"content-length:"):
            length = int(line.split(b":")[1])
    return first, json.loads(proc.stdout.read(length))


def main():
    text = seed_text()
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home)
        proc = subprocess.Popen([PROGRAM, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, env=env)
        send(proc, {"jsonrpc": "2.0", "id": 0, "method": "initialize", "params": {"capabilities": {}}})
        receive(proc)
        uri = "file://" + os.path.join(home, "bench.sql")
        send(proc, {"jsonrpc": "2.0", "method": "textDocument/didOpen",
                    "params": {"textDocument": {"uri": uri, "languageId": "sql", "version": 1, "text": text}}})
        times = []
        edits = []
        for run in range(1, 6):
            send(proc, {"jsonrpc": "2.0", "id": run, "method": "textDocument/formatting",
                        "params": {"textDocument": {"uri": uri}, "options": {"tabSize": 8, "insertSpaces": True}}})
            sent = time.perf_counter()
            while True:
                arrived, message = receive(proc)
                if message.get("id") == run:
                    break
            times.append(arrived - sent)
            edits = message.get("result") or []
        send(proc, {"jsonrpc": "2.0", "id": 99, "method": "shutdown"})
        receive(proc)
        send(proc, {"jsonrpc": "2.0", "method": "exit"})
        proc.stdin.close()
        proc.wait()
    out = len(edits[0]["newText"].encode()) if edits else 0
    print(f"input: {len(text.encode()) / 1e6:.2f} MB, formatted: {out / 1e6:.2f} MB")
    print(f"server time: best {min(times):.3f} s, median {statistics.median(times):.3f} s (target < 0.2 s)")


if __name__ == "__main__":
    main()
