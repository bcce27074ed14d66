"""Prints each benchmark's median beside the medians of its references ("X_ref_peer") as ratios.

Counters: "pixels" and "bytes" are rates (shown as Mpixel/s and MB/s); "encoded" is a size in bytes;
"peakBytesPerPixel" a process's peak memory per picture pixel."""
import json
import sys

with open(sys.argv[1]) as f:
    runs = json.load(f)["benchmarks"]

medians = {}
extras = {}
for run in runs:
    if run.get("aggregate_name") != "median":
        continue
    name = run["run_name"].removesuffix("/real_time")
    medians[name] = run["real_time"], run["time_unit"]
    shown = []
    if "bytes" in run:  # a rate counter: raw bytes per second
        shown.append(f"{run['bytes'] / 1e6:.1f} MB/s")
    elif "pixels" in run:  # a rate counter: pixels per second
        shown.append(f"{run['pixels'] / 1e6:.1f} Mpixel/s")
    if "encoded" in run:  # a size: the encoded bytes
        shown.append(f"{run['encoded'] / 1e6:.3f} MB encoded")
    if "peakBytesPerPixel" in run:  # a whole process's peak memory per picture pixel
        shown.append(f"peak {run['peakBytesPerPixel']:.1f} bytes/pixel")
    extras[name] = ("  " + ", ".join(shown)) if shown else ""

print()
print(f"{'benchmark':48} {'median':>14} {'ratio':>8}")
for name, (time, unit) in medians.items():
    if "_ref_" in name:
        continue
    print(f"{name:48} {time:>11.2f} {unit:>2}{'':>9}{extras[name]}")
    for ref, (rtime, runit) in medians.items():
        if ref.startswith(name + "_ref_"):
            print(f"  {ref:46} {rtime:>11.2f} {runit:>2} {time / rtime:>8.2f}{extras[ref]}")
