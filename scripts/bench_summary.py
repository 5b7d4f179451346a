#!/usr/bin/env python3
"""Runs the Quillet benchmarks and prints one summary table.

Time: each operation and its baseline run in one process, their repetitions
randomly interleaved, so that both meet the same machine (the build machine
is shared, and an fsync's cost swings with the disk's other traffic). The
figure of each is the median wall-clock time of its repetitions.

Memory: each benchmark also runs alone in a fresh process, once with one
repetition and once with three; the peak resident set (ru_maxrss) is
recorded after every repetition. Memory grows with repetitions when the
peak after the last of the three is above the peak after the first. The
benchmarks that run a program of their own report no peak ("n/a").
"""
import argparse
import json
import os
import subprocess
import sys

# operation, chart label, baseline benchmark, operation benchmark, goal (ratio)
ROWS = [
    ("SddPDLOthMacLasCutGetInf, 13-table file", "GetInf", "BM_PdlGetInf_Baseline", "BM_PdlGetInf", 1.5),
    ("dialog save, one table", "save 1 table", "BM_PdlSaveOne_Baseline", "BM_PdlSaveOne", 2.0),
    ("dialog save, whole group", "save group", "BM_PdlSaveGroup_Baseline", "BM_PdlSaveGroup", 3.0),
    ("SddGetOthMacCondPath, 10,000 x 500", "CondPath", "BM_OthMacLookup_Baseline", "BM_OthMacLookup", 2.0),
    ("MD_CreateNC, 1,000,000 records", "CreateNC", "BM_CreateNc_Baseline", "BM_CreateNc", 1.05),
    ("MD_SetCurrentInfo, 13 x 99 items", "SetCurrentInfo", "BM_SetCurrentInfo_Baseline", "BM_SetCurrentInfo", 2.0),
    ("SddPDLOthMacTypeGet, alias file", "TypeGet", "BM_PdlTypeGet_Baseline", "BM_PdlTypeGet", 1.5),
    ("quillet-host template-path, new process", "start-up", "BM_HostTemplatePath_Baseline",
     "BM_HostTemplatePath", 5.0),
]

TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def run(bench, noop_dir, pattern, repetitions, min_time, interleave=False):
    """Runs the benchmarks whose names match pattern; returns name -> runs."""
    env = dict(os.environ)
    env["LD_LIBRARY_PATH"] = noop_dir + (":" + env["LD_LIBRARY_PATH"] if env.get("LD_LIBRARY_PATH") else "")
    env["LC_ALL"] = "C.UTF-8"
    for variable in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        env.pop(variable, None)
    args = [bench, f"--benchmark_filter={pattern}", "--benchmark_format=json",
            f"--benchmark_repetitions={repetitions}", f"--benchmark_min_time={min_time}"]
    if interleave:
        args.append("--benchmark_enable_random_interleaving=true")
    done = subprocess.run(args, env=env, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"{pattern} failed:\n{done.stderr}")
    report = json.loads(done.stdout)
    by_name = {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        if b.get("error_occurred"):
            sys.exit(f"{b['name']}: {b.get('error_message')}")
        # (a benchmark timed by the wall clock adds "/real_time" to its name)
        by_name.setdefault(b["run_name"].removesuffix("/real_time"), []).append(b)
    return by_name


def median(values):
    values = sorted(values)
    mid = len(values) // 2
    return values[mid] if len(values) % 2 else (values[mid - 1] + values[mid]) / 2


def timing(runs):
    times = [b["real_time"] * TO_NS[b["time_unit"]] for b in runs]
    return {"median_ns": median(times), "times_ns": times}


def memory(bench, noop_dir, name, min_time):
    single = run(bench, noop_dir, f"^{name}(/real_time)?$", 1, min_time)[name]
    if "peak_rss_kb" not in single[0]:
        return {"peak_rss_kb_1x": None, "peak_rss_kb_3x": None, "grows": False}
    triple = run(bench, noop_dir, f"^{name}(/real_time)?$", 3, min_time)[name]
    peaks = [b.get("peak_rss_kb", 0) for b in triple]
    return {"peak_rss_kb_1x": single[0].get("peak_rss_kb", 0), "peak_rss_kb_3x": max(peaks),
            "peak_rss_kb_by_repetition": peaks,
            # a few pages of allocator slack aside
            "grows": peaks[-1] > peaks[0] + 64}


def fmt_time(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def fmt_peaks(figures):
    if figures["peak_rss_kb_1x"] is None:
        return "n/a"
    return f"{figures['peak_rss_kb_1x']:.0f} / {figures['peak_rss_kb_3x']:.0f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", required=True)
    parser.add_argument("--noop-dir", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--repetitions", type=int, default=9)
    parser.add_argument("--min-time", default="0.2")
    parser.add_argument("--memory-min-time", default="0.1")
    options = parser.parse_args()
    os.makedirs(options.out, exist_ok=True)

    results = []
    for label, short, baseline, operation, goal in ROWS:
        row = {"operation": label, "label": short, "goal": goal}
        runs = run(options.bench, options.noop_dir, f"^({baseline}|{operation})(/real_time)?$",
                   options.repetitions, options.min_time, interleave=True)
        row["baseline"] = timing(runs[baseline])
        row["op"] = timing(runs[operation])
        row["baseline"].update(memory(options.bench, options.noop_dir, baseline, options.memory_min_time))
        row["op"].update(memory(options.bench, options.noop_dir, operation, options.memory_min_time))
        row["ratio"] = row["op"]["median_ns"] / row["baseline"]["median_ns"]
        row["met"] = row["ratio"] <= goal
        row["memory_flat"] = not row["op"]["grows"] and not row["baseline"]["grows"]
        results.append(row)
        print(f"  {label}: {row['ratio']:.2f}x", file=sys.stderr)

    header = ["operation", "baseline (same run)", "operation", "ratio", "goal", "met?",
              "peak RSS 1x / 3x (KiB)", "grows?"]
    lines = []
    for r in results:
        lines.append([r["operation"], fmt_time(r["baseline"]["median_ns"]), fmt_time(r["op"]["median_ns"]),
                      f"{r['ratio']:.2f}x", f"<= {r['goal']:g}x", "yes" if r["met"] else "NO",
                      fmt_peaks(r["op"]),
                      "no" if r["memory_flat"] else "YES"])
    widths = [max(len(h), *(len(l[i]) for l in lines)) for i, h in enumerate(header)]
    table = ["| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |",
             "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
    table += ["| " + " | ".join(c.ljust(w) for c, w in zip(l, widths)) + " |" for l in lines]
    print("\n".join(table))

    with open(os.path.join(options.out, "summary.md"), "w") as f:
        f.write("\n".join(table) + "\n")
    with open(os.path.join(options.out, "summary.json"), "w") as f:
        json.dump(results, f, indent=2)
    with open(os.path.join(options.out, "ratios.dat"), "w") as f:
        f.write("# label ratio goal\n")
        for r in results:
            f.write(f"\"{r['label']}\" {r['ratio']:.4f} {r['goal']}\n")
    return 0 if all(r["met"] and r["memory_flat"] for r in results) else 1


if __name__ == "__main__":
    sys.exit(main())
