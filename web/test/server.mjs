// A static file server for the tests and the benchmark: 127.0.0.1, a port the system picks,
// no caching. `overrides` maps a request path to another file (the faulty module, for one).
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.ttf': 'font/ttf',
  '.txt': 'text/plain; charset=utf-8',
};

export async function serve(root, overrides = new Map()) {
  const server = createServer(async (request, response) => {
    const path = new URL(request.url, 'http://localhost').pathname;
    const relative = normalize(path === '/' ? '/index.html' : path);
    const file = overrides.get(relative) ?? join(root, relative);
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': types[extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-store',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address();
  return {
    url: `http://127.0.0.1:${port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// Run on its own (node server.mjs ROOT [PATH=FILE ...]): serves ROOT and prints its address, so
// that a benchmark's server does not share the event loop of the browser's driver.
if (import.meta.url === `file://${process.argv[1]}`) {
  const overrides = new Map(process.argv.slice(3).map((pair) => pair.split('=', 2)));
  const { url } = await serve(process.argv[2], overrides);
  console.log(url);
}
