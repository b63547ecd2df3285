#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/.

Most targets read their input through libFuzzer's FuzzedDataProvider, which
takes numbers from the end of the input and strings from the front. The
Input class below encodes values the same way, so each seed is a described
scenario (a healthy 13-block flash write, 66 communication errors while
measuring, ...) rather than random bytes. A seed only has to be a good
starting point: if a target later reads its input differently, its seeds
still run, they just mean something else.

    fuzz/seeds.py            # rewrites every seed file
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


class Input:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # bytes in the order they are taken from the end

    def int(self, lo, hi, value, bits=32):
        """ConsumeIntegralInRange<T>(lo, hi) returning value; bits = sizeof(T) * 8."""
        assert lo <= value <= hi
        span = hi - lo
        count = 0
        while count * 8 < bits and (span >> (count * 8)) > 0:
            count += 1
        v = value - lo
        for i in range(count):
            self.back.append((v >> (8 * (count - 1 - i))) & 0xFF)
        return self

    def u8(self, v): return self.int(0, 0xFF, v, 8)
    def u16(self, v): return self.int(0, 0xFFFF, v, 16)
    def u32(self, v): return self.int(0, 0xFFFFFFFF, v, 32)
    def i16(self, v): return self.int(-0x8000, 0x7FFF, v, 16)
    def i32(self, v): return self.int(-0x80000000, 0x7FFFFFFF, v, 32)
    def u64(self, v): return self.int(0, 2**64 - 1, v, 64)
    def i64(self, v): return self.int(-2**63, 2**63 - 1, v, 64)
    def bool(self, b): return self.u8(1 if b else 0)

    def double_bits(self, d):
        return self.u64(struct.unpack("<Q", struct.pack("<d", d))[0])

    def string(self, s):
        """ConsumeRandomLengthString: backslashes doubled, a lone one ends it."""
        self.front += bytes(s).replace(b"\\", b"\\\\") + b"\\|"
        return self

    def raw(self, s):
        """ConsumeBytesAsString / ConsumeRemainingBytesAsString."""
        self.front += bytes(s)
        return self

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- hexfield: the whole input is the text
def hexfield():
    for name, text in [
        ("pair", b"1A"), ("prefix", b"0x1234"), ("blank-sign", b"  -ff"),
        ("max", b"FFFFFFFF"), ("overflow", b"100000000"), ("prefix-only", b"0x"),
        ("prefix-no-digit", b"+0Xg"), ("stops-at-blank", b"12 34"), ("tab", b"\t7fz"),
        ("fullwidth", b"\xec\xed"), ("ideographic-space", b"\xe1A5"),
    ]:
        write("hexfield", name, text)


# --- flashimage: asLines, copies, text, then chunk sizes when fed
def flashimage():
    def seed(name, text, as_lines=False, copies=1, chunks=()):
        s = Input().bool(as_lines).int(1, 8, copies).string(text)
        for c in chunks:
            s.int(1, 64, c, 64)
        write("flashimage", name, s.data())

    seed("two-lines-crlf", b"0102\r\nA0FF\r\n", chunks=(5, 1, 7))
    seed("two-lines-as-lines", b"0102\nA0FF\n", as_lines=True)
    digits = b"0123456789ABCDEF" * 208
    full = b"\r\n".join(digits[i:i + 64] for i in range(0, len(digits), 64)) + b"\r\n"
    seed("full-3328", full, chunks=(64,) * 60)
    seed("too-long-3329", full + b"A\r\n", chunks=(64,) * 60)
    seed("repeated-to-limit", digits[:832], copies=4, chunks=(50,) * 70)
    seed("blanks-and-prefix", b"01 02\n0x12\nABC", chunks=(3, 3, 3, 3, 3))
    seed("lone-cr", b"01\r02\r\r\n03\r", chunks=(1,) * 12)
    seed("empty-lines", b"\r\n\r\n\n", chunks=(2, 2, 2))


