// Writes the site's page and its bundle: node make_site.mjs SITE_DIR ASSETS_DIR MIXER_WASM INDEX_HTML
// The bundle holds every file the page reads, gzip-compressed as one: the
// pictures, the outline, the SOUND waves, the side documents and the audio
// engine's mixer (see the page's loadBundle for the format).
import { readFileSync, writeFileSync, readdirSync, mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync, constants } from 'node:zlib';

const [siteDir, assetsDir, mixerWasm, indexHtml] = process.argv.slice(2);
if (!indexHtml) {
  console.error('usage: node make_site.mjs SITE_DIR ASSETS_DIR MIXER_WASM INDEX_HTML');
  process.exit(2);
}
const folder = (name, pattern) =>
  readdirSync(join(assetsDir, name)).filter((f) => pattern.test(f)).sort().map((f) => [`${name}/${f}`, join(assetsDir, name, f)]);

// What the first frame needs comes first.
const entries = [
  ...folder('pictures', /\.jpg$/),
  ...folder('lcd', /\.pbm$/),
  ['outline/CoolForm1.Mask2.bin', join(assetsDir, 'outline/CoolForm1.Mask2.bin')],
  ['mixer.wasm', mixerWasm],
  ...folder('SOUND', /\.wav$/i),
  ...folder('docs', /\.txt$/),
];
const parts = [Buffer.from('VORLAKP1'), Buffer.alloc(4)];
parts[1].writeUInt32LE(entries.length);
for (const [name, path] of entries) {
  const data = readFileSync(path);
  const nameBytes = Buffer.from(name, 'utf8');
  const head = Buffer.alloc(6 + nameBytes.length);
  head.writeUInt16LE(nameBytes.length, 0);
  nameBytes.copy(head, 2);
  head.writeUInt32LE(data.length, 2 + nameBytes.length);
  parts.push(head, data);
}
mkdirSync(siteDir, { recursive: true });
// No name or time in the gzip header: the same input gives the same bundle.
writeFileSync(join(siteDir, 'vorlak.pack'), gzipSync(Buffer.concat(parts), { level: constants.Z_BEST_COMPRESSION }));

const icon = readFileSync(join(assetsDir, 'icon/vorlak-32.png')).toString('base64');
writeFileSync(join(siteDir, 'index.html'), readFileSync(indexHtml, 'utf8').replace('@ICON@', `data:image/png;base64,${icon}`));
