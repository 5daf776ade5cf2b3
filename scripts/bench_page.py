#!/usr/bin/python3
"""Judges what scripts/bench.sh measured against the targets and prints the
performance page, notes appended:  bench_page.py RESULTS_DIR TARGETS NOTES"""
import csv, operator, re, subprocess, sys, time
from pathlib import Path

results, targets, notes = map(Path, sys.argv[1:4])
DATES = 3012154  # 1753-01-01 to 9999-12-31

def text(name):  # a file of the results; an absolute name is read as it is
    return (results / name).read_text() if (results / name).exists() else ''

def found(pattern, name, default=None):
    m = re.search(pattern, text(name), re.M)
    if not m and default is None:
        sys.exit(f'bench_page: nothing in {name} matches {pattern!r}')
    return m[1] if m else default

def numbers(line):
    return {k: float(v) for k, v in re.findall(r'(\w+)=([\d.]+)', line)}

def output(*command):
    try:
        return subprocess.run(command, capture_output=True, text=True).stdout.splitlines()[0]
    except (OSError, IndexError):
        return '?'

def table(header, rows):
    return '\n'.join([header, '|' + '---|' * (header.count('|') - 1)] + ['| ' + ' | '.join(r) + ' |' for r in rows])

def mb(kb): return f'{kb / 1024:.1f} MB'
def ms(v): return f'{v:.1f} ms'

orv, bare = (numbers(found(f'^median "{title}": (.*)', 'startup.txt'))
             for title in ('Orvantis - Lumevarre', 'Bare window'))
ratio = {k: orv[k] / bare[k] for k in orv}
calendar = float(found(r'^median first_dropdown_ms=([\d.]+)', 'calendar.txt'))
calc = {(r[0], r[1]): float(r[3]) for r in csv.reader(text('calculate.txt').splitlines())
        if len(r) > 3 and r[2] == 'WalltimeMilliseconds'}
longest = re.findall(r'^longest report, ([^:]+): (.*), (\d+ bytes)$', text('calculate.txt'), re.M)
worst = {kind: max(calc[kind, mode] for mode, _, _ in longest) for kind in ('handler', 'handlerAndRepaint')}
core = {r['name'].removesuffix('_median'): r for part in ('AllDates', 'Show')
        for r in csv.DictReader(text(f'core-{part}.csv').splitlines()) if r['name'].endswith('_median')}
engine = core['BM_EngineAllDates']
ours = DATES / float(engine['real_time']) / {'ns': 1e-9, 'us': 1e-6, 'ms': 1e-3, 's': 1}[engine['time_unit']]
cli = {variant: (float(elapsed), float(user)) for variant, elapsed, user in re.findall(
    r'^median (numbers.*): ([\d.]+) s elapsed, ([\d.]+) s user', text('cli.txt'), re.M)}

def against(key, unit=ms):
    return ratio[key], f'{ratio[key]:.2f} times ({unit(orv[key])} against {unit(bare[key])})'

# Each figure a target names: its value (None: not measured) and how it reads.
figures = {
    'startup_mapped': against('mapped_ms'),
    'startup_paint': against('paint_ms'),
    'startup_memory': against('peak_kb', mb),
    'calendar_ms': (calendar, f"{ms(calendar)} (median of {found(r'^median .*[(](.*)[)]', 'calendar.txt')})"),
    'calculate_ms': (worst['handler'], f"{worst['handler']:.2f} ms at worst "
                     f"({worst['handlerAndRepaint']:.2f} ms with the repaint)"),
    'engine_mdates': (ours / 1e6, f'{ours / 1e6:.2f} M dates per second'),
    'cli_s': (max(v[0] for v in cli.values()),
              ', '.join(f'`{k}` {v[0]:.2f} s ({v[1]:.2f} s user)' for k, v in cli.items()) + ', medians of 5'),
}
COMPARE = {'<=': operator.le, '<': operator.lt, '>=': operator.ge}
summary = []
for line in targets.read_text().splitlines():
    if line.strip() and not line.startswith('#'):
        fields = line.split(None, 3)
        if len(fields) < 4 or fields[0] not in figures or fields[1] not in COMPARE \
                or not re.fullmatch(r'\d+(\.\d+)?', fields[2]):
            sys.exit(f'bench_page: {targets}: cannot read {line!r}')
        key, comparison, limit, wording = fields
        value, measured = figures[key]
        verdict = 'not measured' if value is None else 'met' if COMPARE[comparison](value, float(limit)) else 'not met'
        summary.append((wording.replace('{}', limit), measured, f'**{verdict}**'))

