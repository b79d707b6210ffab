// A static file server for the tests and the benchmark: 127.0.0.1, a port the system picks,
// no caching. It names each file's type as the site's own .htaccess does, so that the tests
// check the configuration the site ships. Options: `overrides` maps a request path to another
// file (the faulty module, for one); `headers` are sent with every answer (the site's policy,
// for one); `folder` serves the site from a sub-folder ('/tavrelon/') instead of the root;
// `host` is another loopback address than 127.0.0.1 (another origin, as a course page is);
// `tls` ({ key, cert }) serves HTTPS; `rulesFrom` is the folder whose .htaccess names the types,
// when `root` has none (the SCORM package).
import { createServer } from 'node:http';
import { createServer as createSecureServer } from 'node:https';
import { readFile } from 'node:fs/promises';
import { readFileSync } from 'node:fs';
import { extname, join, normalize } from 'node:path';

// What the site's .htaccess asks of a server: each extension's type and the headers.
export function hostingRules(root) {
  const text = readFileSync(join(root, '.htaccess'), 'utf8');
  const charset = [...text.matchAll(/^AddCharset (\S+) (.*)$/gm)].flatMap((m) =>
    m[2].split(/\s+/).map((extension) => [extension, m[1]]));
  const charsets = new Map(charset);
  const types = new Map([...text.matchAll(/^AddType (\S+) (\S+)$/gm)].map((m) => {
    const extension = m[2];
    return [extension, charsets.has(extension) ? `${m[1]}; charset=${charsets.get(extension)}` : m[1]];
  }));
  const headers = Object.fromEntries(
    [...text.matchAll(/^\s*Header always set (\S+) "(.*)"$/gm)].map((m) => [m[1], m[2]]));
  return { types, headers };
}

export async function serve(root, { overrides = new Map(), headers = {}, folder = '/', host = '127.0.0.1', tls, rulesFrom = root } = {}) {
  const { types } = hostingRules(rulesFrom);
  const answer = async (request, response) => {
    const path = new URL(request.url, 'http://localhost').pathname;
    if (!path.startsWith(folder)) {
      response.writeHead(404).end();
      return;
    }
    const inside = `/${path.slice(folder.length)}`;
    const relative = normalize(inside.endsWith('/') ? `${inside}index.html` : inside);
    const file = overrides.get(relative) ?? join(root, relative);
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        ...headers,
        'Content-Type': types.get(extname(file)) ?? 'application/octet-stream',
        'Cache-Control': 'no-store',
      });
      response.end(body);
    } catch {
      response.writeHead(404, headers).end();
    }
  };
  const server = tls ? createSecureServer(tls, answer) : createServer(answer);
  await new Promise((resolve) => server.listen(0, host, resolve));
  const { port } = server.address();
  return {
    url: `${tls ? 'https' : 'http'}://${host}:${port}${folder}`,
    // Closes every open connection too: a closed server is a site gone offline.
    close: () =>
      new Promise((resolve) => {
        server.close(resolve);
        server.closeAllConnections();
      }),
  };
}

// Run on its own (node server.mjs ROOT [PATH=FILE ...]): serves ROOT and prints its address, so
// that a benchmark's server does not share the event loop of the browser's driver.
if (import.meta.url === `file://${process.argv[1]}`) {
  const overrides = new Map(process.argv.slice(3).map((pair) => pair.split('=', 2)));
  const { url } = await serve(process.argv[2], { overrides });
  console.log(url);
}
