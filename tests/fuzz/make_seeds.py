#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs: realistic tables and malformed shapes.

Run from this folder; the seeds are committed, this script is how they were made.
"""
import os


def structure(kind, length, strings=(), handle=0):
    fields = bytes(length - 4)
    string_set = b"".join(s.encode() + b"\0" for s in strings) + b"\0"
    if not strings:
        string_set = b"\0\0"
    return bytes([kind, length, handle & 0xFF, handle >> 8]) + fields + string_set


def oem(*strings):
    body = b"".join(s.encode() + b"\0" for s in strings) + b"\0" if strings else b"\0\0"
    return bytes([11, 5, 0x00, 0x0B, len(strings)]) + body


def realistic(*oem_strings):
    return (structure(0, 0x1A, ("Vendor", "1.2.3", "03/14/2025"), 0)
            + structure(1, 0x1B, ("Vendor", "ZI370", "1.0", "SN1"), 1)
            + structure(2, 0x0F, ("Vendor", "Board"), 2)
            + structure(3, 0x16, ("Vendor",), 3)
            + structure(4, 0x30, ("CPU0", "Intel(R) Corporation"), 4)
            + structure(17, 0x28, ("DIMM0", "BANK 0"), 0x11)
            + structure(32, 0x0B, (), 0x20)
            + oem(*oem_strings)
            + structure(127, 4, (), 0xFFFF))


tables = {
    "realistic_01": realistic("01", "Panel"),
    "realistic_00": realistic("00"),
    "realistic_no_strings": realistic(),
    "two_oem": oem("00") + oem("01"),
    "oem_first": oem("01"),
    "oem_unclosed": structure(1, 4) + bytes([11, 5, 0, 0, 1, 0x30, 0x31]),
    "oem_cut_short": structure(1, 4) + bytes([11, 5, 0, 0, 1, 0x30]),
    "length_zero_and_one": bytes([0, 0, 1, 0, 0x34, 0x12, 0, 0, 2, 1, 0, 0]) + oem("01"),
    "length_past_end": bytes([1, 0xFF, 0, 0, 0, 0]),
    "odd_trailing_nuls": structure(1, 4) + bytes(3),
    "end_of_table_first": structure(127, 4) + oem("01"),
    "empty": b"",
}

# Fault picks: step (0-8 a failing read step, 9-11 none), status, shape, registry.
fault_prefixes = {
    "none": bytes([9, 0, 0x10, 0x08]),
    "connect_fails": bytes([2, 0, 0x10, 0x08]),
    "next_fails_already_initialised": bytes([5, 0x80, 0x10, 0x08]),
    "data_is_string": bytes([11, 0, 0x12, 0x18]),
    "no_key_create_fails": bytes([10, 0, 0x10, 0x02]),
    "write_fails": bytes([9, 0, 0x50, 0x0C]),
}

os.makedirs("seeds/fuzz_table", exist_ok=True)
os.makedirs("seeds/fuzz_faults", exist_ok=True)
for name, table in tables.items():
    with open(f"seeds/fuzz_table/{name}", "wb") as seed:
        seed.write(table)
for name, prefix in fault_prefixes.items():
    with open(f"seeds/fuzz_faults/{name}", "wb") as seed:
        seed.write(prefix + tables["realistic_01"])