# --- receive: start tick; per report: op, tick step, code, status, verify, extra bytes
def receive():
    def report(s, code, status=1, verify=1, step=500, op=7):
        s.int(0, 7, op).int(0, 3000, step)
        s.bool(True).int(0, 15, code, 8)
        s.bool(status == 1)
        if status != 1:
            s.u8(status)
        s.bool(verify == 1)
        if verify != 1:
            s.u8(verify)
        s.int(0, 8, 0, 64)

    s = Input().u32(100000)
    s.int(0, 7, 0).bool(True).int(0, 300, 2)  # interval 2 s ...
    s.int(0, 3000, 0).bool(True).int(0, 15, 0x03, 8).bool(True).bool(True).int(0, 8, 0, 64)
    for _ in range(12):
        report(s, 0x03)  # ... readings every 500 ms: every fourth passes
    write("receive", "pacing-2s-every-500ms", s.data())

    s = Input().u32(5)
    for _ in range(66):
        report(s, 0x05, step=10)  # the 33rd and 66th are queued
    write("receive", "66-comm-errors", s.data())

    s = Input().u32(0)
    for _ in range(20):
        report(s, 0x05, step=10)
    report(s, 0x03)
    for _ in range(20):
        report(s, 0x05, step=10)
    write("receive", "comm-errors-split-by-reading", s.data())

    s = Input().u32(0xFFFFF000)  # the tick wraps during the run
    for _ in range(8):
        report(s, 0x03, step=1500)
    write("receive", "tick-wrap", s.data())

    s = Input().u32(0)
    for code, status, verify in [(0x08, 1, 1), (0x09, 1, 1), (0x09, 0, 1), (0x0A, 1, 1), (0x0B, 1, 1),
                                 (0x0C, 1, 0), (0x0C, 1, 1), (0x0D, 1, 1), (0x0D, 0, 1), (0x0F, 1, 1),
                                 (0x00, 1, 1), (0x07, 1, 1), (0x06, 1, 1), (0x0E, 1, 1)]:
        report(s, code, status, verify, step=5)
    write("receive", "flash-acks-and-others", s.data())


# --- flashwriter: image (whole blocks or any size, fill seed); per ack: reload?, healthy or not
def flashwriter():
    def seed(name, blocks=None, size=None, acks=()):
        s = Input()
        if blocks is not None:
            s.bool(True).int(0, 14, blocks)
        else:
            s.bool(False).int(0, 4000, size)
        s.u8(0x5A)
        for ack in acks:
            s.int(0, 15, 1)
            if ack == "ok":
                s.bool(True)
            else:
                code, status, verify = ack
                s.bool(False).bool(False).u8(code)
                s.bool(status == 1)
                if status != 1:
                    s.u8(status)
                s.bool(verify == 1)
                if verify != 1:
                    s.u8(verify)
            s.u8(0)
        write("flashwriter", name, s.data())

    seed("one-block-healthy", blocks=1, acks=["ok"] * 6)
    seed("13-blocks-healthy", blocks=13, acks=["ok"] * 30)
    seed("verify-mismatch", blocks=2, acks=["ok"] * 5 + [(0x0C, 1, 0)] + ["ok"] * 2)
    seed("refused-then-resent", blocks=3, acks=["ok"] * 2 + [(0x09, 0, 1)] + ["ok"] * 8)
    seed("data-before-begin", blocks=2, acks=[(0x09, 1, 1), (0x0A, 1, 1), (0x0B, 1, 1)] + ["ok"] * 3)
    seed("odd-size", size=300, acks=["ok"] * 9)
    seed("too-small", size=127, acks=["ok"] * 3)


