"""Turns the benchmark results in a folder into the table bench/run prints."""
import json
import re
import sys
from pathlib import Path

MIB = 1024 * 1024


def load(path):
    # A benchmark run a fixed number of times carries "/iterations:N" in its name; it is found
    # by its whole name and by the name before that too.
    found = {}
    for bench in json.loads(path.read_text())["benchmarks"]:
        found[bench["name"]] = bench
        found.setdefault(bench["name"].split("/iterations:")[0], bench)
    return found


def ns(bench):
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[bench["time_unit"]]
    return bench["real_time"] * scale


def fmt_time(value_ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if value_ns >= scale:
            return f"{value_ns / scale:.3g} {unit}"
    return f"{value_ns:.0f} ns"


def peak_rss_kib(path):
    text = path.read_text()
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1))


def rows(folder):
    per_call = load(folder / "per_call.json")
    for name, bench in per_call.items():
        match = re.fullmatch(r"call/realistic/(\w+)/k(\d+)", name)
        if not match:
            continue
        size, k = match.groups()
        call = ns(bench)
        scan = ns(per_call[f"memmem/realistic/{size}/k{k}"])
        copying = ns(next(b for n, b in per_call.items()
                          if n.startswith(f"copying/realistic/{size}/k{k}")))
        tail = f"copying walk {fmt_time(copying)} = {copying / call:.0f}x the call"
        case = f"call, {size} feed, item {k}"
        if scan >= 10e3:
            yield (case, f"{fmt_time(call)} vs memmem {fmt_time(scan)}; {tail}",
                   "call/memmem <= 1.3", call / scan, call / scan <= 1.3)
        else:
            # Below 10 µs the call's own fixed cost (clock, parses, line) is what counts.
            excess = max(call - scan, 0.0)
            yield (case, f"{fmt_time(call)} vs memmem {fmt_time(scan)}, call - memmem "
                   f"{fmt_time(excess)}; {tail}", "call - memmem <= 1 µs", excess / 1e3,
                   excess <= 1e3)
    for name, bench in per_call.items():
        match = re.fullmatch(r"hostile-call/([\w-]+)/(\w+)/k(\d+)", name)
        if not match:
            continue
        kind, size, k = match.groups()
        call = ns(bench)
        scan = ns(per_call[f"whole-scan/{kind}/{size}"])
        yield (f"hostile: {kind} {size}, item {int(k):,}",
               f"{fmt_time(call)} vs whole memmem scan {fmt_time(scan)}",
               "call/scan <= 2", call / scan, call / scan <= 2)

    # What a call costs beyond its line.
    small = ns(per_call["nothing-due/ten-items"])
    huge = ns(per_call["nothing-due/huge-title/32MiB"])
    yield ("nothing due, one item with a 32 MiB title vs a ten-item feed",
           f"{fmt_time(huge)} vs {fmt_time(small)}", "ratio <= 3", huge / small, huge / small <= 3)
    near = ns(per_call["advance/short-items/800000/from1"])
    deep = ns(per_call["advance/short-items/800000/from700000"])
    yield ("advance at positions 700,001..700,200 vs 2..201 (800,000 items, 56 MiB)",
           f"{fmt_time(deep)} vs {fmt_time(near)}", "ratio <= 3", deep / near, deep / near <= 3)
    closes = ns(per_call["advance/closes-only/8MiB/from1"])
    scan = ns(per_call["whole-scan/closes-only/8MiB"])
    yield ("advance over 8 MiB of </item> (one scan for the absent <item>)",
           f"{fmt_time(closes)} vs whole memmem scan {fmt_time(scan)}", "call/scan <= 2",
           closes / scan, closes / scan <= 2)
    entries = ns(per_call["advance/entry-starts/8MiB/from1"])
    scan = ns(per_call["whole-scan/entry-starts/8MiB"])
    # Three searches over the unended entry: its end, a title, a link.
    yield ("advance over 8 MiB of <entry> without </entry> (Atom)",
           f"{fmt_time(entries)} vs whole memmem scan {fmt_time(scan)}", "call/scan <= 4",
           entries / scan, entries / scan <= 4)

    display = load(folder / "display.json")
    for name, bench in display.items():
        kind = name.split("/")[1]
        took = ns(bench)
        extra_mib = (peak_rss_kib(folder / f"display_{kind}.txt") -
                     peak_rss_kib(folder / f"display_{kind}_base.txt")) / 1024
        ratio = max(took / 5e6, extra_mib / 8)
        yield (f"display step, 64 MiB title ({kind}), --max-width 80",
               f"{fmt_time(took)}, +{max(extra_mib, 0):.1f} MiB peak",
               "<= 5 ms and <= 8 MiB", ratio, ratio <= 1)

    downloads = load(folder / "download.json")
    download = downloads["LibraryAgainstCurl/iterations:15/manual_time"]
    lib, curl = download["library_ms"], download["curl_ms"]
    yield ("download 50 MiB (median of 15, alternating)",
           f"library {lib:.1f} ms vs curl {curl:.1f} ms", "library/curl <= 1.2",
           lib / curl, lib / curl <= 1.2)

    gz = downloads["CompressedAgainstPlain/iterations:9/manual_time"]
    plain_bytes, gz_bytes = map(int, (folder / "wire_bytes.txt").read_text().split())
    yield ("download 50 MiB gzip vs as it is (median of 9, alternating)",
           f"{gz['compressed_ms']:.1f} ms vs {gz['plain_ms']:.1f} ms on loopback; "
           f"{gz_bytes / MIB:.2f} MiB vs {plain_bytes / MIB:.0f} MiB on the wire",
           "wire bytes <= 1/4", gz_bytes / plain_bytes, gz_bytes * 4 <= plain_bytes)

    peak_kib = peak_rss_kib(folder / "host_time.txt")
    limit_mib = 2.2 * 50 + 16
    peak_mib = peak_kib / 1024
    yield ("peak RSS, host downloading 50 MiB twice", f"{peak_mib:.1f} MiB",
           f"<= {limit_mib:.0f} MiB", peak_mib / limit_mib, peak_mib <= limit_mib)

    one_mib = peak_rss_kib(folder / "host_one_feed.txt") / 1024
    twenty_mib = peak_rss_kib(folder / "host_20_feeds.txt") / 1024
    yield ("peak RSS, host with 20 feeds of 64 KiB vs one", f"{twenty_mib:.1f} MiB vs {one_mib:.1f} MiB",
           "<= 2x one feed", twenty_mib / (2 * one_mib), twenty_mib <= 2 * one_mib)


def main():
    folder = Path(sys.argv[1])
    markdown = "--markdown" in sys.argv[2:]
    table = list(rows(folder))
    header = ("case", "figure", "target", "ratio", "met")
    lines = [(c, f, t, f"{r:.2f}", "yes" if m else "NO") for c, f, t, r, m in table]
    if markdown:
        print("| " + " | ".join(header) + " |")
        print("|" + "---|" * len(header))
        for line in lines:
            print("| " + " | ".join(line) + " |")
    else:
        widths = [max(len(str(x[i])) for x in [header] + lines) for i in range(len(header))]
        for line in [header] + lines:
            print("  ".join(str(v).ljust(w) for v, w in zip(line, widths)))
    met = sum(m for *_, m in table)
    print(f"\n{met} of {len(table)} targets met")
    return 0 if met == len(table) else 1


if __name__ == "__main__":
    sys.exit(main())
