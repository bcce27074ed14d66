"""Prints each benchmark's median beside the medians of its references ("X_ref_peer") as ratios."""
import json
import sys

with open(sys.argv[1]) as f:
    runs = json.load(f)["benchmarks"]

medians = {}
rates = {}
for run in runs:
    if run.get("aggregate_name") != "median":
        continue
    name = run["run_name"].removesuffix("/real_time")
    medians[name] = run["real_time"], run["time_unit"]
    if "pixels" in run:  # a rate counter: pixels per second
        rates[name] = run["pixels"]

print()
print(f"{'benchmark':48} {'median':>14} {'ratio':>8}")
for name, (time, unit) in medians.items():
    if "_ref_" in name:
        continue
    extra = f"  {rates[name] / 1e6:.1f} Mpixel/s" if name in rates else ""
    print(f"{name:48} {time:>11.2f} {unit:>2}{'':>9}{extra}")
    for ref, (rtime, runit) in medians.items():
        if ref.startswith(name + "_ref_"):
            rextra = f"  {rates[ref] / 1e6:.1f} Mpixel/s" if ref in rates else ""
            print(f"  {ref:46} {rtime:>11.2f} {runit:>2} {time / rtime:>8.2f}{rextra}")