# --- flashsession: blocks, extra bytes, image bytes, faults, injections
def flashsession():
    def seed(name, blocks, prepared=True, mismatch=False, fault=0, fault_at=0, extra=None, inject=()):
        s = Input().int(1, 13, blocks)
        s.bool(extra is not None)
        if extra is not None:
            s.int(0, 127, extra)
        for i in range(blocks * 128 + (extra or 0)):
            s.u8((i * 37 + 11) & 0xFF)
        s.int(0, 7, 1 if prepared else 0).int(0, 3, 0 if mismatch else 1).int(0, 3, fault)
        s.int(0, 2 * blocks + 5, fault_at)
        for kind, value in inject:
            s.int(0, 7, kind)
            if kind == 6:
                s.int(1, 40, value)
            elif kind == 7:
                s.int(0x0F, 0xFF, value, 8)
        write("flashsession", name, s.data())

    seed("healthy-13-blocks", 13)
    seed("healthy-1-block-partial", 1, extra=40)
    seed("verify-mismatch", 2, mismatch=True)
    seed("refused-data-block", 3, fault=1, fault_at=2)
    seed("i2c-error-at-verify-end", 2, fault=2, fault_at=6)
    seed("unplug-at-begin", 1, fault=3, fault_at=0)
    seed("not-prepared", 1, prepared=False)
    seed("noise-between-acks", 2, inject=[(6, 33), (7, 0x0F), (6, 1), (7, 0xFF)])


# --- simboard: start time; per step: time step, op and its values
def simboard():
    FRAME, REPORT, TICK, DRAIN, COMM, WRONG, UNKNOWN, SILENT, PERIOD, CYCLE = 0, 2, 3, 5, 6, 7, 8, 9, 10, 11

    def step(s, op, dt=10):
        s.int(0, 600, dt).int(0, 11, op)

    s = Input().u32(1000)
    step(s, FRAME); s.int(0, 9, 3).u8(0x10).u16(0xBEEF)  # write word
    step(s, FRAME); s.int(0, 9, 2).u8(0x10)  # read it back
    step(s, FRAME); s.int(0, 9, 2).u8(0x11)  # a register never written
    step(s, DRAIN); s.int(0, 8, 8, 64)
    write("simboard", "write-then-read-word", s.data())

    s = Input().u32(0)
    step(s, FRAME); s.int(0, 9, 4).u16(2).u16(400).u16(1)  # communication settings
    step(s, FRAME); s.int(0, 9, 1)  # start measure
    for _ in range(10):
        step(s, TICK, 300)
    step(s, DRAIN); s.int(0, 8, 8, 64)
    step(s, FRAME); s.int(0, 9, 0)  # stop
    step(s, TICK, 300)
    step(s, DRAIN); s.int(0, 8, 8, 64)
    write("simboard", "settings-measure-stop", s.data())

    s = Input().u32(0)
    step(s, COMM); s.int(0, 40, 33)
    step(s, WRONG); s.int(0, 200, 64, 64)
    step(s, WRONG); s.int(0, 200, 0, 64)
    step(s, UNKNOWN); s.u8(0x0F)
    step(s, DRAIN); s.int(0, 8, 8, 64)
    step(s, SILENT); s.bool(True).bool(True)
    step(s, FRAME); s.int(0, 9, 2).u8(1)
    step(s, SILENT); s.bool(False).bool(False)
    step(s, PERIOD); s.int(0, 5000, 0).bool(True)
    step(s, CYCLE)
    write("simboard", "faults-and-power-cycle", s.data())

    s = Input().u32(0)
    step(s, FRAME); s.int(0, 9, 5)  # flash preparation
    step(s, FRAME); s.int(0, 9, 6).int(8, 13, 8, 8)  # flash begin
    step(s, FRAME); s.int(0, 9, 7).u8(0xA5).int(9, 11, 9, 8).u16(0x8100)
    step(s, FRAME); s.int(0, 9, 8).int(10, 12, 10, 8).u16(0x8100).u16(0x8100)
    step(s, REPORT); s.bool(False).int(0, 130, 64, 64)  # a report one byte short
    for i in range(64):
        s.u8(i)
    s.bool(True)
    step(s, DRAIN); s.int(0, 8, 8, 64)
    write("simboard", "flash-frames", s.data())


