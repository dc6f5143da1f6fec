#!/usr/bin/env python3
"""What bench/census-vlans/run reports of one census: the responders found
per family, the census's wall clock, CPU time and peak memory, and its first
reply delays against tshark's timestamps of the same frames.

Usage: report.py CENSUS_JSON TIME_V_OUTPUT FRAMES CENSUS_MAC VLANS FAMILIES WAIT_S
FRAMES: tshark's time, VLAN, source MAC, DHCP type, DHCPv6 type, ICMPv6 type.
"""
import json
import statistics
import sys

doc_path, time_path, frames_path, mac, vlans, families, wait_s = sys.argv[1:]
vlans, families, wait_s = int(vlans), int(families), float(wait_s)
doc = json.load(open(doc_path))

# (family key in the document, its responder list, its first-reply member,
#  the probe and the reply as (column, value) of the CSV)
KINDS = [
    ("dhcpv4", "servers", "first_offer_ms", (3, "1"), (3, "2")),
    ("dhcpv6", "servers", "first_advertise_ms", (4, "1"), (4, "2")),
    ("routers", "routers", "first_router_ms", (5, "133"), (5, "134")),
][:3 if families == 3 else 1]

frames = []
for line in open(frames_path):
    fields = line.rstrip("\n").split("\t")
    frames.append((float(fields[0]), int(fields[1] or 0), fields[2], fields))
t0 = min(t for t, _, src, _ in frames if src == mac)

stats = {}
for line in open(time_path):
    key, _, value = line.strip().rpartition(": ")
    stats[key] = value
cpu = float(stats["User time (seconds)"]) + float(stats["System time (seconds)"])
wall = stats["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":")
wall_s = float(wall[-1]) + 60 * float(wall[-2])
print(f"wall clock {wall_s:.2f} s for a wait of {wait_s:g} s (+{wall_s - wait_s:.2f} s); "
      f"CPU {cpu:.2f} s; peak RSS {int(stats['Maximum resident set size (kbytes)']) / 1024:.1f} MiB")

by_vlan = {v["vlan"]: v for v in doc["vlans"]}
for key, members, first, probe, reply in KINDS:
    found = sum(1 for v in doc["vlans"] if (v.get(key) or {}).get(members))
    vs_first, vs_own, unsolicited = [], [], 0
    for vlan in range(1, vlans + 1):
        reported = (by_vlan.get(vlan, {}).get(key) or {}).get(first)
        sent = [t for t, v, src, f in frames if v == vlan and src == mac and f[probe[0]] == probe[1]]
        replies = [t for t, v, src, f in frames
                   if v == vlan and src != mac and f[reply[0]] == reply[1] and t >= t0]
        got = [t for t in replies if sent and t >= sent[0]]
        if reported is None or not got:
            continue
        # An unsolicited advertisement between the census's start and the
        # VLAN's probe is its first answer, timed 0: no delay of the probe's.
        if replies[0] < got[0]:
            unsolicited += 1
            continue
        vs_first.append(reported - (got[0] - t0) * 1000)
        vs_own.append(reported - (got[0] - sent[0]) * 1000)
    print(f"{key}: {found} of {vlans} VLANs answered", end="")
    if unsolicited:
        print(f", {unsolicited} first before their probe went out (left out)", end="")
    for name, diffs in (("census start", vs_first), ("the VLAN's own probe", vs_own)):
        if diffs:
            within = sum(1 for d in diffs if abs(d) <= 1)
            print(f"; {first} minus tshark's delay from {name}: median {statistics.median(diffs):+.3f} ms,"
                  f" max |{max(abs(d) for d in diffs):.3f}| ms, {within} of {len(diffs)} within 1 ms",
                  end="")
    print()
