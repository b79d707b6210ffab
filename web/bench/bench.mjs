// Figures for the browser version; prints them and asserts nothing.
//   node web/bench/bench.mjs [cold loads of each page, default 30] [clicks, default 1000]
// 1. Transferred size: every file a first visit loads, gzipped at level 9, the font apart.
// 2. Cold loads in headless Chromium from a local server, on a desktop viewport and on a phone
//    (touch emulation, 360 px), each in a fresh browser context with
//    nothing cached, interleaved with the same page without its script (the same static layout,
//    no WebAssembly): first contentful paint, and the first complete frame with the assignment
//    text (fonts loaded and, for the real page, the form's code running), as the time of the
//    first animation frame at which that holds.
// 3. A mouse click on a name to the written result box, measured in the page from the time
//    stamp of the mouse event that chose the name to the moment the box holds its report, and
//    to the start of the next frame after that.
import { readdirSync, readFileSync, statSync, writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, relative } from 'node:path';
import { gzipSync } from 'node:zlib';
import { launch } from '../test/browser.mjs';
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { fileURLToPath } from 'node:url';

const site = process.env.TAVRELON_WEB_SITE ?? new URL('../../build-web/site', import.meta.url).pathname;
const loads = Number(process.argv[2] ?? 30);
const clicks = Number(process.argv[3] ?? 1000);

const median = (values) => quantile(values, 0.5);
function quantile(values, q) {
  const sorted = [...values].sort((a, b) => a - b);
  const position = (sorted.length - 1) * q;
  const low = Math.floor(position);
  const high = Math.ceil(position);
  return sorted[low] + (sorted[high] - sorted[low]) * (position - low);
}
const ms = (value) => value.toFixed(value < 10 ? 3 : 1);
const range = (values) => `${ms(median(values))} (${ms(Math.min(...values))}–${ms(Math.max(...values))})`;

function files(dir) {
  return readdirSync(dir).flatMap((name) => {
    const path = join(dir, name);
    return statSync(path).isDirectory() ? files(path) : [path];
  });
}

// What a first visit transfers: the files the service worker keeps (the font apart: only where
// neither face is installed) and the worker itself. The rest is fetched only when installing the
// app (the PNG icons), under a dark forced palette (the white arrows), or never (.htaccess).
function sizes() {
  const kept = new Set([...readFileSync(join(site, 'sw.js'), 'utf8').matchAll(/^ {2}'([^']+)',$/gm)]
    .map((m) => m[1]).filter((f) => f !== './'));
  kept.add('sw.js');
  console.log('\nTransferred size, gzip -9 (bytes)');
  console.log('| file | size | gzipped |\n|---|---|---|');
  let total = 0;
  for (const path of files(site).sort()) {
    const name = relative(site, path);
    const body = readFileSync(path);
    const gzipped = gzipSync(body, { level: 9 }).length;
    const counted = kept.has(name) && !name.startsWith('fonts/');
    if (counted) {
      total += gzipped;
    }
    const note = name.startsWith('fonts/') ? ' (the font: not counted)' : counted ? '' : ' (not on a visit)';
    console.log(`| ${name}${note} | ${body.length} | ${gzipped} |`);
  }
  console.log(`| **a first visit, without the font** | | **${total}** (${(total / 1024).toFixed(1)} KiB; budget 30 KB) |`);
}

// Runs in the page from its first moment: notes the first animation frame at which the window
// is complete.
function watchForCompleteFrame() {
  const complete = () =>
    document.fonts.status === 'loaded' &&
    document.querySelector('textarea')?.value.startsWith('Да се реализира') &&
    (document.querySelector('script[src]') === null ||
      document.documentElement.dataset.state === 'ready');
  const check = () => {
    if (complete()) {
      globalThis.completeFrame = performance.now();
    } else {
      requestAnimationFrame(check);
    }
  };
  requestAnimationFrame(check);
}

async function coldLoad(browser, url, viewport) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  await page.setCacheEnabled(false);
  await page.evaluateOnNewDocument(watchForCompleteFrame);
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => globalThis.completeFrame !== undefined &&
    performance.getEntriesByName('first-contentful-paint').length > 0);
  const figures = await page.evaluate(() => ({
    fcp: performance.getEntriesByName('first-contentful-paint')[0].startTime,
    complete: globalThis.completeFrame,
  }));
  await context.close();
  return figures;
}

