#!/usr/bin/env bash
# Behaviour of prax-format as users, editors, hooks and CI see it: inputs and
# outputs, messages, exit statuses, check and diff, profiles, in-place
# formatting, worker processes, temporary files.
set -u
prog=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
cd "$work" || exit 2
passed=0 failed=0

check() { # name, condition...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
# run ARGS...: runs prax-format with standard input from $stdin (default
# /dev/null); sets $out, $err and $status.
run() {
  "$prog" "$@" < "${stdin:-/dev/null}" > "$work/.out" 2> "$work/.err"; status=$?
  out=$(cat "$work/.out"; printf x); out=${out%x}
  err=$(cat "$work/.err")
}
# expect NAME STATUS OUT ERR: the last run gave exactly these.
expect() {
  check "$1: status $2 (was $status)" test "$status" -eq "$2"
  check "$1: standard output" test "$out" = "$3"
  check "$1: standard error ('$err')" test "$err" = "$4"
}
same() { cmp -s "$1" "$2"; }
stamp() { stat -c '%i %Y.%y' "$1"; }

select_a='select a from t;'
formatted_a=$(printf 'SELECT     a \nFROM       t; \n \nx'); formatted_a=${formatted_a%x}
printf '%s' "$select_a" > pure.sql
printf 'select b from u;' > b.sql
printf 'int x;\nEXEC SQL commit;\n' > host.c
printf 'int main(void) { return 0; }\n' > none.c
printf '%s' "$formatted_a" > done.sql

# ---- Arguments: every FILE an input, formatted to standard output in order.
run --no-profile pure.sql b.sql
formatted_b=$(printf 'SELECT     b \nFROM       u; \n \nx'); formatted_b=${formatted_b%x}
expect "two files" 0 "$formatted_a$formatted_b" ""
check "inputs unchanged" test "$(cat pure.sql)$(cat b.sql)" = "${select_a}select b from u;"
stdin=pure.sql run --no-profile
expect "standard input" 0 "$formatted_a" ""
stdin=pure.sql run --no-profile -
expect "standard input as -" 0 "$formatted_a" ""
run --no-profile pure.sql -o out.sql
expect "-o" 0 "" ""
check "-o writes the file" same out.sql done.sql
ln pure.sql hard.sql; ln -s pure.sql soft.sql
for refused in "pure.sql -o pure.sql" "pure.sql -o ./pure.sql" "pure.sql -o hard.sql" "soft.sql -o pure.sql" "- -o pure.sql"; do
  stdin=pure.sql run --no-profile $refused
  check "same file refused ($refused)" test "$status" -eq 2 -a "$(cat pure.sql)" = "$select_a"
  check "same file named ($refused)" grep -q "is the same file as the input" "$work/.err"
done
rm hard.sql soft.sql
mkdir -p tree/sub tree/.hidden
cp pure.sql tree/q.sql; cp b.sql tree/sub/r.sql; cp pure.sql tree/.hidden/s.sql; cp pure.sql tree/notes.txt
run --no-profile --check tree
expect "a folder stands for its *.sql files" 1 "" "$(printf 'would reformat tree/q.sql\nwould reformat tree/sub/r.sql')"
run --no-profile --check --include '*.txt' tree
expect "--include widens the walk" 1 "" "$(printf 'would reformat tree/notes.txt\nwould reformat tree/q.sql\nwould reformat tree/sub/r.sql')"
run --no-profile pure.sql b.sql -o out.sql
check "-o with two inputs is a usage error" test $status -eq 2 -a -z "$out"

# ---- Messages: silent on success, notes with -v, "prax-format: FILE: text" lines.
run --no-profile -v pure.sql host.c
check "-v shows the engine's notes" test "$err" = "$(printf 'prax-format: pure.sql: using the built-in defaults (--no-profile)
prax-format: pure.sql: Treat the text as pure SQL
prax-format: host.c: using the built-in defaults (--no-profile)
prax-format: host.c: Treat the text as embedded SQL')"
run --no-profile missing.sql
expect "missing input" 1 "" "prax-format: missing.sql: cannot open the input for reading"
run --bogus
check "usage error: status 2" test $status -eq 2
check "usage error: one prax-format line" test "$(printf '%s' "$err" | grep -c '^prax-format: ')" -eq 1
run --option nosuch=1 pure.sql
expect "unknown option field" 2 "" "prax-format: unknown option setting 'nosuch=1'"
run --option interval=99999999999 pure.sql
expect "option value out of range" 2 "" \
  "prax-format: option setting 'interval=99999999999': the value is out of range; interval takes -4 to 256"
run --help
check "--help gives the exit statuses" grep -q "2  usage error, input and output the same file" "$work/.out"
check "--help lists the option fields" grep -q "match_parenthesis (0..1) \[Match Parenthesis\]" "$work/.out"
run --version
check "--version" test $status -eq 0 -a -n "$out"

# ---- Text with no SQL: passed through, exit 0, counts as formatted.
run --no-profile none.c
check "no SQL passed through: status 0, silent" test $status -eq 0 -a -z "$err"
check "no SQL passed through byte for byte" same .out none.c
run --no-profile -v none.c
check "no SQL note with -v" grep -q "^prax-format: none.c: no SQL: left as it is$" "$work/.err"
run --no-profile --check none.c
expect "no SQL counts as formatted" 0 "" ""

# ---- Check and diff: 0 formatted, 1 would change, 2 error; standard input too.
run --no-profile --check done.sql
expect "--check formatted" 0 "" ""
run --no-profile --check pure.sql done.sql
expect "--check would change" 1 "" "would reformat pure.sql"
run --no-profile --check pure.sql missing.sql
expect "--check unreadable" 2 "" "$(printf 'would reformat pure.sql\nprax-format: missing.sql: cannot open the input for reading')"
stdin=pure.sql run --no-profile --check --stdin-filepath q.sql -
expect "--check standard input" 1 "" "would reformat q.sql"
# Formatted statements around two that are not: two hunks with context.
{ cat done.sql done.sql done.sql; printf 'select c from u;\n'; cat done.sql done.sql done.sql
  printf 'select d from v;\n'; cat done.sql done.sql; } > two.sql
"$prog" --no-profile two.sql > two.formatted
"$prog" --no-profile --diff two.sql | tail -n +3 > two.diff
check "--diff hunks as diff -u makes them" test "$(diff -u two.sql two.formatted | tail -n +3)" = "$(cat two.diff)"
check "--diff: two hunks" test "$(grep -c '^@@ ' two.diff)" -eq 2
mkdir patched; cp pure.sql b.sql two.sql none.c done.sql patched/
(cd patched && "$prog" --no-profile --diff pure.sql b.sql two.sql none.c done.sql > ../fix.diff); status=$?
check "--diff exits 1 when there are changes" test $status -eq 1
check "--diff names each changed file" test "$(grep -c '^--- ' fix.diff)" -eq 3
(cd patched && patch -s -p0 < ../fix.diff) && check "--diff applies with patch -p0" true
(cd patched && "$prog" --no-profile --check pure.sql b.sql two.sql none.c done.sql); status=$?
check "patched files pass --check" test $status -eq 0
check "patched as formatted" same patched/pure.sql done.sql

# ---- The engine's own message is the cause of a scanner failure.
{ printf 'select a from t; /*'; head -c 20000 /dev/zero | tr '\0' x; } > long.sql
run --no-profile long.sql
expect "token beyond the limit" 2 "" \
  "prax-format: long.sql: input buffer overflow, can't enlarge buffer because scanner uses REJECT"
run --no-profile --check long.sql
check "--check: a scanner failure is 2" test $status -eq 2
run --no-profile /proc/self/mem
expect "read error" 2 "" "prax-format: /proc/self/mem: input in flex scanner failed"
printf 'keep me' > kept.sql
run --no-profile long.sql -o kept.sql
check "a failed -o leaves OUTPUT as it was" test $status -eq 2 -a "$(cat kept.sql)" = "keep me"
check "no temporary file beside OUTPUT" test -z "$(ls -A | grep prax-format)"

# ---- Inputs that cannot be read twice: pipes, FIFOs, /dev/stdin.
run --no-profile <(cat pure.sql)
expect "process substitution" 0 "$formatted_a" ""
mkfifo fifo.sql
(cat pure.sql > fifo.sql &)
run --no-profile fifo.sql
expect "FIFO" 0 "$formatted_a" ""
cat pure.sql | "$prog" --no-profile /dev/stdin > piped.out 2>&1
check "/dev/stdin from a pipe" same piped.out done.sql
(cat pure.sql > fifo.sql &)
run --no-profile --check fifo.sql
expect "--check on a FIFO" 1 "" "would reformat fifo.sql"

# ---- Temporary files go on SIGINT, SIGTERM, SIGHUP and SIGPIPE.
for sig in INT TERM HUP; do
  mkfifo hold
  "$prog" --no-profile < hold > /dev/null 2>&1 &
  pid=$!
  exec 7> hold
  printf '%s' "$select_a" >&7
  for _ in $(seq 50); do [ -n "$(ls -A "$TMPDIR")" ] && break; sleep 0.1; done
  check "SIG$sig: standard input is copied" test -n "$(ls -A "$TMPDIR")"
  kill -s "$sig" $pid; { wait $pid; } 2>/dev/null; exec 7>&-; rm hold
  check "SIG$sig: the copy is removed" test -z "$(ls -A "$TMPDIR")"
done
for i in $(seq 2000); do printf 'select a%d from t;\n' "$i"; done > many.sql
("$prog" --no-profile many.sql many.sql many.sql; echo "status $?" > pipe.status) | head -c 10 > /dev/null
check "SIGPIPE ends the run" grep -q "status 141" pipe.status
check "SIGPIPE: nothing left behind" test -z "$(ls -A "$TMPDIR")"

# ---- Profiles: project profile up the tree, per-user, explicit, --option on top.
mkdir -p "$XDG_CONFIG_HOME/prax" proj/a/b
printf '[Formatting Options]\nKey Word Case=2\n' > "$XDG_CONFIG_HOME/prax/prax.ini"
printf '\xef\xbb\xbf[Formatting Options]\r\nInterval=1\r\n' > proj/.prax.ini
printf '[Formatting Options]\nInterval=2\n' > other.ini
cp pure.sql proj/a/b/q.sql
first() { "$prog" "$@" 2>/dev/null | head -1; }
check "per-user profile" test "$(first pure.sql)" = "select     a "
check "project profile two folders up (BOM skipped)" test "$(first proj/a/b/q.sql)" = "SELECT a "
check "-v names the project profile" \
  test "$("$prog" -v proj/a/b/q.sql 2>&1 >/dev/null | head -1)" = "prax-format: proj/a/b/q.sql: using profile $work/proj/.prax.ini"
check "standard input: --stdin-filepath's folder" \
  test "$(first --stdin-filepath proj/a/b/new.sql < pure.sql)" = "SELECT a "
check "standard input: the current folder" test "$(cd proj/a && first < ../../pure.sql)" = "SELECT a "
check "--profile beats the project profile" test "$(first --profile other.ini proj/a/b/q.sql)" = "SELECT  a "
check "--no-profile" test "$(first --no-profile proj/a/b/q.sql)" = "SELECT     a "
check "--option on top" test "$(first --option interval=3 proj/a/b/q.sql)" = "SELECT   a "
head -c 1048577 /dev/zero | tr '\0' ' ' > huge.ini
printf 'a\0b\n' > binary.ini
for bad in missing.ini fifo.sql tree huge.ini binary.ini /dev/zero; do
  run --profile "$bad" pure.sql
  check "unusable --profile $bad: status 2" test $status -eq 2 -a -z "$out"
  check "unusable --profile $bad: named" grep -q "^prax-format: $bad: " "$work/.err"
done
cp huge.ini proj/.prax.ini
run proj/a/b/q.sql
check "unusable project profile: defaults" test $status -eq 0 -a "$(printf '%s' "$out" | head -1)" = "SELECT     a "
check "unusable project profile: warned" grep -q "^prax-format: $work/proj/.prax.ini: cannot use this profile" "$work/.err"
run -q proj/a/b/q.sql
expect "-q silences the warning" 0 "$formatted_a" ""
printf 'select a) from t;' > unbalanced.sql
run --no-profile unbalanced.sql
check "a warning about the text by default" grep -q "^prax-format: unbalanced.sql: Unbalanced parenthesis$" "$work/.err"
run --no-profile -q unbalanced.sql
check "-q silences warnings about the text" test $status -eq 0 -a -z "$err"

# ---- In place: no backup unless asked, unchanged files not written, links followed.
mkdir inplace && cd inplace || exit 2
printf '%s' "$select_a" > q.sql; cp ../done.sql done.sql; cp ../none.c none.c; ln -s q.sql link.sql
cp ../long.sql long.sql; mkfifo fifo.sql
before_done=$(stamp done.sql) before_none=$(stamp none.c)
sleep 1.1
run --no-profile -i link.sql done.sql none.c ./q.sql
expect "-i" 0 "" ""
check "-i formats the link's target" same q.sql ../done.sql
check "-i: the link stays a link" test -L link.sql
check "-i: no backup by default" test ! -e q.sq~ -a ! -e link.sq~
check "-i: a formatted file keeps inode and time" test "$(stamp done.sql)" = "$before_done"
check "-i: text with no SQL is left untouched" test "$(stamp none.c)" = "$before_none"
printf '%s' "$select_a" > q.sql
run --no-profile -i --backup q.sql q.sql
check "--backup keeps the previous text" test $status -eq 0 -a "$(cat q.sq~)" = "$select_a"
check "--backup: the same file once" same q.sql ../done.sql
run --no-profile -i long.sql fifo.sql
check "-i: failures exit 1" test $status -eq 1
check "-i: a failed file keeps its text" same long.sql ../long.sql
check "-i: a FIFO is refused" grep -q "^prax-format: fifo.sql: not a regular file; left as it is$" "$work/.err"
check "-i: the FIFO stays a FIFO" test -p fifo.sql
printf '%s' "$select_a" > r.sql; printf '%s\r\n' "$PWD/r.sql" > jobs.lis
run --no-profile --job-list jobs.lis
check "--job-list: status 0" test $status -eq 0
check "--job-list formats its entries" same r.sql ../done.sql
check "--job-list keeps the batch's backups" test "$(cat r.sq~)" = "$select_a"
cd "$work" || exit 2

# ---- Many files: -j 2 gives what -j 1 gives, in argument order.
mkdir jobs
for i in $(seq 200); do
  case $((i % 4)) in
    0) printf 'select c%d from t%d where a = 1 and b = 2;' $i $i ;;
    1) printf 'int v%d;\nEXEC SQL select x into :v from t%d;\n' $i $i ;;
    2) printf 'no sql here %d\n' $i ;;
    3) printf 'SELECT     c \nFROM       t; \n ' ;;
  esac > jobs/f$i.sql
