#!/usr/bin/env bash
# qpx sheet: pages and paper, text as text, every stored value of the tuned
# file beside its label (from its JSON export and summary), refusals.
source "$(dirname "$0")/helpers.bash"

cases "0 '' sheet $D/live_mv517.qpx -o live.pdf" \
  "0 '' sheet $D/live_mv517.qpx --paper letter -o letter.pdf" \
  "0 '' sheet $D/new_mv961.qpx --paper LETTER --input-mode 1 -o small.pdf" \
  "2 '--paper: a3 not in {a4,letter}' sheet $D/new_mv517.qpx --paper a3 -o a3.pdf" \
  "2 'an MV961 file has input modes 0 and 1' sheet $D/new_mv961.qpx --input-mode 2 -o m.pdf" \
  "3 'cut_in_channel_3.qpx: holds no complete preset' sheet $D/cut_in_channel_3.qpx -o cut.pdf"

for f in live.pdf:5:'595.276 x 841.89' letter.pdf:5:'612 x 792' small.pdf:3:'612 x 792' cut.pdf:5:'595.276 x 841.89'; do
  IFS=: read -r pdf pages size <<<"$f"
  pdfinfo "$pdf" >info
  grep -q "^Pages: *$pages\$" info || fail "$pdf: not $pages pages: $(grep Pages info)"
  grep -q "^Page size: *$size pts" info || fail "$pdf: not $size: $(grep 'Page size' info)"
done
[ "$(pdfimages -list live.pdf | wc -l)" -eq 2 ] || fail "the sheet holds pictures: $(pdfimages -list live.pdf)"
grep -q 'DejaVuSans ' <(pdffonts live.pdf) || fail "the sheet's texts are no text: $(pdffonts live.pdf)"
pdftotext -layout -f 1 -l 1 cut.pdf - | grep -q 'File *cut_in_channel_3.qpx (holds no complete preset)' ||
  fail "the partial sheet does not say so"
grep -q 'Inputs Digital, set on the device' <(pdftotext small.pdf -) || fail "input mode 1 not on the sheet"

"$QPX" export "$D/live_mv517.qpx" -o live.json
for p in 1 2 3 4 5; do pdftotext -layout -f $p -l $p live.pdf page$p.txt; done
python3 - "$D/live_mv517.txt" "$D/live_mv517.qpx" <<'PY' || fail "values on the sheet"
import datetime, json, re, sys
j = json.load(open('live.json'))
summary = open(sys.argv[1], encoding='utf-8').read().split('\nChannel ')[1:]
pages = [open('page%d.txt' % p, encoding='utf-8').read() for p in range(1, 6)]
bad = []
def on(page, *cells):  # the cells on one line, in order, apart only by blanks
    if not re.search(r'\s+'.join(re.escape(c) for c in cells), pages[page]):
        bad.append('page %d lacks %s' % (page + 1, ' | '.join(cells)))
crc = open(sys.argv[2], encoding='utf-8').read().rsplit('<!-->', 1)[1].split('<')[0]
for cells in (('Name', j['name']), ('Device', 'MV517'), ('File', 'live_mv517.qpx'), ('Checksum', crc),
              ('Date', datetime.date.today().isoformat()), ('Lock', 'delay, crossover')):
    on(0, *cells)
db, tenths = lambda v: '%d dB' % v, lambda v: '%.1f dB' % (v / 10)
for n, c in enumerate(j['channels']):
    text = dict(re.findall(r'  ([\w -]+): +(.*)', summary[n]))
    on(n + 1, 'Out ' + 'ABCD'[n], '"%s"' % c['name'].rstrip())
    d, m = c['dynamics'], (j['mute'] >> n) & 1
    for cells in (('Routing', text['Routing']), ('Level', tenths(c['gain'])), ('Mute', 'on' if m else 'off'),
                  ('Level group', text['Level group']), ('Mute group', text['Mute group']),
                  ('Polarity', '180°' if c['phase'] else '0°'),
                  ('Delay', '%.2f m, %.2f ms' % (c['delay'] / 100, c['delay'] / 343.4 * 10)),
                  ('Limiter threshold', db(d['threshold'])), ('Limiter attack', '%d ms' % d['attack']),
                  ('Limiter release', '%d ms' % (d['release'] * 10)), ('Limiter gain', db(d['boost']))):
        on(n + 1, *cells)
    for f, name in enumerate(('High-pass', 'Low-pass')):
        x = c['xo'][f]
        on(n + 1, name, text[name].split(',')[0], '%d Hz' % x['freq'][1 if x['config'] == 2 else 0])
    for b, band in enumerate(c['peq']):
        kind = text.get('Filter %d' % (b + 1), 'OFF').split(',')[0]
        on(n + 1, 'Filter %d' % (b + 1), kind, '%d Hz' % band['freq'], '%.1f' % (band['q'] / 10), tenths(band['gain']))
for p, page in enumerate(pages):
    if not page.startswith('Live <A&B>') or 'Page %d of 5' % (p + 1) not in page:
        bad.append('page %d lacks its head or foot' % (p + 1))
assert not bad, '\n'.join(bad)
PY

finish
