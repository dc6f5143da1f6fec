#!/usr/bin/env bash
# End to end on Linux: a DHCP server (dnsmasq) and a real client (dhcpcd, then
# dhclient) in two network namespaces joined by a veth pair, and `veyra`
# run in the client's namespace, its output compared with what the server was
# told to send. Everything it makes it removes again; no packet leaves the
# namespaces. Exit 77 (skipped) without root or the programs it needs.
#
# Usage: veyra_netns_e2e.sh PATH_TO_VEYRA
set -uo pipefail
veyra=$1

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without ip dnsmasq dhcpcd dhclient setpriv python3 script
skip_unless_root

# Names of this run's own, so that two runs (a native and a sanitized build,
# say) can share the machine: namespaces, the interface and the lease files
# named after it.
srv=vye-srv-$$
cli=vye-cli-$$
ifc=vye-c$$
mac=02:00:00:77:00:02
dhcpcd_lease=/var/lib/dhcpcd/$ifc.lease
dhclient_lease=/var/lib/dhcp/dhclient.$ifc.leases
dhclient_pid=/run/dhclient-$ifc.pid

cleanup() {
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
    rm -f "$dhclient_lease" "$dhclient_pid"
}
on_exit cleanup
# nobody runs a copy in a folder it can reach, wherever the checkout lives.
make_work "$veyra" veyra || exit 1
veyra=$work/veyra

in_cli() { ip netns exec "$cli" "$@"; }

# check_json_rows LABEL SOURCE ROWS: $json holds ROWS objects, more than
# none, each from SOURCE; an empty answer fails.
check_json_rows() {
    check "$1: rows" "$3" "$(grep -c '"code"' <<<"$json")"
    check "$1: rows from $2" "$3" "$(grep -c "\"source\": \"$2\"}" <<<"$json")"
    [ "$3" -gt 0 ] || fail "$1: no rows to compare"
}

netns_veth "$srv" vye-s0 "$cli" "$ifc" "$mac" || exit 1
ip -n "$srv" addr add 10.77.0.1/24 dev vye-s0
ip -n "$srv" link set vye-s0 up
ip -n "$cli" link set "$ifc" up

# The options the server is told to send, forced even where a client does
# not ask for them: 2, 6 with two servers, 15, 42, 43, 46, and the lease,
# renewal and rebinding times 51, 58 and 59.
ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vye-s0 --bind-interfaces --no-ping --log-dhcp --log-facility="$work/dnsmasq.log" \
    --dhcp-range=10.77.0.100,10.77.0.150,255.255.255.0,10m --dhcp-leasefile="$work/dnsmasq.leases" \
    --dhcp-option-force=option:router,10.77.0.1 \
    --dhcp-option-force=option:dns-server,10.77.0.1,10.77.0.2 \
    --dhcp-option-force=option:domain-name,lab.test \
    --dhcp-option-force=option:ntp-server,10.77.0.1 \
    --dhcp-option-force=2,3600 \
    --dhcp-option-force=12,ignored-by-clients \
    --dhcp-option-force=43,01:04:de:ad:be:ef:02:03:61:62:63 \
    --dhcp-option-force=46,8 \
    --dhcp-option-force=option:T1,300 --dhcp-option-force=option:T2,525 &
wait_for "dnsmasq to listen" listens_udp "$srv" 67 || exit 1

printf 'nodelay\nnoarp\nnohook resolv.conf\n' >"$work/dhcpcd.conf"
leased_from=$(date +%s)
# dhcpcd returns as soon as it has its lease; the minute only ends a broken run.
if ! in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -1 -4 -t 60 "$ifc" >"$work/dhcpcd.log" 2>&1; then
    cat "$work/dhcpcd.log" "$work/dnsmasq.log"
    fail "dhcpcd got no lease"
    exit 1
fi
leased_by=$(date +%s)

# The moment rows show the decoding time plus the option's seconds; any
# second of the run is right.
moment() {
    local seconds=$1 t
    for ((t = started + seconds; t <= finished + seconds; ++t)); do
        LC_ALL=C date -u -d "@$t" "+%A, %B %d, %Y %H:%M:%S"
    done
}

# veyra_copy_all: the Copy All text of a request into $copied, one row per
# line (CR ends each row), with the request's start and end times.
veyra_copy_all() {
    started=$(date +%s)
    in_cli env TZ=UTC "$veyra" "$ifc" --copy-all >"$work/copied" 2>"$work/err"
    finished=$(date +%s)
    copied=$(tr '\r' '\n' <"$work/copied")
}

# without_moments: the rows but those whose data is a moment of the run.
without_moments() { grep -vE '^(IP Lease Time|DHCP Renewal Time|DHCP Rebind Time)'$'\t'; }