# --- settings: key index, Shift, Ctrl, then the text
def settings():
    for name, index, shift, ctrl, text in [
        ("8-bit-300", 0, False, False, b"300"), ("16-bit-70000", 17, False, False, b"70000"),
        ("negative", 2, False, False, b" -5"), ("no-digits", 18, False, False, b"abc"),
        ("saturates", 19, False, False, b"99999999999"), ("trailing-text", 10, False, False, b"\t2982xyz"),
        ("demo1", 3, False, False, b"-demo1"), ("demo2-capitals", 3, False, False, b"-DEMO2"),
        ("demo1-and-more", 3, True, False, b"-demo1 -x"), ("shift-ctrl", 3, True, True, b""),
        ("exe-path", 5, False, False, b"C:\\tools\\other name.exe"), ("past-last-key", 22, False, False, b"7"),
    ]:
        write("settings", name, Input().int(0, 22, index, 64).bool(shift).bool(ctrl).raw(text).data())


# --- logline: a record of any field values, then the text of a line
def logline():
    def seed(name, text, fields=(2019, 1, 18, 9, 5, 7), rsoc=85, voltage=3801, temperature=25.0):
        s = Input()
        for f in fields:
            s.i16(f)
        s.bool(rsoc is None)
        if rsoc is not None:
            s.i32(rsoc)
        s.u16(voltage).double_bits(temperature).raw(text)
        write("logline", name, s.data())

    seed("measurement", b"2019/01/18 09:05:07, 85, 25.0, 3801")
    seed("standby", b"2019/01/18 09:05:07,Standby, 25.0, 3801", rsoc=None)
    seed("old-standby", b"2019/01/18 09:05:07, 4294967295, -12.3, 70000", rsoc=-1)
    seed("separators-only", b",,,\n", fields=(-32768, 32767, 0, -1, -1, -1), temperature=float("nan"))
    seed("short-date", b"2019/1/8 9:5:7,85", temperature=1e300)
    seed("tie-rounding", b"2019/01/18 09:05:07, 5, 25.05, 1", temperature=-0.05)


# --- logfile: earlier rows, second round trip, cell buffer size, the file
def logfile():
    def seed(name, text, earlier=0):
        write("logfile", name, Input().int(0, 2, earlier).bool(True).u8(7).raw(text).data())

    seed("crlf-log", b"2019/01/18 09:05:07, 85, 25.0, 3801\r\n<Measure start\r\n"
                     b"2019/01/18 09:05:09,Standby, 25.1, 3800\r\n")
    seed("lf-and-no-last-break", b"2019/01/18 09:05:07, 85, 25.0, 3801\n<I2C 100kHz\n2019/01/18", earlier=2)
    seed("latin1-message", b"<Kommunikation gest\xf6rt \xb0C\r\n2019/01/18 09:05:07, 85\xb0, 25.0, 3801\r\n")
    seed("blank-lines", b"\r\n\n\r\r\n<\r\n", earlier=1)
    seed("empty", b"")


# --- demo: playback or curve; readings; file and where it is cut
def demo():
    demo_file = (b"<Demo data\r\n2019/01/18 09:05:07, 85, 25.0, 3801\r\n"
                 b"2019/01/18 09:05:09, 84.5, 25.2, 3799\r\n<message\r\n2019/01/18 09:05:11, 84\r\n")
    write("demo", "playback", Input().bool(True).int(1, 48, 12).int(0, 12, 12).u16(0).raw(demo_file).data())
    write("demo", "playback-cut-short", Input().bool(True).int(1, 48, 10).int(0, 10, 4).u16(30).raw(demo_file).data())
    write("demo", "messages-only", Input().bool(True).int(1, 48, 5).int(0, 5, 5).u16(0).raw(b"<a\r\n<b\n").data())
    for interval in (1, 2, 300, 65535):
        write("demo", "curve-%d" % interval, Input().bool(False).int(1, 48, 48).u16(interval).data())


