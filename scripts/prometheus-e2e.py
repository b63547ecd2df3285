#!/usr/bin/env python3
"""The companion's metrics files seen by Prometheus's own tools, end to end.

  scripts/prometheus-e2e.py [NATIVE_BUILD_DIR]

1. The README's scrape configuration and alert rules pass `promtool check
   config` and `promtool check rules`, taken from the README as they stand.
2. On the loopback address only, in a temporary folder: node_exporter
   serving a textfile folder, Prometheus scraping it every second, two
   simulated boards with different readings, each measured by its own
   companion with --metrics-file. Every file the companions wrote (while
   measuring and at the end) passes `promtool check metrics`; Prometheus's
   HTTP API gives, for each device, the voltage and RSOC its board sent
   (the last line of the companion's --out file) and vantrel_measuring 1
   during the runs and 0 after them.

Bounded in time; every process it starts is stopped on every way out (and
gets SIGTERM from the kernel should this script itself be killed).
"""
import ctypes
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "native"))
DEADLINE_S = 90        # the whole run, a bound against a hang
RUN_SECONDS = 6        # each companion's --duration
FIRST_SAMPLES = (0, 200)  # far apart on the simulator's discharge curve

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


class Failure(Exception):
    pass


def _die_with_parent():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class Processes:
    """Every child, stopped on exit whatever happens."""

    def __init__(self, folder):
        self.folder = folder
        self.children = []

    def start(self, name, args):
        log = open(os.path.join(self.folder, name + ".log"), "wb")
        try:
            child = subprocess.Popen(args, stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                     preexec_fn=_die_with_parent)
        finally:
            log.close()
        self.children.append((name, child))
        return child

    def log(self, name):
        with open(os.path.join(self.folder, name + ".log"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def stop_all(self):
        for _, child in self.children:
            if child.poll() is None:
                child.terminate()
        for name, child in self.children:
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()


def readme_block(readme, introduction):
    """The indented block after the paragraph that starts with `introduction`."""
    at = readme.find(introduction)
    if at < 0:
        raise Failure("README has no paragraph starting " + repr(introduction))
    lines = readme[at:].split("\n")
    block, started = [], False
    for line in lines:
        if line.startswith("    "):
            started = True
            block.append(line[4:])
        elif started and line.strip():
            break
        elif started:
            block.append("")
    return "\n".join(block).strip("\n") + "\n"


def promtool(*args):
    # `check metrics` reads standard input only.
    stdin = None
    if args[:2] == ("check", "metrics"):
        stdin = open(args[2], "rb")
    try:
        run = subprocess.run(["promtool", *args[:2]] if stdin else ["promtool", *args], stdin=stdin,
                             capture_output=True, timeout=60)
    finally:
        if stdin:
            stdin.close()
    run.stdout, run.stderr = run.stdout.decode("utf-8", "replace"), run.stderr.decode("utf-8", "replace")
    output = (run.stdout + run.stderr).strip()
    print("promtool " + " ".join(os.path.basename(a) if os.path.isabs(a) else a for a in args) + ": " +
          (output.replace("\n", " | ") or "no complaint"))
    if run.returncode != 0:
        raise Failure("promtool %s %s failed" % (args[1], os.path.basename(args[2])))


def check_readme(folder):
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    rules = os.path.join(folder, "vantrel-rules.yml")
    config = os.path.join(folder, "prometheus.yml")
    with open(rules, "w") as f:
        f.write(readme_block(readme, "Alert rules that fit a bench"))
    with open(config, "w") as f:
        f.write(readme_block(readme, "Prometheus then scrapes each bench PC"))
    promtool("check", "rules", rules)
    # Also reads the rule file the configuration names, beside it.
    promtool("check", "config", config)


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def get(url, timeout=2):
    with urllib.request.urlopen(url, timeout=timeout) as r:
        return r.read().decode("utf-8")


def query(port, expr):
    """{device: value} of an instant query."""
    text = get("http://127.0.0.1:%d/api/v1/query?%s" % (port, urllib.parse.urlencode({"query": expr})))
    answer = json.loads(text)
    if answer.get("status") != "success":
        raise Failure("query %s: %s" % (expr, text))
    return {r["metric"].get("device"): float(r["value"][1]) for r in answer["data"]["result"]}


def wait_for(what, done, until, pause=0.25):
    while time.monotonic() < until:
        try:
            if done():
                return
        except (OSError, ValueError):
            pass  # not up yet
        time.sleep(pause)
    raise Failure("gave up waiting for " + what)


def last_reading(out_path):
    """(RSOC percent, voltage mV) of the last log line."""
    with open(out_path, "rb") as f:
        lines = [l for l in f.read().decode("ascii").split("\r\n") if l]
    if not lines:
        raise Failure(out_path + " holds no reading")
    fields = [x.strip() for x in lines[-1].split(",")]
    return int(fields[1]), int(fields[3]), len(lines)


def run_chain(folder, procs):
    until = time.monotonic() + DEADLINE_S
    cli = os.path.join(BUILD, "vantrel-cli")
    sim = os.path.join(BUILD, "vantrel-sim")
    textfiles = os.path.join(folder, "textfile")
    os.mkdir(textfiles)

    exporter_port, prometheus_port = free_port(), free_port()
    procs.start("node_exporter", [
        "prometheus-node-exporter", "--web.listen-address=127.0.0.1:%d" % exporter_port,
        "--collector.disable-defaults", "--collector.textfile",
        "--collector.textfile.directory=" + textfiles])
    config = os.path.join(folder, "e2e-prometheus.yml")
    with open(config, "w") as f:
        f.write("global:\n  scrape_interval: 1s\n  evaluation_interval: 1s\n"
                "scrape_configs:\n  - job_name: benches\n    static_configs:\n"
                "      - targets: ['127.0.0.1:%d']\n" % exporter_port)
    procs.start("prometheus", [
        "prometheus", "--config.file=" + config, "--storage.tsdb.path=" + os.path.join(folder, "data"),
        "--web.listen-address=127.0.0.1:%d" % prometheus_port])

    boards = []
    for index, first in enumerate(FIRST_SAMPLES):
        name = "board%d" % (index + 1)
        path = os.path.join(folder, name + ".sock")
        procs.start(name + "-sim", [sim, "--path", path, "--period", "200", "--start-sample", str(first)])
        boards.append({"name": name, "socket": path,
                       "out": os.path.join(folder, name + ".txt"),
                       "metrics": os.path.join(textfiles, name + ".prom")})
    wait_for("the simulators", lambda: all(os.path.exists(b["socket"]) for b in boards), until)
    wait_for("node_exporter to be scraped",
             lambda: query(prometheus_port, 'up{job="benches"}') == {None: 1.0}, until)

    env = dict(os.environ, VANTREL_DEVICE=";".join(b["socket"] for b in boards))
    ini = os.path.join(folder, "Vantrel.ini")
    with open(ini, "w") as f:
        f.write("[Comm]\nReceiveInterval=1\n")
    for b in boards:
        log = open(os.path.join(folder, b["name"] + "-cli.log"), "wb")
        try:
            b["cli"] = subprocess.Popen(
                [cli, "measure", "--config", ini, "--device", b["socket"], "--duration", str(RUN_SECONDS),
                 "--out", b["out"], "--metrics-file", b["metrics"]],
                stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, env=env,
                preexec_fn=_die_with_parent)
        finally:
            log.close()
        procs.children.append((b["name"] + "-cli", b["cli"]))

    # While they measure: every file checked as written, and Prometheus sees both running.
    checked = []
    def snapshot_running():
        for b in boards:
            if b["name"] in checked or not os.path.exists(b["metrics"]):
                continue
            copy = os.path.join(folder, b["name"] + "-running.prom")
            shutil.copyfile(b["metrics"], copy)
            with open(copy) as f:
                if re.search(r"^vantrel_measuring\{.*\} 1$", f.read(), re.M):
                    promtool("check", "metrics", copy)
                    checked.append(b["name"])
        return len(checked) == len(boards)
    wait_for("a metrics file of each running companion", snapshot_running, until, pause=0.05)
    devices = {b["socket"] for b in boards}
    wait_for("Prometheus to see both measuring",
             lambda: query(prometheus_port, "vantrel_measuring") == {d: 1.0 for d in devices}, until)

    for b in boards:
        code = b["cli"].wait(timeout=max(1, until - time.monotonic()))
        if code != 0:
            raise Failure("%s: vantrel-cli ended with %d" % (b["name"], code))
        rsoc, millivolts, readings = last_reading(b["out"])
        b["expected"] = {"vantrel_rsoc_ratio": rsoc / 100.0, "vantrel_voltage_volts": millivolts / 1000.0,
                         "vantrel_readings_total": float(readings), "vantrel_measuring": 0.0}
        promtool("check", "metrics", b["metrics"])
    if boards[0]["expected"]["vantrel_voltage_volts"] == boards[1]["expected"]["vantrel_voltage_volts"]:
        raise Failure("the two boards sent the same readings; the check could not tell them apart")

    seen = {}
    def prometheus_has_the_end():
        for metric in boards[0]["expected"]:
            seen[metric] = query(prometheus_port, metric)
        return all(abs(seen[m].get(b["socket"], -1) - v) < 1e-9
                   for b in boards for m, v in b["expected"].items()) and \
            all(set(values) == devices for values in seen.values())
    try:
        wait_for("Prometheus to hold what the boards sent and the ends of the runs", prometheus_has_the_end, until)
    finally:
        for b in boards:
            print("%s (%s): expected %s; Prometheus %s" % (
                b["name"], b["socket"], b["expected"], {m: v.get(b["socket"]) for m, v in seen.items()}))


def main():
    # A stop from outside runs the same clean-up as any other end.
    def stop(signum, _frame):
        raise Failure("stopped by signal %d" % signum)
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, stop)

    folder = tempfile.mkdtemp(prefix="vantrel-prometheus-")
    procs = Processes(folder)
    try:
        check_readme(folder)
        run_chain(folder, procs)
    except (Failure, OSError, subprocess.SubprocessError) as e:
        procs.stop_all()
        for name, _ in procs.children:
            path = os.path.join(folder, name + ".log")
            if os.path.exists(path):
                print("--- %s log (last lines):\n%s" % (name, "\n".join(procs.log(name).splitlines()[-15:])))
        print("prometheus e2e: FAILED: %s" % e)
        return 1
    finally:
        procs.stop_all()
        shutil.rmtree(folder, ignore_errors=True)
    print("prometheus e2e: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
