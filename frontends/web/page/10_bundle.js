// --- the bundle: every picture, wave, side document and the audio engine in
// one gzip-compressed file. Format: "VORLAKP1", a 32-bit count, then per
// file a 16-bit name length, the name (UTF-8), a 32-bit length and the bytes;
// all little-endian.
async function loadBundle(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status} ${response.statusText}`);
  const packed = response.body.pipeThrough(new DecompressionStream('gzip'));
  return parseBundle(new Uint8Array(await new Response(packed).arrayBuffer()));
}

function parseBundle(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const magic = new TextDecoder().decode(bytes.subarray(0, 8));
  if (magic !== 'VORLAKP1') throw new Error('not a Vorlak bundle');
  const files = new Map();
  const names = new TextDecoder();
  let at = 12;
  for (let count = view.getUint32(8, true); count > 0; --count) {
    const nameLength = view.getUint16(at, true);
    const name = names.decode(bytes.subarray(at + 2, at + 2 + nameLength));
    at += 2 + nameLength;
    const length = view.getUint32(at, true);
    at += 4;
    if (at + length > bytes.length) throw new Error(`bundle cut short in ${name}`);
    files.set(name, bytes.subarray(at, at + length));
    at += length;
  }
  return files;
}
