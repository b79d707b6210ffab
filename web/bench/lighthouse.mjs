// Lighthouse's scores for the site, on its mobile preset (a mid-range phone, throttled) and its
// desktop preset; prints them, asserts nothing.
//   node web/bench/lighthouse.mjs   (TAVRELON_WEB_SITE: the build; default build-web/site)
// Served from the same static server as the tests, with the headers of the site's .htaccess.
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';
import { launch } from '../test/browser.mjs';
import { hostingRules, serve } from '../test/server.mjs';

const site = process.env.TAVRELON_WEB_SITE ?? new URL('../../build-web/site', import.meta.url).pathname;
const categories = ['performance', 'accessibility', 'best-practices', 'seo'];

const server = await serve(site, { headers: hostingRules(site).headers });
// Lighthouse drives the browser through its debugging port.
const browser = await launch(['--remote-debugging-port=0']);
const port = Number(new URL(browser.wsEndpoint()).port);
try {
  console.log(`Lighthouse on ${server.url}, Chromium ${(await browser.version()).replace(/^HeadlessChrome\//, '')}`);
  console.log(`| preset | ${categories.join(' | ')} | failed audits |\n|---|${categories.map(() => '---|').join('')}---|`);
  for (const [preset, config] of [['mobile', undefined], ['desktop', desktopConfig]]) {
    const { lhr } = await lighthouse(server.url, { port, logLevel: 'error', onlyCategories: categories }, config);
    const scores = categories.map((c) => Math.round(lhr.categories[c].score * 100));
    const failed = Object.values(lhr.audits)
      .filter((a) => a.score !== null && a.score < 1 && a.scoreDisplayMode !== 'informative' &&
        a.scoreDisplayMode !== 'manual' && a.scoreDisplayMode !== 'notApplicable')
      .map((a) => a.id);
    console.log(`| ${preset} | ${scores.join(' | ')} | ${failed.join(', ') || '—'} |`);
    const paint = (id) => lhr.audits[id]?.numericValue?.toFixed(0);
    console.log(`|   | FCP ${paint('first-contentful-paint')} ms, LCP ${paint('largest-contentful-paint')} ms, ` +
      `TBT ${paint('total-blocking-time')} ms, CLS ${lhr.audits['cumulative-layout-shift']?.numericValue?.toFixed(3)} | | | | |`);
  }
} finally {
  await browser.close();
  await server.close();
}
