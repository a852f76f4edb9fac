#!/usr/bin/env python3
"""Time from exec to the first complete picture, and peak resident memory, of the program started
with a recording on its command line; beside it, in the same run, a plain read of the same bytes
with a per-pixel-column min/max loop (bench/first_picture_reference), and EDFbrowser on the same
recording as EDF when it is installed.

    bench/first_picture.py BUILD_DIR [HOURS ...]     (default hours: 1 10 24)

Recordings of 3 channels at 1 kHz are written once to $QUARVEL_BENCH_DATA (default
/tmp/quarvel-bench) by bench/make_recording.py, as .bin and as EDF. The program reports its first
picture itself (QUARVEL_FIRST_PICTURE_REPORT, see src/window/app/first_picture_report.h); its
question for an EDF file's channel count is answered with Return through xdotool as soon as the
box shows, so the EDF times include that keystroke. Each figure is the median of RUNS runs
(default 3) after one run that warms the page cache, on an Xvfb display of its own.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RUNS = int(os.environ.get("RUNS", "3"))


def recording(hours):
    folder = os.environ.get("QUARVEL_BENCH_DATA", "/tmp/quarvel-bench")
    os.makedirs(folder, exist_ok=True)
    prefix = os.path.join(folder, "h%g" % hours)
    if not (os.path.exists(prefix + ".bin") and os.path.exists(prefix + ".edf")):
        subprocess.run([sys.executable, os.path.join(HERE, "make_recording.py"), str(hours), prefix], check=True)
    return prefix


def answer_questions(proc, deadline):
    """Presses Return in the program's input box (the EDF channel question) when it shows."""
    if not shutil.which("xdotool"):
        return
    while proc.poll() is None and time.time() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Channel number"],
                               capture_output=True, text=True)
        if found.stdout.strip():
            subprocess.run(["xdotool", "windowfocus", "--sync", found.stdout.split()[0], "key", "Return"])
            return
        time.sleep(0.002)


def quarvel_once(program, path):
    fd, report = tempfile.mkstemp()
    os.close(fd)
    os.unlink(report)
    env = dict(os.environ, QUARVEL_FIRST_PICTURE_REPORT=report)
    start = time.time_ns()
    errors = tempfile.TemporaryFile()
    proc = subprocess.Popen([program, path], env=env, stdout=subprocess.DEVNULL, stderr=errors)
    if path.endswith(".edf"):
        answer_questions(proc, time.time() + 60)
    try:
        proc.wait(timeout=60)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise
    if not os.path.exists(report):
        errors.seek(0)
        raise RuntimeError("%s %s ended (%d) without its first-picture report:\n%s" % (
            program, path, proc.returncode, errors.read().decode(errors="replace")))
    with open(report) as f:
        done, kb = f.read().split()
    os.unlink(report)
    return (int(done) - start) / 1e9, int(kb) / 1024


def edfbrowser_once(path):
    """EDFbrowser has no report of its own: the time until its window shows the file's name in
    the title, and its peak memory from /proc while it runs."""
    start = time.time_ns()
    proc = subprocess.Popen(["edfbrowser", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    peak = 0
    shown = None
    name = os.path.basename(path)
    while shown is None and proc.poll() is None and time.time_ns() - start < 120e9:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid), "--name", name],
                               capture_output=True, text=True)
        if found.stdout.strip():
            shown = (time.time_ns() - start) / 1e9
        try:
            with open("/proc/%d/status" % proc.pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        peak = max(peak, int(line.split()[1]) / 1024)
        except OSError:
            pass
        time.sleep(0.005)
    proc.kill()
    proc.wait()
    return shown, peak


def reference_once(reference, path):
    out = subprocess.run([reference, path], capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]) / 1000


def median_of(f):
    f()  # warms the page cache
    runs = [f() for _ in range(RUNS)]
    if isinstance(runs[0], tuple):
        return tuple(statistics.median(r[k] for r in runs) for k in range(len(runs[0])))
    return statistics.median(runs)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    hours = [float(h) for h in sys.argv[2:]] or [1, 10, 24]
    program = os.path.join(build, "src", "quarvel")
    reference = os.path.join(build, "bench", "first_picture_reference")
    # A display of its own, so that no other program's windows or keys come in between.
    display = next(n for n in range(97, 200) if not os.path.exists("/tmp/.X11-unix/X%d" % n))
    xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                            stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = ":%d" % display
    while not os.path.exists("/tmp/.X11-unix/X%d" % display):
        time.sleep(0.05)
    have_peer = shutil.which("edfbrowser") is not None and shutil.which("xdotool") is not None
    if not have_peer:
        print("EDFbrowser: not installed; its columns stay empty")
    # What the program holds with a recording of one second: the growth of the others is above it.
    base_mb = median_of(lambda: quarvel_once(program, recording(1 / 3600) + ".bin"))[1]
    print("program with a 1 s recording: %.0f MB" % base_mb)
    print("%-6s %8s %12s %16s %16s %7s %9s %10s %18s" % ("file", "MB", "reference s", ".bin s, MB", "EDF s, MB",
                                                       "x ref", "EDF/bin", "growth/MB", "EDFbrowser s, MB"))
    first_times = {}
    for h in hours:
        prefix = recording(h)
        size = os.path.getsize(prefix + ".bin") / 1e6
        ref = median_of(lambda: reference_once(reference, prefix + ".bin"))
        bin_t, bin_mb = median_of(lambda: quarvel_once(program, prefix + ".bin"))
        edf_t, edf_mb = median_of(lambda: quarvel_once(program, prefix + ".edf"))
        peer = "-"
        if have_peer:
            p_t, p_mb = median_of(lambda: edfbrowser_once(prefix + ".edf"))
            peer = "%.2f, %.0f" % (p_t, p_mb) if p_t is not None else "no window"
        first_times[h] = bin_t
        print("%-6s %8.0f %12.3f %16s %16s %7.2f %9.2f %10.3f %18s" % (
            "%gh" % h, size, ref, "%.3f, %.0f" % (bin_t, bin_mb), "%.3f, %.0f" % (edf_t, edf_mb),
            bin_t / ref, edf_t / bin_t, (bin_mb - base_mb) * 1.048576 / size, peer))
    if 1 in first_times and 10 in first_times:
        print("10 h / 1 h: %.2f" % (first_times[10] / first_times[1]))
    xvfb.kill()


if __name__ == "__main__":
    main()