done
files=$(printf 'jobs/f%d.sql ' $(seq 200))
for mode in "" "--check" "--diff" "-v"; do
  "$prog" --no-profile $mode -j 1 $files > j1.out 2> j1.err; s1=$?
  "$prog" --no-profile $mode -j 2 $files > j2.out 2> j2.err; s2=$?
  check "-j 2 = -j 1 ($mode): status" test $s1 -eq $s2
  check "-j 2 = -j 1 ($mode): output" same j1.out j2.out
  check "-j 2 = -j 1 ($mode): messages" same j1.err j2.err
done
check "-j: output in argument order" test "$(grep -c '^--- ' j1.out)" -eq 0
"$prog" --no-profile --diff -j 2 $files | grep '^--- ' > order.txt
check "-j 2: diffs in argument order" test "$(head -1 order.txt)" = "--- jobs/f1.sql" -a "$(tail -1 order.txt)" = "--- jobs/f200.sql"

# A worker killed while it formats an input (a FIFO that never ends, third of
# the list, so the same worker has the fourth queued): that input fails, every
# other input is formatted, the queued one by another worker.
mkfifo endless.sql
exec 7<> endless.sql # a writer that never writes: reads wait
many=$(printf 'jobs/f%d.sql ' $(seq 12))
"$prog" --no-profile -j 1 $many > alive.out 2> alive.err
"$prog" --no-profile -j 2 jobs/f1.sql jobs/f2.sql endless.sql ${many#jobs/f1.sql jobs/f2.sql } > killed.out 2> killed.err &
parent=$!
for _ in $(seq 100); do
  stuck=$(for c in $(pgrep -P $parent); do ls -l /proc/$c/fd 2>/dev/null | grep -q endless.sql && echo $c; done)
  [ -n "$stuck" ] && break
  sleep 0.1
done
kill -KILL $stuck
wait $parent; status=$?
exec 7>&-
check "killed worker: status 2 (was $status)" test $status -eq 2
check "killed worker: the other inputs' output" same alive.out killed.out
check "killed worker: its input reported" test "$(cat killed.err)" = \
  "prax-format: endless.sql: the worker process formatting it ended unexpectedly"

echo "$passed passed, $failed failed"
test $failed -eq 0
