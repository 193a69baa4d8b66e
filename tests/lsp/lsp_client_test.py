#!/usr/bin/env python3
"""A scripted client for `prax-format --lsp`: drives the server through pipes
the way an editor does and checks every answer.

    python3 lsp_client_test.py PATH/TO/prax-format

Whole-text formatting is checked against `prax-format --profile` on the same
text, so the server must format exactly as the command line does; range
formatting is checked against the layout the editor gives a selection.
"""
import json
import os
import signal
import subprocess
import sys
import tempfile

PROGRAM = sys.argv[1]
FAILURES = []

# The project profile every document below finds: all ten keys, so that no
# per-user profile or built-in default decides anything.
PROFILE = """[Formatting Options]
Alignment=0
Key Word Case=0
And/OR position=0
Multi Item=1
New Line On Select=0
New Line After Select=0
Match Parenthesis=1
Interval=5
Starting indentation=0
Wrap length=80
"""


class Client:
    def __init__(self, work, utf8=False, initialize=True):
        env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "xdg"))
        self.proc = subprocess.Popen([PROGRAM, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, env=env)
        self.next_id = 0
        self.notifications = []
        if initialize:
            caps = {"general": {"positionEncodings": ["utf-8", "utf-16"]}} if utf8 else {}
            self.init_result = self.request("initialize", {"processId": None, "rootUri": None,
                                                           "capabilities": caps})["result"]
            self.notify("initialized", {})

    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def receive(self):
        length = None
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise EOFError("server closed its output")
            line = line.rstrip(b"\r\n")
            if not line:
                break
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value)
        return json.loads(self.proc.stdout.read(length))

    def answer(self, message_id):
        """The answer to `message_id`; notifications on the way are kept."""
        while True:
            message = self.receive()
            if "method" in message and "id" not in message:
                self.notifications.append(message)
            elif message.get("id") == message_id:
                return message

    def request(self, method, params):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        return self.answer(self.next_id)

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})

    def open(self, uri, text, version=1):
        self.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "sql",
                                                              "version": version, "text": text}})

    def change(self, uri, text, version=2):
        self.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": version},
                                               "contentChanges": [{"text": text}]})

    def format(self, uri):
        return self.request("textDocument/formatting", {"textDocument": {"uri": uri},
                                                        "options": {"tabSize": 8, "insertSpaces": True}})

    def format_range(self, uri, start, end):
        rng = {"start": {"line": start[0], "character": start[1]}, "end": {"line": end[0], "character": end[1]}}
        return self.request("textDocument/rangeFormatting", {"textDocument": {"uri": uri}, "range": rng,
                                                             "options": {"tabSize": 8, "insertSpaces": True}})

    def finish(self, shutdown=True):
        if shutdown:
            check("shutdown answers null", self.request("shutdown", None).get("result", "missing"), None)
        self.notify("exit", None)
        self.proc.stdin.close()
        return self.proc.wait(timeout=30)


def check(what, got, expected):
    if got != expected:
        FAILURES.append(what)
        print(f"FAIL {what}\n  got:      {got!r}\n  expected: {expected!r}")


def check_error(what, message, code):
    check(what, message.get("error", {}).get("code"), code)


def rng(start, end):
    return {"start": {"line": start[0], "character": start[1]}, "end": {"line": end[0], "character": end[1]}}


