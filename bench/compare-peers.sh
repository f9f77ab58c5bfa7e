#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times Quillpress's command-line tool against its peers (a Pillow script, pango-view) on the same
# jobs with the same look: DejaVu Sans 20 pt at 96 dpi, black on white, 10 px margins, every run
# into a fresh folder. Each round runs every command of a workload once, one after the other, with
# hyperfine, so that the machine's load hits both sides alike; the table gives medians over the
# rounds of CPU seconds (user + system) and wall seconds, the minor page faults and peak memory of
# one extra run (GNU time's %R and %M, which the machine's load hardly changes), and the ratio
# peer / Quillpress.
#   bash bench/compare-peers.sh [build-dir]          ROUNDS=5 by default
# Needs hyperfine, pango-view (pango1.0-tools), python3 with Pillow (python3-pil) and GNU time:
# bash scripts/setup.sh --bench installs them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-build}" && pwd)"
cli="$build/src/quillpress-cli"
rounds="${ROUNDS:-5}"
for tool in hyperfine pango-view python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done
# Pillow from Debian's python3-pil belongs to the system's interpreter, which another python3
# earlier on the PATH may hide.
py="${PYTHON:-python3}"
if ! "$py" -c 'import PIL' 2>/dev/null; then
  py=/usr/bin/python3
  "$py" -c 'import PIL' 2>/dev/null || { echo "missing: Pillow (python3-pil)" >&2; exit 2; }
fi
[ -x "$cli" ] || { echo "missing: $cli (build first)" >&2; exit 2; }

# Inputs and outputs go to a memory file system when there is one (BENCH_TMPDIR chooses another
# place), so that the disk's handling of the files deleted between rounds does not blur the times.
tmpbase="${BENCH_TMPDIR:-/dev/shm}"
[ -d "$tmpbase" ] && [ -w "$tmpbase" ] || tmpbase="${TMPDIR:-/tmp}"
work="$(mktemp -d -p "$tmpbase")"
trap 'rm -rf "$work"' EXIT
out="$work/out"
export QT_QPA_PLATFORM=offscreen QUILLPRESS_HOME="$work/home"
mkdir -p "$QUILLPRESS_HOME"

# Inputs of fixed shape from a fixed seed.
python3 - "$work" <<'EOF'
import random, sys
work = sys.argv[1]
rng = random.Random(20261210)
words = ("time year people way day man thing woman life child world school state family student "
         "group country problem hand part place case week company system program question work "
         "government number night point home water room mother area money story fact month lot "
         "right study book eye job word business issue side kind head house service friend father "
         "power hour game line end member law car city community name president team minute idea "
         "kid body information back parent face others level office door health person art war "
         "history party result change morning reason research girl guy moment air teacher force "
         "education foot boy age policy process music market sense nation plan college interest "
         "death experience effect use class control care field development role effort rate heart "
         "drug show leader light voice wife police mind price report decision son view relationship "
         "town road arm difference value building action model season society tax director position "
         "player record paper space ground form event official matter center couple site project "
         "activity star table need court oil situation cost industry figure street image phone data "
         "picture practice piece land product doctor wall patient worker news test movie north love "
         "support technology step baby computer type attention film tree source organization hair "
         "window evidence population site training letter").split()
def sentence(n):
    return " ".join(rng.choice(words) for _ in range(n)).capitalize()
def text(length):
    s = ""
    while len(s) < length:
        s += sentence(rng.randint(6, 14)) + ". "
    return s[:length].rstrip()
with open(f"{work}/w1.txt", "w") as f:
    for _ in range(1000):
        f.write(sentence(rng.randint(3, 8)) + "\n")
with open(f"{work}/w2.txt", "w") as f:
    f.write(text(5000) + "\n")
with open(f"{work}/long.txt", "w") as f:
    f.write(text(100000) + "\n")
with open(f"{work}/same.txt", "w") as f:
    f.write("Hello World\n" * 10000)
with open(f"{work}/w3.txt", "w") as f:
    for _ in range(118):
        f.write(text(230) + "\n")
EOF

look=(--no-start-config -q -o "$out" --set "label2=DejaVu Sans" --set FSize=20 --set cb_antialias=1
      --set act_text_fontcolor=#000000 --set act_text_hintergrund=#FFFFFF --set abs_z=0
      --set abs_o=10 --set abs_u=10 --set abs_l=10 --set abs_r=10 --set abstand_var=1 --set max_breite=0)
qp() { printf '%q ' "$cli" "${look[@]}" "$@"; }
pillow() { printf '%q ' "$py" "$here/pillow_peer.py" "$@"; }
pango() { printf '%q ' pango-view -q --font="DejaVu Sans 20" --dpi=96 --margin=10 --foreground=black --background=white "$@"; }