# expect_rows LABEL ACTUAL EXPECTED_ROWS: rows "Parameter<TAB>Data<TAB>";
# a data text "@N" is the moment N seconds after the request.
expect_rows() {
    local label=$1 actual=$2 expected="" row parameter data
    while IFS= read -r row; do
        parameter=${row%%$'\t'*}
        data=${row#*$'\t'}
        data=${data%$'\t'}
        if [[ $data == @* ]]; then
            local line
            line=$(grep -F "$parameter"$'\t' <<<"$actual" | head -n 1)
            # Not a pipe into grep -q: under pipefail, its early exit
            # would fail the pipe whenever a later second is still written.
            if grep -qxF "$(cut -f2 <<<"$line")" <<<"$(moment "${data#@}")"; then
                data=$(cut -f2 <<<"$line")
            else
                data="(${data#@} s after a second of $(date -u -d "@$started" +%T)..$(date -u -d "@$finished" +%T))"
            fi
        fi
        expected+="$parameter"$'\t'"$data"$'\t'$'\n'
    done
    check "$label" "${expected%$'\n'}" "$actual"
}

dhcpcd_rows=$(
    cat <<'ROWS'
DHCP Server	10.77.0.1
Host Name	ignored-by-clients
Subnet Mask	255.255.255.0
Domain Name	lab.test
DNS Server	10.77.0.1 10.77.0.2 
Gateway Address	10.77.0.1
Time Offset	1.00h
Broadcast Address	10.77.0.255
Network Time Server	10.77.0.1
Vendor Spec Info	
NBT Node Type	08
IP Lease Time	@600
DHCP Renewal Time	@300
DHCP Rebind Time	@525
ROWS
)

echo "== dhcpcd's lease"
listing=$(in_cli "$veyra")
grep -qE "^${mac^^} +$ifc .* 10\.77\.0\.146 +10\.77\.0\.1$" <<<"$listing" ||
    fail "the adapter list names $ifc with its address and server: $listing"
veyra_copy_all
expect_rows "rows from dhcpcd's lease" "$copied" <<<"$dhcpcd_rows"
in_cli "$veyra" "$ifc" --tsv >"$work/tsv" 2>"$work/err"
check "the TSV header" "DHCP Parameter"$'\t'"DHCP Data" "$(head -n 1 "$work/tsv")"
check "the TSV records are the Copy All rows" "$(sed 's/\t$//' <<<"$copied" | without_moments)" \
    "$(tail -n +2 "$work/tsv" | without_moments)"
check "TSV: a record a line, no CR" "$(($(grep -c . <<<"$dhcpcd_rows") + 1)) 0" \
    "$(wc -l <"$work/tsv") $(tr -cd '\r' <"$work/tsv" | wc -c)"
# On a terminal (script's pseudo-terminal) the CR that ends each row shows.
shown=$(in_cli script -qec "$(printf '%q ' "$veyra" "$ifc" --copy-all)" /dev/null 2>&1)
check "Copy All on a terminal: a line a row, CR shown" "$(grep -c . <<<"$dhcpcd_rows")" \
    "$(grep -c '\\x0D'$'\r''\?$' <<<"$shown")"
adapters=$(in_cli "$veyra" --json)
python3 -c 'import json, sys; json.load(sys.stdin)' <<<"$adapters" || fail "the adapter list is JSON: $adapters"
grep -qE "\"name\": \"$ifc\", \"hardware_address\": \"${mac^^}\", .*\"ipv4_addresses\": \\[\"10\.77\.0\.146\"\\], .*\"dhcp_servers\": \\[\"10\.77\.0\.1\"\\], .*\"lease_obtained\": \"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2}\"" \
    <<<"$adapters" || fail "the adapter list as JSON names $ifc with its address, server and lease: $adapters"
json=$(in_cli "$veyra" "$ifc" --json 2>"$work/err")
check_json_rows "every row from dhcpcd" dhcpcd "$(grep -c . <<<"$dhcpcd_rows")"
grep -qF '"code": 43, "parameter": "Vendor Spec Info", "data": "", "hex": "0104deadbeef0203616263"' \
    <<<"$json" || fail "option 43's raw bytes: $json"
grep -qF '"code": 6, "parameter": "DNS Server", "data": "10.77.0.1 10.77.0.2 ", "hex": "0a4d00010a4d0002"' \
    <<<"$json" || fail "option 6's raw bytes: $json"

echo "== every option of dhcpcd's lease"
# Every option the server sent, dnsmasq's 53 included, decoded by type.
all_rows=$(
    cat <<'ROWS'
Code  Option                         Value
1     Subnet Mask                    255.255.255.0
2     Time Offset                    3600
3     Router                         10.77.0.1
6     Domain Name Server             10.77.0.1, 10.77.0.2
12    Host Name                      ignored-by-clients
15    Domain Name                    lab.test
28    Broadcast Address              10.77.0.255
42    Network Time Protocol Servers  10.77.0.1
43    Vendor-Specific Information    1=deadbeef, 2=616263
46    NetBIOS over TCP/IP Node Type  H-node (8)
51    IP Address Lease Time          600 s (10 min)
53    DHCP Message Type              DHCPACK (5)
54    DHCP Server Identifier         10.77.0.1
58    Renewal Time Value             300 s (5 min)
59    Rebinding Time Value           525 s (8 min 45 s)
ROWS
)
in_cli env TZ=UTC "$veyra" "$ifc" --all >"$work/all" 2>"$work/err"
check "exit status of --all" 0 $?
check "every option, in code order" "$all_rows" "$(sed '/^$/,$d' "$work/all")"
# moment LABEL: the seconds of a moment line of the rows.
moment_of() { date -d "$(sed -n "s/^$1  *//p" "$work/all")" +%s; }
obtained=$(moment_of Obtained)
[ -n "$obtained" ] && [ "$obtained" -ge "$leased_from" ] && [ "$obtained" -le "$leased_by" ] ||
    fail "obtained while dhcpcd ran ($leased_from..$leased_by): $(cat "$work/all")"
check "renewal, rebinding and expiry after obtaining" "300 525 600" \
    "$(($(moment_of 'Renewal (T1)') - obtained)) $(($(moment_of 'Rebinding (T2)') - obtained)) $(($(moment_of Expiry) - obtained))"
in_cli env TZ='<+0545>-5:45' "$veyra" "$ifc" --all 2>"$work/err" | grep -qE '^Expiry  +[0-9T:-]{19}\+05:45$' ||
    fail "moments in the local zone"

in_cli env TZ=UTC "$veyra" "$ifc" --all --tsv >"$work/all.tsv" 2>"$work/err"
# The rows' columns are two spaces or more apart, and no cell holds two.
check "--all --tsv: the rows' records, then the moments with no code" \
    "$(sed '/^$/,$d' "$work/all" | sed -E 's/  +/\t/g'
        sed '1,/^$/d' "$work/all" | sed -E 's/  +/\t/; s/^/\t/')" \
    "$(cat "$work/all.tsv")"

in_cli env TZ=UTC "$veyra" "$ifc" --all --json >"$work/all.json" 2>"$work/err"
python3 - "$work/all.json" "$work/all" <<'PY' || fail "--all --json: $(cat "$work/all.json")"
import datetime, json, sys
document = json.load(open(sys.argv[1]))
rows = [line.split()[0] for line in open(sys.argv[2]).read().split("\n\n")[0].splitlines()[1:]]
options = document["options"]
assert document["adapter"].startswith("vye-c"), document["adapter"]
assert [str(o["code"]) for o in options] == rows, "the rows' options"
assert all(o["source"] == "dhcpcd" for o in options), "every option from dhcpcd"
by_code = {o["code"]: o for o in options}
assert by_code[51]["value"] == 600 and by_code[51]["hex"] == "00000258", by_code[51]
assert by_code[6]["value"] == ["10.77.0.1", "10.77.0.2"], by_code[6]
assert by_code[43]["value"] == [{"code": 1, "hex": "deadbeef"}, {"code": 2, "hex": "616263"}]
moments = {k: datetime.datetime.fromisoformat(v).timestamp() for k, v in document["lease"].items()}
seconds = [moments[k] - moments["obtained"] for k in ("renewal", "rebinding", "expiry")]
assert seconds == [300, 525, 600], seconds
PY

echo "== dhcpcd's lease is root's"
in_cli setpriv --reuid=65534 --regid=65534 --clear-groups "$veyra" "$ifc" >"$work/out" 2>"$work/err"
check "exit status without the right to read the lease" 4 $?
grep -q "DHCP Error 13: Permission denied" "$work/err" || fail "permission message: $(cat "$work/err")"

echo "== DHCPINFORM"
rm -f "$dhcpcd_lease"
in_cli "$veyra" "$ifc" >"$work/out" 2>"$work/err"
check "exit status with no lease" 5 $?
inform_rows=$(in_cli "$veyra" "$ifc" --inform --copy-all 2>"$work/err" | tr -cd '\r' | wc -c)
json=$(in_cli "$veyra" "$ifc" --inform --json 2>"$work/err")
check_json_rows "every row from the server's answer" inform "$inform_rows"
grep -qF '"code": 54, "parameter": "DHCP Server", "data": "10.77.0.1"' <<<"$json" ||
    fail "the answer names its server: $json"
grep -qE '"code": (50|51|58|59),' <<<"$json" && fail "an answer to DHCPINFORM gives no lease times: $json"

echo "== dhclient's lease"
# -sf /bin/true: the lease is all this needs, not dhclient's changes to the
# system. Where AppArmor confines dhclient, its profile allows no other
# script, and dhclient cannot run here as it must.
if in_cli dhclient -1 -4 -sf /bin/true -lf "$dhclient_lease" -pf "$dhclient_pid" "$ifc" >"$work/dhclient.log" 2>&1; then
    veyra_copy_all
    expect_rows "rows from dhclient's lease" "$copied" <<<"$dhcpcd_rows"
    json=$(in_cli "$veyra" "$ifc" --json 2>"$work/err")
    check_json_rows "every row from dhclient" dhclient "$(grep -c . <<<"$dhcpcd_rows")"
elif [ "$(cat /sys/module/apparmor/parameters/enabled 2>/dev/null)" = Y ]; then
    echo "not run: dhclient got no lease, and AppArmor may confine it"
else
    cat "$work/dhclient.log"
    fail "dhclient got no lease"
fi

echo "== no such adapter"
in_cli "$veyra" vye-none >"$work/out" 2>"$work/err"
check "exit status for an unknown adapter" 3 $?
grep -qx "No Interfaces Present" "$work/err" || fail "unknown adapter message: $(cat "$work/err")"

echo "== a name that is not UTF-8"
# Linux allows any bytes in a name but '/', ':', blanks and NUL: the command
# lists the name escaped and asks about it under its own bytes.
odd=$'vye-e\xffx'
ip -n "$cli" link add "$odd" type veth peer name vye-o$$ &&
    ip -n "$cli" addr add 10.78.0.2/24 dev "$odd" || fail "no interface named with a stray byte"
listing=$(in_cli "$veyra")
grep -qF ' vye-e\xFFx ' <<<"$listing" || fail "the listing escapes the stray byte: $listing"
in_cli "$veyra" "$odd" >"$work/out" 2>"$work/err"
check "exit status for its lease" 5 $?
grep -qF "Getting DHCP Options on Adapter [vye-e\xFFx]" "$work/err" ||
    fail "the request names it escaped: $(cat "$work/err")"
grep -q "No such device" "$work/err" && fail "the name's bytes were changed: $(cat "$work/err")"

echo "== a value that would forge rows"
# The server again, now with option 14 (Merit Dump File) holding a TAB, LF
# and CR, an escape sequence, a C1 control (CSI), a letter beyond ASCII and a
# right-to-left override; veyra asks it directly (DHCPINFORM).
hostile=$'a\tb\nc\rd\e[31me\xc2\x9bf\xc3\xa9\xe2\x80\xaeg'
ip netns pids "$srv" | xargs -r kill
dnsmasq_ended() { ! listens_udp "$srv" 67; }
wait_for "dnsmasq to end" dnsmasq_ended
ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vye-s0 --bind-interfaces --no-ping --pid-file="$work/hostile.pid" \
    --dhcp-range=10.77.0.100,10.77.0.150,255.255.255.0,10m --dhcp-leasefile="$work/hostile.leases" \
    --dhcp-option-force=14,"$(printf '%s' "$hostile" | od -An -tx1 | xargs | tr ' ' :)" &
wait_for "dnsmasq to listen" listens_udp "$srv" 67
in_cli "$veyra" "$ifc" --inform --copy-all >"$work/hostile" 2>"$work/err"
[[ $(<"$work/hostile") == *$'\r'"Merit Dump File"$'\t'"$hostile"$'\t\r'* ]] ||
    fail "piped, Copy All keeps the value's bytes: $(od -c "$work/hostile")"
# on_terminal LOCALE ARGUMENT...: veyra's output on script's pseudo-terminal.
on_terminal() {
    in_cli env LC_ALL="$1" script -qec "$(printf '%q ' "$veyra" "$ifc" --inform "${@:2}")" \
        /dev/null 2>/dev/null
}
shown=$(on_terminal C.UTF-8 --copy-all)
# A row ends in TAB and CR, which the value holds only apart.
check "on a terminal, a line a row of Copy All" "$(grep -o $'\t\r' "$work/hostile" | wc -l)" \
    "$(grep -c '\\x0D'$'\r''$' <<<"$shown")"
grep -qxF 'Merit Dump File'$'\t''a\x09b\x0Ac\x0Dd\x1B[31me\u009Bf'$'\xc3\xa9''\u202Eg'$'\t''\x0D'$'\r' \
    <<<"$shown" || fail "on a terminal, the value's escapes in its one row: $shown"
grep -qE '^Merit Dump File +a\\x09b\\x0Ac\\x0Dd\\x1B\[31me\\u009Bf\\u00E9\\u202Eg'$'\r''$' \
    <<<"$(on_terminal C)" || fail "in the C locale, the letter beyond ASCII is escaped too"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
