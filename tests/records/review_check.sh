#!/bin/sh
# marvanto-review on a fixed record: the decisions it lists, in order, each
# line's form and the summary; a damaged record and a wrong seat refused.
# The win chances themselves are the Expert's, and move when it is tuned.
review=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

"$review" --samples 6 "$data/four_seats.mvr" > "$work/review" 2> "$work/errors" || fail "exit status $? for a good record: $(cat "$work/errors")"
head -n -1 "$work/review" | awk '{print $1,$2,$3,$4,$5,$6,$7,$8}' > "$work/decisions"
diff "$data/four_seats.decisions" "$work/decisions" || fail "the decisions listed differ"
line='^round +[0-9]+ trick [0-9]+ +line +[0-9]+ +Ann +[^ ]+ +[0-9]+\.[0-9]%  best [^ ]+ +[0-9]+\.[0-9]%(  -[0-9]+\.[0-9] (inaccuracy|mistake|blunder))?$'
head -n -1 "$work/review" | grep -Evq "$line" && fail "a line of unexpected form: $(head -n -1 "$work/review" | grep -Ev "$line" | head -1)"
tail -n 1 "$work/review" | grep -Eq '^16 decisions: [0-9]+ inaccurac(y|ies), [0-9]+ mistakes?, [0-9]+ blunders?; average loss [0-9]+\.[0-9] points$' ||
    fail "summary: $(tail -n 1 "$work/review")"
# A grade follows the loss: 5, 10 and 20 points.
awk '/ -[0-9]/ { loss = substr($(NF-1), 2) + 0; want = loss >= 20 ? "blunder" : loss >= 10 ? "mistake" : "inaccuracy";
                 if ($NF != want || loss < 5) print }' "$work/review" > "$work/graded"
[ -s "$work/graded" ] && fail "graded wrongly: $(head -1 "$work/graded")"

# A card dealt twice on the second round's line.
sed '20s/ 2+Kc / 2+3d /' "$data/four_seats.mvr" > "$work/bad.mvr"
"$review" "$work/bad.mvr" > /dev/null 2> "$work/errors"
status=$?
[ "$status" -eq 1 ] || fail "exit status $status for a damaged record"
grep -q "bad.mvr: line 20: 2+3d: 3d is no longer in the pack" "$work/errors" || fail "damaged record: $(cat "$work/errors")"
"$review" --seat 5 "$data/four_seats.mvr" > /dev/null 2>&1
[ $? -eq 2 ] || fail "--seat 5 accepted"
"$review" "$work/missing.mvr" 2> "$work/errors" > /dev/null
grep -q "missing.mvr: cannot be opened" "$work/errors" || fail "missing file: $(cat "$work/errors")"
[ "$failed" -eq 0 ] && echo "review output checked"
exit "$failed"