cpu = found(r'^model name\s*: (.*)', '/proc/cpuinfo', '?')
memory = int(found(r'^MemTotal: *(\d+)', '/proc/meminfo')) / 1048576
os_name = found(r'^PRETTY_NAME="?([^"\n]*)', '/etc/os-release', '?')
load, runs = numbers(text('load')), found(r'^(\d+) runs each', 'startup.txt')
machine = [
    ('System', f"{output('nproc')} x {cpu}, {memory:.1f} GB; {os_name}, kernel {output('uname', '-r')}"),
    ('Tools', f"{output('c++', '--version')}, Release (`-O3`); Qt {output('pkg-config', '--modversion', 'Qt6Widgets')}; "
     f"Google Benchmark {output('dpkg-query', '-W', '-f=${Version}', 'libbenchmark-dev')}"),
    ('1-minute load', f"{load['load_before']:.2f} at the start (after waiting {load['waited']:.0f} s, at most "
                      f"{load['max_wait']:.0f} s, for it to drop below 1.0), {load['load_after']:.2f} at the end"),
]
commands = text('commands').rstrip()
print(f"""# Performance

Speed and memory targets are checked by the benchmarks in `bench/`, never by timed unit tests.
`scripts/bench.sh` builds the program (Release), runs the benchmarks and writes this page, judged
against `bench/targets.txt`; how each figure is taken is told at the end.
Measured {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}.
""")
for title, body in {
    'Summary': table('| Target | Measured | |', summary),
    'Machine': table('| | |', machine),
    'Commands': 'Run from the checkout, in this order; `$tmp` is a temporary folder, `start_xvfb` comes from '
                f'`scripts/lib/xvfb.sh` and sets `DISPLAY`.\n\n```sh\n{commands}\n```',
    f'Start-up against a bare Qt window ({runs} runs each, medians)': table(
        '| Program | Mapped | First paint | CPU time to first paint | Peak memory at first paint |', [
            *((name, ms(f['mapped_ms']), ms(f['paint_ms']), ms(f['cpu_ms']), mb(f['peak_kb']))
              for name, f in (('`orvantis`', orv), ('bare Qt window', bare))),
            ('ratio', *(f'{ratio[k]:.3f}' for k in ('mapped_ms', 'paint_ms', 'cpu_ms', 'peak_kb')))])
        + '\n\nImage or icon plug-ins, SVG or print support loaded by the first paint: `orvantis` '
        + found(r'^loaded by the first paint "Orvantis - Lumevarre": (.*)', 'startup.txt')
        + '; bare window ' + found(r'^loaded by the first paint "Bare window": (.*)', 'startup.txt') + '.',
    'Calculate button (medians of 5)': table('| Mode | Inputs | Report | `Command1_Click` | with repaint |', [
        (mode, inputs, size, f"{calc['handler', mode]:.3f} ms", f"{calc['handlerAndRepaint', mode]:.3f} ms")
        for mode, inputs, size in longest]),
    'Core benchmarks (`orvantis_bench_core`, medians of 5)': table('| Benchmark | Wall time | CPU time | Report |', [
        (f'`{name}`', *(f"{float(r[t]):.1f} {r['time_unit']}" for t in ('real_time', 'cpu_time')),
         f"{float(r['report_bytes']):.0f} bytes" if r.get('report_bytes') else '') for name, r in core.items()]),
}.items():
    print(f'## {title}\n\n{body}\n')
print(notes.read_text(), end='')