# workload id | label | goal (peer / Quillpress in CPU and wall time, or seconds) | commands
results="$work/results"
mkdir -p "$results"
bench() {
  local id="$1" label="$2" goal="$3"; shift 3
  local names=() cmds=()
  while (($#)); do names+=("$1"); cmds+=("$2"); shift 2; done
  printf '%s\t%s\t%s\t%s\n' "$id" "$label" "$goal" "${names[*]}" >> "$results/workloads"
  local args=()
  for i in "${!names[@]}"; do args+=(-n "${names[$i]}" "${cmds[$i]}"); done
  echo "== $label" >&2
  for ((r = 1; r <= rounds; ++r)); do
    hyperfine --runs 1 --style none --prepare "rm -rf '$out'; mkdir -p '$out'" \
      --export-json "$results/$id.$r.json" "${args[@]}" >/dev/null
  done
  for i in "${!names[@]}"; do
    rm -rf "$out"; mkdir -p "$out"
    /usr/bin/time -f '%R %M' -o "$results/$id.${names[$i]}.rss" bash -c "${cmds[$i]}" >/dev/null 2>&1 || true
  done
}

bench w1png "W1: 1,000 lines, one PNG per line" "3" \
  quillpress "$(qp --per-line -f png --text-file "$work/w1.txt")" \
  pillow "$(pillow per-line "$work/w1.txt" "$out" .png)"
bench w1jpg "W1 as JPEG quality 100 (baseline)" "3" \
  quillpress "$(qp --per-line -f jpg --set out_quality=100 --set progressivaktiv=0 --text-file "$work/w1.txt")" \
  pillow "$(pillow per-line "$work/w1.txt" "$out" .jpg)"
bench w1gif "W1 as GIF" "4" \
  quillpress "$(qp --per-line -f gif --text-file "$work/w1.txt")" \
  pillow "$(pillow per-line "$work/w1.txt" "$out" .gif)"
bench w2 "W2: 5,000 characters wrapped at 400 px, PNG" "1" \
  quillpress "$(qp -f png --set max_breite=1 --set abs_bmax=400 --text-file "$work/w2.txt")" \
  pango-view "$(pango --width=285 --wrap=word --output="$out/w2.png" "$work/w2.txt")"
# pango-view is no peer here: the image (400 x about 110,000 px) is over its drawing library's
# 32,767-pixel limit, and it writes an empty file and exits 0.
bench long "one line of 100,000 characters wrapped at 400 px" "2" \
  quillpress "$(qp -f png --set max_breite=1 --set abs_bmax=400 --text-file "$work/long.txt")" \
  pillow "$(pillow wrap "$work/long.txt" "$out" 400)"
bench same "per-line run of 10,000 identical lines, PNG" "<2s" \
  quillpress "$(qp --per-line -f png --text-file "$work/same.txt")"
bench w3 "W3: fixed 4000 x 4000 page of 118 lines, PNG" "2" \
  quillpress "$(qp -f png --set abstand_fix=1 --set abs_b=4000 --set abs_h=4000 --text-file "$work/w3.txt")" \
  pillow "$(pillow page "$work/w3.txt" "$out" 4000 4000)"
bench label "one short label, start to file, PNG" "1" \
  quillpress "$(qp -f png Hello)" \
  pango-view "$(pango --output="$out/label.png" --text=Hello)"

python3 - "$results" "$rounds" <<'EOF'
import json, statistics, sys, datetime, platform
folder, rounds = sys.argv[1], int(sys.argv[2])
print(f"Quillpress against its peers, {datetime.date.today().isoformat()}, {rounds} rounds, "
      f"{platform.machine()} with {__import__('os').cpu_count()} cores")
print()
print("| workload | Quillpress CPU / wall / faults / peak | peer | peer CPU / wall / faults / peak "
      "| ratio CPU / wall | goal | met |")
print("|---|---|---|---|---|---|---|")
for row in open(f"{folder}/workloads"):
    wid, label, goal, names = row.rstrip("\n").split("\t")
    names = names.split(" ")
    cpu = {n: [] for n in names}
    wall = {n: [] for n in names}
    for r in range(1, rounds + 1):
        for res in json.load(open(f"{folder}/{wid}.{r}.json"))["results"]:
            cpu[res["command"]].append(res["user"] + res["system"])
            wall[res["command"]].append(res["median"])
    def memory(n):
        """Minor page faults and peak resident memory of the extra run, from GNU time."""
        try:
            faults, peak = open(f"{folder}/{wid}.{n}.rss").read().split()[-2:]
            return int(faults), int(peak) / 1024
        except (OSError, ValueError):
            return None, None
    def memory_text(n):
        faults, peak = memory(n)
        return "? / ?" if faults is None else f"{faults:,} / {peak:.0f} MB"
    q = names[0]
    qc, qw = statistics.median(cpu[q]), statistics.median(wall[q])
    mine = f"{qc:.3f} s / {qw:.3f} s / {memory_text(q)}"
    if len(names) == 1:
        limit = float(goal.strip("<s"))
        met = "yes" if qc < limit and qw < limit else "no"
        print(f"| {label} | {mine} | - | - | - | under {limit:g} s | {met} |")
        continue
    p = names[1]
    pc, pw = statistics.median(cpu[p]), statistics.median(wall[p])
    rc, rw = pc / qc, pw / qw
    want = float(goal)
    met = "yes" if rc >= want and rw >= want else "no"
    goal_text = f"{want:g}x faster" if want > 1 else "faster" if label.startswith("W2") else "no slower"
    if not label.startswith("W2") and want == 1:
        met = "yes" if rc >= 1 and rw >= 1 else "no"
    (qf, qm), (pf, pm) = memory(q), memory(p)
    if qf is not None and pf is not None:
        met += ", memory " + ("yes" if qf <= pf and qm <= pm else "no")
    print(f"| {label} | {mine} | {p} | {pc:.3f} s / {pw:.3f} s / {memory_text(p)} "
          f"| {rc:.2f} / {rw:.2f} | {goal_text} | {met} |")
EOF
