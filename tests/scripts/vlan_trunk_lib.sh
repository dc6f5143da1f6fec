# A trunk of VLANs for census tests and benchmarks on a kernel without 802.1Q
# devices: the census's namespace holds the trunk's end, a switch namespace
# runs veyra-test-vlan-switch between the trunk and one access port per
# server link, and each server link's other end lies in a namespace of the
# caller's. Source it after netns_lib.sh; set trunk_census, trunk_switch
# (namespace names) and trunk_ports (a file) first.

# in_census COMMAND...: runs COMMAND in the census's namespace.
in_census() { ip netns exec "$trunk_census" "$@"; }

# trunk_make CENSUS_INTERFACE: both namespaces and the trunk between them.
# The switch's namespace has no IPv6, so its kernel sends nothing of its own.
trunk_make() {
    ip netns add "$trunk_census" && ip netns add "$trunk_switch" || return 1
    ip netns exec "$trunk_switch" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 \
        net.ipv6.conf.default.disable_ipv6=1 || return 1
    ip link add "$1" netns "$trunk_census" type veth peer name trunk netns "$trunk_switch" ||
        return 1
    ip -n "$trunk_switch" link set trunk up && ip -n "$trunk_census" link set "$1" up &&
        : >"$trunk_ports"
}

# trunk_port VLAN PORT NAMESPACE INTERFACE [MAC]: an access port of VLAN in the
# switch, its other end INTERFACE (up) in NAMESPACE, which must exist.
trunk_port() {
    ip link add "$2" netns "$trunk_switch" type veth peer name "$4" netns "$3" \
        ${5:+address "$5"} || return 1
    ip -n "$trunk_switch" link set "$2" up && ip -n "$3" link set "$4" up &&
        echo "$1 $2" >>"$trunk_ports"
}

# trunk_switch_start PROGRAM LOG [SWITCH OPTIONS]: runs the switch over the
# ports made so far; returns once it receives.
trunk_switch_start() {
    local program=$1 log=$2
    shift 2
    : >"$log"
    ip netns exec "$trunk_switch" "$program" "$@" --ports "$trunk_ports" trunk >"$log" 2>&1 &
    wait_for "the VLAN switch" grep -q '^ready' "$log"
}
