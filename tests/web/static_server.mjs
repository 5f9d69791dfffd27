// A tiny static server for the site, on 127.0.0.1 and a free port, counting
// what it sends. Used by the browser test and the browser benchmarks.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.pack': 'application/octet-stream', '.png': 'image/png',
};

export async function serve(root) {
  const stats = { requests: [], bytes: 0 };
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    if (!file.startsWith(normalize(root + sep))) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
                                'Content-Length': body.length, 'Cache-Control': 'no-store' });
      response.end(body);
      stats.requests.push({ path, bytes: body.length });
      stats.bytes += body.length;
    } catch {
      response.writeHead(404).end();
      stats.requests.push({ path, bytes: 0, missing: true });
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    stats,
    close: () => new Promise((resolve) => { server.closeAllConnections?.(); server.close(resolve); }),
  };
}
