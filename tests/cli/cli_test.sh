#!/usr/bin/env bash
# Behaviour of prax-format as scripts see it: messages, exit status, files,
# standard streams and profiles.
set -u
prog=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
passed=0 failed=0

check() { # name, condition...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

printf 'select a from t;' > "$work/pure.sql"
printf 'int x;\nEXEC SQL commit;\n' > "$work/host.c"
printf 'int main(void) { return 0; }\n' > "$work/none.c"

"$prog" "$work/pure.sql" "$work/out.sql" 2> "$work/err"; status=$?
check "pure SQL exits 0" test $status -eq 0
check "pure SQL message" test "$(cat "$work/err")" = "Treat the text as pure SQL"
check "pure SQL output" test "$(cat "$work/out.sql")" = "$(printf 'SELECT     a \nFROM       t; \n ')"

"$prog" "$work/host.c" > /dev/null 2> "$work/err"; status=$?
check "embedded SQL exits 0" test $status -eq 0
check "embedded SQL message" test "$(cat "$work/err")" = "Treat the text as embedded SQL"

"$prog" "$work/none.c" "$work/none.out" 2> "$work/err"; status=$?
check "no SQL exits 1" test $status -eq 1
check "no SQL message and error line" grep -q "^No SQL statements found$" "$work/err"
check "no SQL error names the file" grep -q "none.c: no SQL statements found" "$work/err"
check "no SQL leaves an empty output file" test -f "$work/none.out" -a ! -s "$work/none.out"

"$prog" "$work/missing.sql" 2> "$work/err"; status=$?
check "missing input exits 1" test $status -eq 1
check "missing input is named" grep -q "missing.sql" "$work/err"

{ printf 'select a from t; /*'; head -c 20000 /dev/zero | tr '\0' x; } > "$work/long.sql"
"$prog" "$work/long.sql" > /dev/null 2> "$work/err"; status=$?
check "scanner limit exits 2" test $status -eq 2
check "scanner limit message" grep -q "input buffer overflow, can't enlarge buffer because scanner uses REJECT" "$work/err"

out=$(printf 'select a from t;' | "$prog" --no-profile 2>/dev/null)
check "standard input to standard output" test "$out" = "$(printf 'SELECT     a \nFROM       t; \n ')"

"$prog" --bogus > /dev/null 2>&1; status=$?
check "usage error exits 2" test $status -eq 2
"$prog" --option nosuch=1 "$work/pure.sql" > /dev/null 2>&1; status=$?
check "unknown option field exits 2" test $status -eq 2
check "--help" "$prog" --help > /dev/null
check "--version" "$prog" --version > /dev/null

# Profiles: the default one is read when it exists; --profile names another;
# --no-profile ignores both; --option applies on top.
mkdir -p "$XDG_CONFIG_HOME/prax"
printf '[Formatting Options]\nKey Word Case=2\n' > "$XDG_CONFIG_HOME/prax/prax.ini"
printf '[Formatting Options]\nInterval=1\n' > "$work/other.ini"
check "default profile read" test "$("$prog" "$work/pure.sql" 2>/dev/null | head -1)" = "select     a "
check "--profile file read" test "$("$prog" --profile "$work/other.ini" "$work/pure.sql" 2>/dev/null | head -1)" = "SELECT a "
check "--no-profile ignores profiles" test "$("$prog" --no-profile "$work/pure.sql" 2>/dev/null | head -1)" = "SELECT     a "
check "--option over the profile" \
  test "$("$prog" --profile "$work/other.ini" --option interval=2 "$work/pure.sql" 2>/dev/null | head -1)" = "SELECT  a "
"$prog" --profile "$work/nonexistent.ini" "$work/pure.sql" > /dev/null 2>&1; status=$?
check "missing --profile file is a usage error" test $status -eq 2

# Batches from the command line: backups, the failing file named, --check.
mkdir "$work/batch"
printf 'select a from t;' > "$work/batch/q.sql"
printf 'int x;\n' > "$work/batch/plain.c"
"$prog" --no-profile --check "$work/batch/q.sql" 2> "$work/err"; status=$?
check "--check exits 1 for a file that would change" test $status -eq 1
check "--check names the file" grep -q "q.sql: formatting would change it" "$work/err"
check "--check writes nothing" test "$(cat "$work/batch/q.sql")" = "select a from t;"
"$prog" --no-profile --in-place "$work/batch/q.sql" "$work/batch/plain.c" 2> "$work/err"; status=$?
check "--in-place exits 1 when a file fails" test $status -eq 1
check "--in-place names the failed file" grep -q "plain.c: " "$work/err"
check "--in-place keeps the backup" test "$(cat "$work/batch/q.sq~")" = "select a from t;"
check "--in-place formats the file" test "$(head -1 "$work/batch/q.sql")" = "SELECT     a "
check "a failed file keeps its text" test "$(cat "$work/batch/plain.c")" = "int x;"
"$prog" --no-profile --check "$work/batch/q.sql" 2> /dev/null; status=$?
check "--check exits 0 for formatted text" test $status -eq 0
printf 'select b from u;' > "$work/batch/r.sql"
printf '%s\r\n' "$work/batch/r.sql" > "$work/batch/jobs.lis"
"$prog" --no-profile --job-list "$work/batch/jobs.lis" 2> /dev/null; status=$?
check "--job-list formats its entries" test $status -eq 0 -a "$(head -1 "$work/batch/r.sql")" = "SELECT     b "

echo "$passed passed, $failed failed"
test $failed -eq 0
