# Nothing of the tests ships: the program defines none of the names that
# only tests use, no hook (a *Hook symbol), and none of the global symbols
# of the seam and double objects that tests link in its stead.
#   no_test_symbols.sh [--objects-only | --names-only] [--own OBJECTS] PROGRAM [SEAM-OBJECT...]
# The two switches check one half alone (to see each half at work). --own
# names the program's own objects that a double replaces whole (the empty
# module table and registry, the devices): the names they define are the
# program's.
set -u
halves=both
case ${1:-} in --objects-only | --names-only) halves=${1#--}; halves=${halves%-only}; shift ;; esac
own=()
if [ "${1:-}" = --own ]; then
    IFS=';' read -ra own <<<"$2"
    shift 2
fi
program=${1:?usage: no_test_symbols.sh [--objects-only | --names-only] PROGRAM [SEAM-OBJECT...]}
shift
failures=0

# Symbol names as nm -C prints them (extended regular expressions).
test_only_symbols=(
    'w32test::'                   # the layer's test seams and fakes
    'Hook($|[^A-Za-z0-9_])'       # a way in that a test would set
    '(^|::)be::Reset\('           # the X11 backend torn down between tests
    '(^|::)clockSource$'          # a test's own scene clock
    '(^|::)forcedLamentVariant$'  # a test's pick of the lament
)
# Data members that only tests fill, looked up in the debug information
# (nm does not list members).
test_only_members=(
    DialogTable::script
)

defined=$(nm -C --defined-only "$program" | cut -d' ' -f3-)
[ -n "$defined" ] || { echo "FAIL - nm lists nothing in $program"; exit 1; }

if [ "$halves" != objects ]; then
    for pattern in "${test_only_symbols[@]}"; do
        found=$(grep -E -- "$pattern" <<<"$defined")
        if [ -n "$found" ]; then
            echo "FAIL - the program defines test-only symbols ($pattern):"
            sed 's/^/    /' <<<"$found"
            failures=$((failures + 1))
        fi
    done
    if readelf -S "$program" | grep -q '\.debug_info'; then
        # Prints Struct::member for every member of every structure.
        members=$(readelf --debug-dump=info "$program" 2>/dev/null | awk '
            /^ *<[0-9]+><[0-9a-f]+>: Abbrev/ {
                depth = substr($1, 2) + 0; tag = $NF
                if (depth <= outer) struct = ""
            }
            /DW_AT_name/ && tag ~ /structure_type|class_type/ { struct = $NF; outer = depth }
            /DW_AT_name/ && tag ~ /DW_TAG_member/ && struct != "" && depth == outer + 1 { print struct "::" $NF }')
        if [ -z "$members" ]; then
            echo "FAIL - no structure members read from the debug information of $program"
            failures=$((failures + 1))
        fi
        for member in "${test_only_members[@]}"; do
            if grep -qxF -- "$member" <<<"$members"; then
                echo "FAIL - the program has the test-only member $member"
                failures=$((failures + 1))
            fi
        done
    else
        echo "note: $program has no debug information; data members not checked"
    fi
fi

if [ "$halves" != names ]; then
    mangled=$(nm --defined-only "$program" | cut -d' ' -f3-)
    if [ "${#own[@]}" -gt 0 ]; then
        owned=$(for object in "${own[@]}"; do nm --defined-only "$object" | awk '$2 ~ /^[TDBR]$/ { print $3 }'; done)
        mangled=$(grep -vxF -f <(printf '%s\n' "$owned") <<<"$mangled")
    fi
    # CMake hands each target's objects over as one ;-separated argument.
    IFS=';' read -ra objects <<<"$(IFS=';'; echo "$*")"
    [ "${#objects[@]}" -gt 0 ] || { echo "FAIL - no seam objects to check against"; failures=$((failures + 1)); }
    for object in "${objects[@]}"; do
        nm --defined-only "$object" | grep -q ' [TDBR] ' ||
            { echo "FAIL - $object defines nothing to check"; failures=$((failures + 1)); }
        while read -r symbol; do
            if grep -qxF -- "$symbol" <<<"$mangled"; then
                echo "FAIL - the program defines $(c++filt "$symbol"), which $(basename "$object") provides to tests"
                failures=$((failures + 1))
            fi
        done < <(nm --defined-only "$object" | awk '$2 ~ /^[TDBR]$/ { print $3 }')
    done
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
