#!/usr/bin/env python3
"""Every kind through vireo-cli against k5sim: upload; download of that file (verified); one value
edited (written and found again); that value kept by the unit (exit 1, named). With --network the
network kinds the same way, on their network record. Prints one row per kind.

    bench/sweep.py [BUILD_DIR] [--network] [--only MODEL]
"""
import os, re, subprocess, sys, tempfile, time

args = [a for a in sys.argv[1:] if not a.startswith('--')]
B = args[0] if args else 'build'
NETWORK = '--network' in sys.argv
ONLY = sys.argv[sys.argv.index('--only') + 1] if '--only' in sys.argv else None
CLI, SIM = os.path.join(B, 'vireo-cli'), os.path.join(B, 'k5sim')

IO_KINDS = ['K5A-QB4', 'K5A-QBW8', 'K5A-QJ4', 'K5A-QX4V', 'K5A-QZ4U', 'K5A-GZ2', 'K5VS-GZ2', 'K5A-NX2',
            'K5A-QK4', 'K5A-QW4', 'K5A-QH4', 'K5A-WB2', 'K5A-WC2', 'K5A-WB4Y', 'K5A-WB4', 'K5A-WC4',
            'K5A-ZWBW2', 'K5A-KI16', 'K5A-KI8R', 'K5A-KI4H', 'K5G-KO16', 'K5G-KO16W', 'K5A-HM8',
            'K5A-KOR16', 'K5A-NX16', 'K5A-NX8', 'K5N-NX8']
NET_KINDS = ['K5A-QB4', 'K5B-QB4', 'K5G-QB4', 'K5GT-QB4', 'K5N-QB4', 'K5PW-QB4', 'K5PX-QB4']


class Sim:
    def __init__(self, model, *extra):
        self.err = tempfile.TemporaryFile()
        self.out = tempfile.NamedTemporaryFile('r')
        self.p = subprocess.Popen([SIM, '--model', model, '--ext', 'NONE', '--still', '--log', *extra],
                                  stdout=open(self.out.name, 'w'), stderr=self.err)
        self.dev = None
        for _ in range(100):
            m = re.search(r'VIREO_COM1=(\S+)', open(self.out.name).read())
            if m:
                self.dev = m.group(1)
                break
            time.sleep(0.02)

    def lines(self):
        self.err.seek(0)
        return [l[len('k5sim <- '):] for l in self.err.read().decode().splitlines() if l.startswith('k5sim <- ')]

    def close(self):
        self.p.terminate()
        self.p.wait()


def cli(*a):
    p = subprocess.run([CLI, *a, '--quiet'], capture_output=True, text=True)
    return p.returncode, p.stdout.strip().split('\n')


def fields(line):
    return re.findall(r'"[^"]*"|[^,]+', line)


def candidates(text, rows):
    """Edits of one field each: a number stepped, a list index moved, an option pair turned."""
    lines = text.split('\r\n')
    for i in rows:
        if i >= len(lines) or not lines[i]:
            continue
        fs = fields(lines[i])
        if fs in (['#TRUE#', '#FALSE#'], ['#FALSE#', '#TRUE#']):
            edited = list(lines)
            edited[i] = ','.join(reversed(fs))
            yield (i, 0, edited[i]), '\r\n'.join(edited)
            continue
        for j, f in enumerate(fs):
            bare = f.strip('"')
            if not re.fullmatch(r'-?\d+(\.\d+)?', bare):
                continue
            for new in (step(bare, 1), step(bare, -1)):
                g = list(fs)
                g[j] = ('"%s"' % new) if f.startswith('"') else new
                edited = list(lines)
                edited[i] = ','.join(g)
                yield (i, j, new), '\r\n'.join(edited)


def step(v, d):
    if '.' in v:
        places = len(v.split('.')[1])
        return ('%.' + str(places) + 'f') % (float(v) + d * 10 ** -places)
    return str(int(v) + d)


def sweep(model):
    row = {'model': model}
    tmp = tempfile.mkdtemp()
    up = os.path.join(tmp, 'up.uJx')
    s = Sim(model)
    try:
        code, out = cli('upload', '--port', s.dev, '-o', up)
        row['upload'] = code
        uploaded = len(s.lines())
        if code != 0:
            row['note'] = out[-1]
            return row
        text = open(up, newline='').read()
        net = ['--network'] if NETWORK else []
        code, out = cli('download', '--port', s.dev, up, *net)
        row['download'] = '%d %s' % (code, out[0].split(': ', 1)[-1].rsplit(',', 1)[0])
        base = s.lines()[uploaded:]
    finally:
        s.close()
    lines = text.split('\r\n')
    # The I/O record is every line between the header and the network record; the network
    # record is the last non-empty line (with its SubTyp line on HLS and FLEX NETWORK units).
    body = [i for i, l in enumerate(lines) if l][1:]
    rows = body[-1:] if NETWORK else body[:-1]
    if NETWORK and model.startswith(('K5PX', 'K5VS')):
        rows = body[-2:-1]
    if NETWORK and model.startswith('K5N'):
        rows = body[-5:]
    for where, edited in candidates(text, rows):
        path = os.path.join(tmp, 'e.uJx')
        open(path, 'w', newline='').write(edited)
        s = Sim(model)
        try:
            code, out = cli('download', '--port', s.dev, path, *net)
            wire = s.lines()
        finally:
            s.close()
        if code != 0:
            continue
        # The D line that changed, and the group and item it went to.
        first = [a for a, b in zip(wire, base) if a != b]
        if not first:
            continue
        k = next(i for i, (a, b) in enumerate(zip(wire, base)) if a != b)
        if not wire[k].startswith('D'):
            continue
        item = next(l[1:] for l in reversed(wire[:k]) if l.startswith('I'))
        group = next(l[1:] for l in reversed(wire[:k]) if l.startswith('G'))
        row['edit'] = 'line %d field %d = %s: %s (G%s I%s %s)' % (where[0], where[1], where[2],
                                                                 out[0].split(': ', 1)[-1].rsplit(',', 1)[0],
                                                                 group, item, wire[k])
        s = Sim(model, '--fault', 'keep:%s:%s' % (group, item))
        try:
            code, out = cli('download', '--port', s.dev, path, *net)
        finally:
            s.close()
        row['kept'] = '%d %s' % (code, ' / '.join(o.strip() for o in out[1:]) or out[0])
        return row
    row['edit'] = 'no edit verified'
    return row


for m in (NET_KINDS if NETWORK else IO_KINDS):
    if ONLY and m != ONLY:
        continue
    t = time.time()
    r = sweep(m)
    print('| %s | %s | %s | %s | %s |' % (m, r.get('download', r.get('note', '')), r.get('edit', ''),
                                         r.get('kept', ''), '%.0f s' % (time.time() - t)), flush=True)