# --- textnumbers: optionally the formatters' values, then a text to read
def textnumbers():
    for name, text in [
        ("below-int-min", b"  -2147483649"), ("uint-max", b"4294967295"), ("huge", b"1e400"),
        ("tiny", b"-1e-400"), ("hex-float", b"0x1.8p3"), ("nan-payload", b"nan(123)"),
        ("infinity", b"-Infinity"), ("subnormal", b"4.9e-324"), ("tie", b"25.05"),
    ]:
        write("textnumbers", name, Input().bool(False).raw(text).data())
    s = Input().bool(True).i32(-7).int(-4, 24, 4).u32(4294967295).double_bits(25.05).bool(True)
    s.int(-20000000, 20000000, 501, 64).int(-3, 3, 0)
    write("textnumbers", "format-near-tie", s.raw(b"25.05").data())


# --- graphsettings: six range texts, a free text, the radio buttons
def graphsettings():
    def seed(name, texts, free, checks=(False, True, False)):
        s = Input()
        for t in texts:
            s.string(t)
        s.string(free)
        s.int(0, 8, len(checks))
        for c in checks:
            s.bool(c)
        s.i32(2)
        write("graphsettings", name, s.data())

    seed("defaults", [b"0", b"-20.0", b"0", b"100", b"70.0", b"5000"], b"1.5e3")
    seed("min-not-below-max", [b"10", b"0", b"0", b"10", b"100", b"5000"], b" -0")
    seed("overflow", [b"0", b"1e308", b"0", b"1e400", b"1e308", b"5000"], b"-1e-400")
    seed("odd-forms", [b".5", b"5.", b"1e", b"+3E+2", b"  7x", b"\xef12"], b"0.000001e6")


# --- graph: a view of a long log, then navigation and text values
def graph():
    def nice(s, value):  # AnyDouble as (value * 8) / 8
        s.int(0, 3, 2).int(-100000, 100000, int(value * 8))

    def small(s, lo, hi, value):  # AnyInt within its usual range
        s.bool(True).int(lo, hi, value)

    s = Input().bool(True)
    small(s, -1, 4, 2)
    small(s, -1, 4, 3)
    for _ in range(4):
        s.bool(False)
    small(s, -10, 4000, 800)
    small(s, -10, 3000, 300)
    s.bool(True)
    nice(s, 1.5)
    small(s, -2, 12, 10)
    small(s, -5, 5000, 7)
    s.int(0, 3, 1).int(0, 2**62, 10**6, 64).u64(12345)
    write("graph", "long-log-zoomed-out", s.data())

    s = Input().bool(False)
    s.bool(True)
    s.int(0, 3, 0).double_bits(0.0).int(0, 3, 0).double_bits(5e-324)
    for _ in range(3):
        s.bool(False)
    small(s, -10, 4000, 5)
    small(s, -10, 3000, 1)
    s.bool(True).int(0, 3, 0).double_bits(float("nan"))
    small(s, -2, 12, 0)
    small(s, -5, 5000, 0)
    s.int(0, 3, 3).int(2**31 - 1 - 3000, 2**31 - 1 + 3000, 2**31 - 1, 64).u64(1)
    write("graph", "tiny-window-degenerate-range", s.data())


