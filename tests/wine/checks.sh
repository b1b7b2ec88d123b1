# The shell tests' checks, sourced by each: one "ok: ..." or "FAIL: ..." line
# per check, and `checks_done` last, which counts them and sets the status.
passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() {   # check "what" command...: passes when the command succeeds
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
fails() { ! "$@"; }
expect_same() {   # expect_same "what" expected actual: shows the difference
    if [ "$2" == "$3" ]; then pass "$1"; else fail "$1"; diff <(echo "$2") <(echo "$3") | head -20; fi
}
checks_done() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