// A desktop browser's window, and a phone (touch, 360 CSS px wide, the phone's column).
const viewports = {
  desktop: { width: 800, height: 600 },
  phone: { width: 360, height: 800, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
};

async function startUp(browser, server, device) {
  const viewport = viewports[device];
  const results = { page: { fcp: [], complete: [] }, static: { fcp: [], complete: [] } };
  const urls = { page: server.url, static: `${server.url}static.html` };
  await coldLoad(browser, urls.page, viewport);
  await coldLoad(browser, urls.static, viewport);
  for (let run = 0; run < loads; ++run) {
    const order = run % 2 === 0 ? ['page', 'static'] : ['static', 'page'];
    for (const which of order) {
      const { fcp, complete } = await coldLoad(browser, urls[which], viewport);
      results[which].fcp.push(fcp);
      results[which].complete.push(complete);
    }
  }
  console.log(`\nCold loads on a ${device}, ${loads} of each page, interleaved; median (min–max), ms`);
  console.log('| figure | static layout, no wasm | page | page / static | paired, round by round |\n|---|---|---|---|---|');
  for (const [figure, label] of [['fcp', 'first contentful paint'], ['complete', 'first complete frame with the assignment text']]) {
    const a = results.static[figure];
    const b = results.page[figure];
    const paired = b.map((value, i) => value / a[i]);
    const ratio = (value) => value.toFixed(2);
    console.log(`| ${label} | ${range(a)} | ${range(b)} | ${ratio(median(b) / median(a))}× | ` +
      `${ratio(median(paired))}× (${ratio(Math.min(...paired))}–${ratio(Math.max(...paired))}) |`);
  }
}

async function clickLatency(browser, server) {
  const page = await browser.newPage();
  await page.goto(server.url);
  await page.waitForFunction(() => document.documentElement.dataset.state === 'ready');
  await page.evaluate(() => {
    globalThis.latencies = { written: [], frame: [] };
    let input = 0;
    const list = document.querySelector('select');
    const note = (event) => {
      input = event.timeStamp;
    };
    list.addEventListener('mousedown', note, { capture: true });
    list.addEventListener('mouseup', note, { capture: true });
    let writes = globalThis.tavrelon.writes;
    // After the page's own handlers: the box has been written when these run.
    const written = () => {
      if (globalThis.tavrelon.writes === writes) {
        return;
      }
      writes = globalThis.tavrelon.writes;
      const now = performance.now();
      globalThis.latencies.written.push(now - input);
      requestAnimationFrame(() => globalThis.latencies.frame.push(performance.now() - input));
    };
    list.addEventListener('change', written);
    list.addEventListener('click', written);
  });
  const rows = await page.$$eval('select option', (options) =>
    options.slice(0, 3).map((o) => {
      const r = o.getBoundingClientRect();
      return [r.x + r.width / 2, r.y + r.height / 2];
    }),
  );
  for (let i = 0; i < clicks; ++i) {
    const [x, y] = rows[i % rows.length];
    await page.mouse.click(x, y);
  }
  await new Promise((resolve) => setTimeout(resolve, 100));
  const { written, frame } = await page.evaluate(() => globalThis.latencies);
  console.log(`\nClick on a name to the written box, ${written.length} clicks (ms)`);
  console.log('| figure | p50 | p99 | max |\n|---|---|---|---|');
  for (const [label, values] of [['mouse event to box written', written], ['mouse event to the next frame', frame]]) {
    console.log(`| ${label} | ${ms(quantile(values, 0.5))} | ${ms(quantile(values, 0.99))} | ${ms(Math.max(...values))} |`);
  }
  await page.close();
}

sizes();
// The same page without its script: what the browser shows before any WebAssembly.
const scratch = mkdtempSync(join(tmpdir(), 'tavrelon-bench-'));
const staticPage = join(scratch, 'static.html');
writeFileSync(staticPage, readFileSync(join(site, 'index.html'), 'utf8').replace(/<script[^>]*><\/script>\n?/, ''));
// The server runs in a process of its own, as a real one would.
const serverProcess = spawn(process.execPath,
  [fileURLToPath(new URL('../test/server.mjs', import.meta.url)), site, `/static.html=${staticPage}`],
  { stdio: ['ignore', 'pipe', 'inherit'] });
const [address] = await once(serverProcess.stdout, 'data');
const server = { url: address.toString().trim() };
const browser = await launch();
try {
  console.log(`\nChromium ${(await browser.version()).replace(/^HeadlessChrome\//, '')}, ${loads} loads, ${clicks} clicks`);
  await startUp(browser, server, 'desktop');
  await startUp(browser, server, 'phone');
  await clickLatency(browser, server);
} finally {
  await browser.close();
  serverProcess.kill();
}
