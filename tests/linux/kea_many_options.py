#!/usr/bin/env python3
"""Writes a kea-dhcp4 configuration that sends many options whether asked or
not (always-send), for dhclient_kea_netns.sh.

Usage: kea_many_options.py INTERFACE FOLDER  (the log goes to FOLDER/kea.log)
"""
import json
import sys

# By Kea's names: every DHCPv4 option both Kea and dhcp-options(5) name that
# a server may send with a plain value.
NAMED = [
    ("routers", "10.66.0.1"), ("domain-name-servers", "10.66.0.1, 10.66.0.2"),
    ("domain-name", "lab.test"), ("time-offset", "3600"), ("time-servers", "10.66.0.1"),
    ("name-servers", "10.66.0.1"), ("log-servers", "10.66.0.1"),
    ("cookie-servers", "10.66.0.1"), ("lpr-servers", "10.66.0.1"),
    ("impress-servers", "10.66.0.1"), ("resource-location-servers", "10.66.0.1"),
    ("boot-size", "16"), ("merit-dump", "/dump"), ("swap-server", "10.66.0.1"),
    ("root-path", "/root"), ("extensions-path", "/ext"), ("ip-forwarding", "false"),
    ("non-local-source-routing", "false"), ("max-dgram-reassembly", "1500"),
    ("default-ip-ttl", "64"), ("path-mtu-aging-timeout", "600"), ("interface-mtu", "1400"),
    ("all-subnets-local", "false"), ("broadcast-address", "10.66.0.255"),
    ("perform-mask-discovery", "false"), ("mask-supplier", "false"),
    ("router-discovery", "true"), ("router-solicitation-address", "10.66.0.1"),
    ("trailer-encapsulation", "false"), ("arp-cache-timeout", "60"),
    ("ieee802-3-encapsulation", "false"), ("default-tcp-ttl", "64"),
    ("tcp-keepalive-interval", "7200"), ("tcp-keepalive-garbage", "false"),
    ("nis-domain", "nis.lab"), ("nis-servers", "10.66.0.1"), ("ntp-servers", "10.66.0.1"),
    ("netbios-name-servers", "10.66.0.1"), ("netbios-dd-server", "10.66.0.1"),
    ("netbios-node-type", "8"), ("netbios-scope", "scope1"), ("font-servers", "10.66.0.1"),
    ("x-display-manager", "10.66.0.1"), ("nwip-domain-name", "nwip.lab"),
    ("nisplus-domain-name", "nisp.lab"), ("nisplus-servers", "10.66.0.1"),
    ("tftp-server-name", "tftp.lab"), ("boot-file-name", "pxelinux.0"),
    ("mobile-ip-home-agent", "10.66.0.1"), ("smtp-server", "10.66.0.1"),
    ("pop-server", "10.66.0.1"), ("nntp-server", "10.66.0.1"), ("www-server", "10.66.0.1"),
    ("finger-server", "10.66.0.1"), ("irc-server", "10.66.0.1"),
    ("streettalk-server", "10.66.0.1"), ("streettalk-directory-assistance-server", "10.66.0.1"),
    ("nds-servers", "10.66.0.1"), ("nds-tree-name", "tree"), ("nds-context", "ctx"),
    ("bcms-controller-names", "bc.lab"), ("bcms-controller-address", "10.66.0.1"),
    ("client-last-transaction-time", "30"), ("associated-ip", "10.66.0.7"),
    ("uap-servers", "http://uap/"), ("pcode", "EST5EDT"), ("tcode", "Europe/Zurich"),
    ("v6-only-preferred", "1800"), ("netinfo-server-address", "10.66.0.1"),
    ("netinfo-server-tag", "tag"),
    ("domain-search", "lab.test, corp.test"), ("v4-lost", "lost.lab"),
    ("capwap-ac-v4", "10.66.0.1"), ("sip-ua-cs-domains", "sip.lab"),
    ("v4-access-domain", "access.lab"), ("v4-captive-portal", "http://portal/"),
    ("name-service-search", "6, 41"), ("subnet-selection", "10.66.0.0"),
]
# By code, as bytes: codes dhclient writes as unknown-N or under names of
# its own (tftp-server-address, loader-configfile). Kea's v4-captive-portal
# is dhclient's default-url (114).
CODED = [(224, "01020304"), (150, "0A420001"), (209, "2f636f6e66")]


def main():
    interface, folder = sys.argv[1], sys.argv[2]
    data = [{"name": n, "data": d, "always-send": True} for n, d in NAMED]
    data += [{"code": c, "data": d, "csv-format": False, "always-send": True} for c, d in CODED]
    config = {"Dhcp4": {
        "interfaces-config": {"interfaces": [interface], "dhcp-socket-type": "raw"},
        "lease-database": {"type": "memfile", "persist": False},
        "valid-lifetime": 600, "renew-timer": 300, "rebind-timer": 525,
        "option-def": [{"name": "site-opt-224", "code": 224, "type": "binary", "space": "dhcp4"},
                       {"name": "tftp-address", "code": 150, "type": "binary", "space": "dhcp4"},
                       {"name": "loader-file", "code": 209, "type": "binary", "space": "dhcp4"}],
        "subnet4": [{"id": 1, "subnet": "10.66.0.0/24",
                     "pools": [{"pool": "10.66.0.100 - 10.66.0.150"}], "option-data": data}],
        "loggers": [{"name": "kea-dhcp4", "severity": "INFO",
                     "output_options": [{"output": folder + "/kea.log"}]}],
    }}
    json.dump(config, sys.stdout, indent=1)


main()
