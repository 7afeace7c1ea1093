#!/usr/bin/env python3
"""Splits a callgrind profile into our code and everything else.

usage: callgrind_split.py CALLGRIND_OUT OUR_OBJECT_SUFFIX FRAMES

Our code is every function in the object whose path ends in
OUR_OBJECT_SUFFIX (the statically linked program, layer and harness).
Prints instructions per frame of ours and in total, our share, the five
functions of ours with the most instructions of their own, and the largest
other objects."""
import collections
import re
import sys

path, suffix, frames = sys.argv[1], sys.argv[2], int(sys.argv[3])
tables = {"ob": {}, "fn": {}, "fl": {}}
kind_of = {"ob": "ob", "cob": "ob", "fn": "fn", "cfn": "fn", "fl": "fl", "fi": "fl",
           "fe": "fl", "cfi": "fl", "cfl": "fl"}
ref = re.compile(r"\((\d+)\)(?: (.*))?$")
own = collections.Counter()
current_ob = current_fn = None
skip_next = False
with open(path, errors="replace") as f:
    for line in f:
        line = line.rstrip("\n")
        if not line:
            continue
        head = line.split("=", 1)[0]
        if head in kind_of and "=" in line:
            value = line.split("=", 1)[1]
            m = ref.match(value)
            table = tables[kind_of[head]]
            if m:
                if m.group(2) is not None:
                    table[m.group(1)] = m.group(2)
                name = table.get(m.group(1), value)
            else:
                name = value
            if head == "ob":
                current_ob = name
            elif head == "fn":
                current_fn = name
            continue
        if line.startswith("calls="):
            skip_next = True
            continue
        if line[0].isdigit() or line[0] in "+-*":
            if skip_next:
                skip_next = False
                continue
            parts = line.split()
            if len(parts) >= 2:
                own[(current_ob, current_fn)] += int(parts[1])

total = sum(own.values())
ours = {k: v for k, v in own.items() if k[0] and k[0].endswith(suffix)}
ours_total = sum(ours.values())
print("instructions_per_frame_total=%d" % (total // frames))
print("instructions_per_frame_ours=%d" % (ours_total // frames))
print("ours_share_percent=%.2f" % (100.0 * ours_total / total if total else 0.0))
for i, ((ob, fn), v) in enumerate(sorted(ours.items(), key=lambda kv: -kv[1])[:5]):
    print("top%d=%d instr/frame (%.2f%% of all) %s" % (i + 1, v // frames, 100.0 * v / total, fn))
objects = collections.Counter()
for (ob, fn), v in own.items():
    objects[(ob or "?").rsplit("/", 1)[-1]] += v
for ob, v in objects.most_common(6):
    print("object=%.1f%% %s" % (100.0 * v / total, ob))