# --- layout: one rule, metrics, then the rule list
def layout():
    def small(s, lo, hi, value):
        s.int(0, 3, 1).int(lo, hi, value)

    s = Input().int(0, 0x3F, 0x0A, 32)  # stretch right and down
    for v in (10, 10, 10, 10):
        small(s, -50, 2000, v)
    for r in ((0, 0, 640, 480), (10, 10, 630, 470)):
        small(s, -50, 2000, r[0]); small(s, -50, 2000, r[1]); small(s, -50, 3000, r[2]); small(s, -50, 3000, r[3])
    small(s, 0, 3000, 800)
    small(s, 0, 3000, 600)
    s.int(-4000, 4000, -700).int(-4000, 4000, 100)
    s.i32(144).double_bits(1.5).bool(True).bool(False).i32(500).i32(133).i32(80).u8(100).i32(429)
    s.i32(32).i32(32)
    small(s, 0, 64, 32)
    small(s, 0, 64, 32)
    s.i32(2).u32(85)
    write("layout", "stretch-and-shrink", s.data())
    write("layout", "all-ones", b"\xff" * 200)
    write("layout", "all-zeros", b"\x00" * 200)


# --- cli: report values, then the arguments separated by 0x01
def cli():
    def seed(name, args, payload=b"\x03\x55\xa6\x0b\xd9\x0e\x00\x00", code=0x03, phase=2, duration=None):
        s = Input().u64(1250).raw(payload).int(0, 0x10, code, 8)
        for f in (2019, 1, 18, 9, 5, 7):
            s.i16(f)
        s.int(0, 8, phase, 8).int(1, 2**32 - 1, 13).int(0, 12, 4)
        s.u64(1000).bool(False).bool(duration is not None)
        if duration is not None:
            s.u64(duration)
        s.u64(1500).u64(1000).u32(3)
        write("cli", name, s.raw(b"\x01".join(args)).data())

    seed("measure", [b"measure", b"--interval", b"2", b"--i2c=400", b"--count", b"10", b"--out", b"log.txt"])
    seed("measure-duration", [b"measure", b"--owsi", b"--duration=1.5"], duration=1500)
    seed("read-word", [b"read-word", b"0x0D", b"--timeout", b"0.25"], code=0x06)
    seed("write-word", [b"write-word", b"-1", b"--", b"--ff"], code=0x07)
    seed("flash", [b"flash", b"image.txt", b"--timeout=30"], code=0x0D, phase=4)
    seed("help-wins", [b"measure", b"--bogus", b"--help"], code=0x0C)
    seed("conflicts", [b"measure", b"--i2c", b"100", b"--owsi", b"--count=1", b"--duration", b"2"], code=0x0E)
    seed("help-topic", [b"help", b"flash"])


# --- journal: one start time of any fields, runs, how many to keep, other file names
def journal():
    s = Input()
    for f in (2019, 1, 18, 9, 5, 7):
        s.i16(f)
    s.i32(2)
    runs = [(2019, 1, 1, 9, 0, 0, 0), (2019, 1, 1, 9, 0, 0, 1), (2019, 1, 1, 9, 0, 0, 10), (2019, 1, 1, 9, 0, 0, 9),
            (2020, 12, 2, 23, 1, 1, 0), (2019, 2, 1, 0, 0, 0, 0)]
    s.int(0, 60, len(runs))
    for y, mo, d, h, mi, se, attempt in runs:
        s.int(2019, 2021, y, 16).int(1, 12, mo, 16).int(1, 2, d, 16).int(0, 23, h, 16)
        s.int(0, 1, mi, 16).int(0, 1, se, 16).int(0, 12, attempt)
    s.int(0, 40, 3, 64)
    for other in (b"Vantrel.ini", b"Vantrel_20190101_090000_.txt", b"Vantrel_2019010_090000.txt", b"notes.txt"):
        s.string(other)
    write("journal", "mixed-folder", s.data())
    s = Input()
    for f in (-1, 99, 0, 100, -5, 32767):
        s.i16(f)
    s.i32(-3).int(0, 60, 0).int(0, 40, 0, 64)
    write("journal", "out-of-range-time", s.data())


if __name__ == "__main__":
    for make in (hexfield, flashimage, receive, flashwriter, flashsession, simboard, settings, logline,
                 logfile, demo, textnumbers, graphsettings, graph, layout, cli, journal):
        make()
