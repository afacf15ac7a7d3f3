#!/usr/bin/env bash
# Times one Mosaic idea against GIMP's engine (GEGL, gegl:mosaic) doing the
# same job on the same photograph: square tiles of 50 pixels with gaps,
# lit from the top left, on the 2000 x 1072 test photograph.
#
# Fabulor's time is the run alone (BM_Idea/Mosaic/grid/1 of fabulor-bench,
# the photograph decoded once beforehand). GEGL's is the gegl command with
# the mosaic less the same command without it, so that decoding the JPEG
# and writing the result cancel out. Both are CPU seconds (GEGL may use
# several threads) and wall seconds, medians of RUNS runs.
#
# Needs: scripts/install-bench-deps, and a release build of fabulor-bench:
#   cmake --preset release -B build/release && cmake --build build/release --target fabulor-bench
# Environment: BUILD_DIR (default build/release), PHOTO, RUNS (default 5).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build/release}
photo=${PHOTO:-$repo/../shared/testimages/photos/xmp_test.jpg}
runs=${RUNS:-5}

if ! command -v gegl >/dev/null; then
    echo "bench-mosaic-vs-gegl: gegl is missing; run scripts/install-bench-deps" >&2
    exit 1
fi
if [ ! -x "$build/fabulor-bench" ]; then
    echo "bench-mosaic-vs-gegl: no $build/fabulor-bench; build the release preset first" >&2
    exit 1
fi
if [ ! -f "$photo" ]; then
    echo "bench-mosaic-vs-gegl: no photograph at $photo" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/fabulor-bench" --benchmark_filter='^BM_Idea/Mosaic/grid/1$' \
    --benchmark_repetitions="$runs" --benchmark_format=json >"$work/ours.json" 2>/dev/null

python3 - "$work" "$photo" "$runs" <<'PY'
import json, os, resource, statistics, subprocess, sys, time

work, photo, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

with open(os.path.join(work, "ours.json")) as f:
    results = json.load(f)["benchmarks"]
rows = [b for b in results if b.get("run_type") == "iteration"]
if not rows:
    sys.exit("bench-mosaic-vs-gegl: fabulor-bench gave no BM_Idea/Mosaic/grid/1 result")
if rows[0].get("label") != "photo":
    sys.exit("bench-mosaic-vs-gegl: fabulor-bench could not load the photograph")
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[rows[0]["time_unit"]]
ours_cpu = statistics.median(b["cpu_time"] for b in rows) * scale
ours_wall = statistics.median(b["real_time"] for b in rows) * scale

out = os.path.join(work, "gegl.ppm")
mosaic = ["--", "gegl:mosaic", "tile-type=squares", "tile-size=50", "tile-spacing=5",
          "light-dir=135"]

def timed(extra):
    """Median wall and CPU seconds of the gegl command over the runs."""
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(["gegl", photo, "-o", out] + extra, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
    return statistics.median(walls), statistics.median(cpus)

base_wall, base_cpu = timed([])
full_wall, full_cpu = timed(mosaic)
gegl_wall = max(full_wall - base_wall, 1e-6)
gegl_cpu = max(full_cpu - base_cpu, 1e-6)

print(f"photograph       {photo}")
print(f"Fabulor Mosaic   {ours_cpu * 1e3:9.1f} ms CPU {ours_wall * 1e3:9.1f} ms wall")
print(f"GEGL mosaic      {gegl_cpu * 1e3:9.1f} ms CPU {gegl_wall * 1e3:9.1f} ms wall"
      f"   (load+save alone {base_cpu * 1e3:.0f} ms CPU)")
print(f"ratio Fabulor/GEGL  CPU {ours_cpu / gegl_cpu:.3f}   wall {ours_wall / gegl_wall:.3f}")
PY
