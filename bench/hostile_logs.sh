#!/usr/bin/env bash
# Peak memory (max RSS) and time of quarvelctl's whole-log commands on the two
# hostile logs: a 400 MB run of zero bytes in one line (the hole copytruncate
# leaves when the game server did not open its log to append) and one line
# of 2 GiB and more, whose last bytes hold a text to search for. Both are
# sparse files made from samples/sample.log, so they cost no disk.
#
# Usage: bench/hostile_logs.sh QUARVELCTL [FOLDER]
# Every command runs under an address-space limit (HOSTILE_LIMIT_KB, default
# 16 GB), so that a build whose memory grows with the line fails ("exit 3",
# out of memory) instead of taking the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quarvelctl=$(realpath "$1")
folder=${2:-/tmp/quarvel-hostile}
limit_kb=${HOSTILE_LIMIT_KB:-16000000}
sample=$top/samples/sample.log
mkdir -p "$folder"
cd "$folder"
ulimit -v "$limit_kb"

if [ ! -f nul400.log ]; then
    cat "$sample" > nul400.log
    truncate -s +400M nul400.log
    cat "$sample" >> nul400.log
fi
if [ ! -f line2g.log ]; then
    cat "$sample" > line2g.log
    printf '   1:00 say: Bob: the long line starts here ' >> line2g.log
    truncate -s +2G line2g.log
    printf ' NEEDLEPAST2G say: Bob: the end of the long line\n' >> line2g.log
    cat "$sample" >> line2g.log
fi
printf '[database]\nfile=players.sqlite\n' > quarvel.cfg

# One command: "seconds max-RSS-KB exit-code".
measure() {
    /usr/bin/time -f '%e %M %x' -o time.out "$@" > /dev/null 2> err.out || true
    tail -n 1 time.out
}

printf '%-8s %-12s %10s %12s %5s\n' log command seconds max_rss_kb exit
for log in nul400.log line2g.log; do
    printf '%-8s %-12s %10s %12s %5s\n' "${log%.log}" lines $(measure "$quarvelctl" lines "$log")
    printf '%-8s %-12s %10s %12s %5s\n' "${log%.log}" search \
        $(measure "$quarvelctl" search "$log" --text NEEDLEPAST2G)
    printf '%-8s %-12s %10s %12s %5s\n' "${log%.log}" follow \
        $(measure "$quarvelctl" follow "$log" --idle-exit 0)
    rm -f players.sqlite
    "$quarvelctl" init-db players.sqlite
    printf '%-8s %-12s %10s %12s %5s\n' "${log%.log}" harvest \
        $(measure "$quarvelctl" harvest --config quarvel.cfg "$log")
done

# What the commands make of the long line: the search's message, and the end
# of the line as `lines` prints it.
long_line=$(wc -l < "$sample")
echo
echo "search line2g.log --text NEEDLEPAST2G:"
"$quarvelctl" search line2g.log --text NEEDLEPAST2G || true
echo "lines line2g.log --from $long_line --count 1, its last bytes:"
"$quarvelctl" lines line2g.log --from "$long_line" --count 1 | tail -c 200