def cli_format(work, text):
    """prax-format's output for `text` with the project profile."""
    return subprocess.run([PROGRAM, "--profile", os.path.join(work, ".prax.ini")], input=text.encode(),
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout.decode()


def apply(text, edits):
    """The text after one whole-text edit (the server sends at most one)."""
    return edits[0]["newText"] if edits else text


def uri(work, name):
    return "file://" + os.path.join(work, name).replace(" ", "%20")


def test_initialize(work):
    client = Client(work)
    caps = client.init_result["capabilities"]
    check("default position encoding", caps.get("positionEncoding"), "utf-16")
    check("full text sync", caps.get("textDocumentSync"), {"openClose": True, "change": 1})
    check("formatting offered", (caps.get("documentFormattingProvider"), caps.get("documentRangeFormattingProvider")),
          (True, True))
    check("exit status after shutdown", client.finish(), 0)
    client = Client(work, utf8=True)
    check("utf-8 taken when offered", client.init_result["capabilities"].get("positionEncoding"), "utf-8")
    check("exit status without shutdown", client.finish(shutdown=False), 1)


def test_formatting(work):
    client = Client(work)
    doc = uri(work, "my queries/q.sql")
    text = "select a,b from t where x=1 and y=2;\nselect c from u;\n"
    client.open(doc, text)
    edits = client.format(doc)["result"]
    check("formatting: one edit over the whole text", [e["range"] for e in edits], [rng((0, 0), (2, 0))])
    check("formatting: the command line's text", apply(text, edits), cli_format(work, text))

    # A change, then formatting: the new text is formatted, and formatting
    # the formatted text again changes nothing.
    changed = "select z from w where q=1 or r=2;\n"
    client.change(doc, changed)
    edits = client.format(doc)["result"]
    check("change then formatting", apply(changed, edits), cli_format(work, changed))
    client.change(doc, apply(changed, edits), version=3)
    check("formatted text is left alone", client.format(doc)["result"], [])

    for name, content in [("notes.txt", "just some words, nothing to format\n"),
                          ("main.c", "int main() { return 0; } /* select a from t */\n")]:
        client.open(uri(work, name), content)
        check("no SQL: no edits for " + name, client.format(uri(work, name))["result"], [])

    # The profile is read again when it changes on disk.
    with open(os.path.join(work, ".prax.ini"), "w") as f:
        f.write(PROFILE.replace("Key Word Case=0", "Key Word Case=2"))
    edits = client.format(doc)["result"]
    check("changed profile used", apply(changed, edits), cli_format(work, changed))
    check("changed profile: lower case keywords", apply(changed, edits).startswith("select"), True)
    with open(os.path.join(work, ".prax.ini"), "w") as f:
        f.write(PROFILE)
    client.finish()


def test_range(work):
    # "é" (1 UTF-16 unit, 2 bytes) stands before the selection, inside it and
    # after it. The selection's column is counted in bytes, as the editor and
    # the engine count columns: 11.
    line = "-- é\nx := 'é'; select a, b from t where c = 'é' and d = 2; -- é\n"
    doc = uri(work, "range.sql")
    statement = "select a, b from t where c = 'é' and d = 2;"
    # The first line laid out as if it stood at column 11, the later lines
    # indented from there; the text around the selection stays as it was.
    expected = ("SELECT     a, b \n"
                "           FROM       t \n"
                "           WHERE      c = 'é' \n"
                "                      AND d = 2; \n \n")
    for utf8, start in ((False, 10), (True, 11)):
        client = Client(work, utf8=utf8)
        client.open(doc, line)
        end = start + len(statement.encode() if utf8 else statement)
        edits = client.format_range(doc, (1, start), (1, end))["result"]
        check(f"range (utf8={utf8}): edit over the selection only", [e["range"] for e in edits],
              [rng((1, start), (1, end))])
        check(f"range (utf8={utf8}): laid out at the selection's column", [e["newText"] for e in edits], [expected])
        check(f"range (utf8={utf8}): empty selection", client.format_range(doc, (1, start), (1, start))["result"], [])
        client.finish()

    # A selection inside the EXEC SQL of host source is SQL, though the
    # whole file is formatted only where it says EXEC SQL.
    client = Client(work)
    host = uri(work, "prog.pc")
    client.open(host, "int f() {\n    EXEC SQL select a from t;\n}\n")
    edits = client.format_range(host, (1, 13), (1, 29))["result"]
    check("range inside EXEC SQL of host source", [e["newText"].split()[:2] for e in edits], [["SELECT", "a"]])
    client.finish()


def test_crlf_nul_unicode(work):
    client = Client(work)
    doc = uri(work, "crlf.sql")
    text = "select a,b from t where s='\0é😀' and x=1;\r\nselect c from u;\r\n"
    client.open(doc, text)
    edits = client.format(doc)["result"]
    check("CR LF text: edit ends at the text's end", [e["range"]["end"] for e in edits],
          [{"line": 2, "character": 0}])
    formatted = apply(text, edits)
    check("CR LF kept on every line", formatted.count("\n"), formatted.count("\r\n"))
    check("CR LF: same text as with LF", formatted.replace("\r\n", "\n"), cli_format(work, text.replace("\r\n", "\n")))
    check("NUL and non-ASCII survive", "'\0é😀'" in formatted, True)
    client.change(doc, formatted)
    check("CR LF: formatting again changes nothing", client.format(doc)["result"], [])
    client.finish()


def test_scanner_limit(work):
    client = Client(work)
    doc = uri(work, "long.sql")
    text = "select '" + "x" * 20000 + "' from t;\n"
    client.open(doc, text)
    answer = client.format(doc)
    check_error("token beyond the limit: request failed", answer, -32803)
    shown = [n for n in client.notifications if n["method"] == "window/showMessage"]
    check("token beyond the limit: one error shown", [n["params"]["type"] for n in shown], [1])
    check("token beyond the limit: message names the limit", "limit" in answer.get("error", {}).get("message", ""), True)
    # The server keeps serving, with the text as it was.
    check_error("token beyond the limit: still failing", client.format(doc), -32803)
    client.change(doc, "select a from t;\n")
    check("after a failure: formatting works", len(client.format(doc)["result"]), 1)
    client.finish()


def test_malformed(work):
    client = Client(work)
    client.open(uri(work, "after.sql"), "select a from t;\n")
    body = b"{not json"
    client.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    check_error("malformed JSON", client.answer(None), -32700)
    client.send_raw(b"Content-Length: many\r\n\r\n")
    check_error("bad header", client.answer(None), -32600)
    check_error("unknown method", client.request("textDocument/hover", {}), -32601)
    check_error("params without a document", client.request("textDocument/formatting", {"options": {}}), -32602)
    check_error("document not open", client.format(uri(work, "never-opened.sql")), -32602)
    check_error("range with a bad position", client.request("textDocument/rangeFormatting", {
        "textDocument": {"uri": uri(work, "after.sql")}, "range": {"start": {"line": "one"}}}), -32602)
    client.notify("textDocument/didChange", {"textDocument": {"uri": "file:///nowhere.sql"}, "contentChanges": []})
    check("serving after malformed input", len(client.format(uri(work, "after.sql"))["result"]), 1)
    check("exit status after shutdown", client.finish(), 0)


def main():
    signal.alarm(120)  # a server that stops answering fails the test instead of hanging it
    with tempfile.TemporaryDirectory() as work:
        os.makedirs(os.path.join(work, "my queries"))
        with open(os.path.join(work, ".prax.ini"), "w") as f:
            f.write(PROFILE)
        for test in (test_initialize, test_formatting, test_range, test_crlf_nul_unicode, test_scanner_limit,
                     test_malformed):
            test(work)
    if FAILURES:
        print(f"{len(FAILURES)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
