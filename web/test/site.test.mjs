// The site in Debian's Chromium, driven as a user or a screen reader would: controls found by
// role and accessible name, clicked with the mouse, moved with the keyboard. Every report is
// compared byte for byte with the reports the C++ tests expect (tests/form.json of the build).
//   node --test web/test/site.test.mjs   (TAVRELON_WEB_SITE, TAVRELON_WEB_FAULTY: the builds;
//   TAVRELON_WEB_SCREENSHOT, TAVRELON_WEB_PHONE_SCREENSHOT: where to save a picture of the window
//   on a desktop and on a phone; TAVRELON_WEB_HOSTING: the server snippets' folder;
//   TAVRELON_WEB_SCORM: the SCORM package)
import assert from 'node:assert/strict';
import { chmodSync, cpSync, existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { execFileSync, spawn, spawnSync } from 'node:child_process';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { after, before, describe, it } from 'node:test';
import { createRequire } from 'node:module';
import { join, relative, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch } from './browser.mjs';
import { expected, pixels } from './expected.mjs';
import { hostingRules, serve } from './server.mjs';

const buildDir = new URL('../../build-web/', import.meta.url).pathname;
const site = process.env.TAVRELON_WEB_SITE ?? join(buildDir, 'site');
const faulty = process.env.TAVRELON_WEB_FAULTY ?? join(buildDir, 'cmake/faulty');
const hosting = process.env.TAVRELON_WEB_HOSTING ?? join(site, '../hosting');
const scormPackage = process.env.TAVRELON_WEB_SCORM ?? join(site, '../tavrelon-1.0.0-scorm12.zip');
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const schoolNames = expected.captions;

let browser;
let server;

before(async () => {
  server = await serve(site);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// What goes wrong on a page (and in its frames): console errors and warnings, script errors,
// failed requests and error answers.
function watchProblems(page) {
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') {
      problems.push(`console ${message.type()}: ${message.text()}`);
    }
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
  page.on('response', (response) => {
    // 304: a revalidated copy, as a real server answers under Cache-Control: no-cache.
    if (!response.ok() && response.status() !== 304) {
      problems.push(`${response.status()}: ${response.url()}`);
    }
  });
  return problems;
}

// A fresh page with the site loaded, and what went wrong on it.
async function open(url = server.url, viewport = { width: 640, height: 400 }, context = browser) {
  const page = await context.newPage();
  const problems = watchProblems(page);
  page.on('request', (request) => {
    if (!request.url().startsWith(url) && !request.url().startsWith('data:')) {
      problems.push(`other host: ${request.url()}`);
    }
  });
  await page.setViewport(viewport);
  await page.goto(url);
  await page.waitForFunction(() => document.documentElement.dataset.state);
  return { page, problems };
}

const state = (page) =>
  page.evaluate(() => ({
    report: globalThis.tavrelon.report,
    writes: globalThis.tavrelon.writes,
    shown: document.querySelector('textarea').value,
    checked: [...document.querySelectorAll('input[type=radio]')].map((o) => o.checked),
    row: document.querySelector('select').selectedIndex,
    focus: document.activeElement?.id ?? '',
    scrolled: document.querySelector('textarea').scrollTop,
  }));

const option = (page, school) => page.$(`aria/${schoolNames[school]}[role="radio"]`);
const namesList = (page) => page.$('::-p-aria([name="Автори/граматици"][role="listbox"])');

async function nameRow(page, row) {
  const list = await namesList(page);
  const names = await list.$$('option');
  return names[row];
}

// Clicks a row of the names list with the mouse, scrolling it into view first, as a user would.
// `page` may be a frame: the mouse is its page's.
async function clickRow(page, row) {
  const item = await nameRow(page, row);
  await item.evaluate((o) => o.scrollIntoView({ block: 'nearest' }));
  const box = await item.boundingBox();
  const { mouse } = 'mouse' in page ? page : page.page();
  await mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

function assertShows(now, school, what) {
  assert.equal(now.report, expected.schools[school], `${what}: report`);
  assert.equal(now.shown, expected.schools[school].replaceAll('\r\n', '\n'), `${what}: box`);
  assert.deepEqual(now.checked, [0, 1, 2].map((k) => k === school), `${what}: options`);
  assert.equal(now.scrolled, 0, `${what}: the box shows its first line`);
}

describe('the page', () => {
  let page;
  let problems;
  before(async () => {
    ({ page, problems } = await open());
  });
  after(async () => {
    await page.close();
  });

  it('starts with the assignment text, nothing chosen and the box focused', async () => {
    const now = await state(page);
    assert.equal(now.report, expected.assignment);
    assert.equal(now.shown, expected.assignment.replaceAll('\r\n', '\n'));
    assert.deepEqual(now.checked, [false, false, false]);
    assert.equal(now.row, -1);
    assert.equal(now.focus, 'Text1_0');
    assert.equal(await page.$eval('html', (html) => html.lang), 'bg');
  });

  it('places every control where the form does (±1 CSS px)', async () => {
    const boxes = await page.evaluate(() => {
      const area = document.getElementById('Tavrelon').getBoundingClientRect();
      const frame = document.getElementById('Frame1').getBoundingClientRect();
      return Object.fromEntries(
        [...document.querySelectorAll('#Tavrelon .c')].map((element) => {
          const r = element.getBoundingClientRect();
          const origin = element.closest('fieldset') && element.tagName !== 'FIELDSET' ? frame : area;
          return [element.id, [r.left - origin.left, r.top - origin.top, r.width, r.height]];
        }),
      );
    });
    for (const control of expected.controls) {
      const actual = boxes[control.id];
      assert.ok(actual, `${control.id} is on the page`);
      control.twips.map(pixels).forEach((want, i) => {
        assert.ok(Math.abs(actual[i] - want) <= 1, `${control.id}: ${actual} against ${want} at ${i}`);
      });
    }
    const area = await page.$eval('#Tavrelon', (e) => [e.offsetWidth, e.offsetHeight]);
    assert.deepEqual(area, [482, 287]);
  });

  it('keeps the form\'s tab order: box, school options, names list', async () => {
    await page.focus('#Text1_0');
    const order = [];
    for (let i = 0; i < 2; ++i) {
      await page.keyboard.press('Tab');
      order.push(await page.evaluate(() => document.activeElement.closest('.c')?.id));
    }
    assert.deepEqual(order, ['Option1_0', 'List1_0']);
  });

  it('reports every school clicked, keeping the names list as it is', async () => {
    for (const school of [2, 0, 1]) {
      await (await option(page, school)).click();
      assertShows(await state(page), school, `school ${school}`);
    }
    await clickRow(page, 7);
    await (await option(page, 2)).click();
    const now = await state(page);
    assertShows(now, 2, 'school after a name');
    assert.equal(now.row, 7);
  });

  it('reports the school of every name clicked, with one write each (the guard)', async () => {
    for (let row = 0; row < expected.schoolOfRow.length; ++row) {
      await page.$eval('#Text1_0', (box) => (box.scrollTop = box.scrollHeight));
      const before = (await state(page)).writes;
      await clickRow(page, row);
      const now = await state(page);
      assertShows(now, expected.schoolOfRow[row], `name ${row}`);
      assert.equal(now.row, row);
      assert.equal(now.writes, before + 1, `name ${row}: the nested option click wrote nothing`);
    }
  });

  it('names keep their exact text, trailing blank included', async () => {
    const sixth = await (await nameRow(page, 6)).evaluate((o) => o.textContent);
    assert.equal(sixth, 'йеромонах Гаврил ');
    await clickRow(page, 6);
    assert.ok((await state(page)).report.includes('йеромонах Гаврил \r\n'));
  });

  it('reports again on a click on the chosen name or option', async () => {
    await clickRow(page, 11);
    await (await option(page, 2)).click();
    let before = (await state(page)).writes;
    await clickRow(page, 11);
    let now = await state(page);
    assertShows(now, 0, 'chosen name again');
    assert.equal(now.writes, before + 1);
    before = now.writes;
    await (await option(page, 0)).click();
    now = await state(page);
    assertShows(now, 0, 'checked option again');
    assert.equal(now.writes, before, 'a checked option clicked again is no click');
  });

  it('leaves the box read-only but selectable', async () => {
    const before = await state(page);
    await page.focus('#Text1_0');
    await page.keyboard.type('abc');
    await page.keyboard.press('Backspace');
    const now = await state(page);
    assert.equal(now.shown, before.shown);
    assert.equal(now.report, before.report);
    const selected = await page.$eval('#Text1_0', (box) => {
      box.select();
      return box.selectionEnd - box.selectionStart;
    });
    assert.equal(selected, before.shown.length);
  });

  it('walks the names list with the arrow keys, row by row', async () => {
    const fresh = await open();
    try {
      const list = await namesList(fresh.page);
      await list.focus();
      for (let row = 0; row < expected.schoolOfRow.length; ++row) {
        await fresh.page.keyboard.press('ArrowDown');
        const now = await state(fresh.page);
        assert.equal(now.row, row, 'the first key chooses the first row');
        assertShows(now, expected.schoolOfRow[row], `ArrowDown to row ${row}`);
      }
      await fresh.page.keyboard.press('ArrowUp');
      assertShows(await state(fresh.page), expected.schoolOfRow[16], 'ArrowUp');
      assert.deepEqual(fresh.problems, []);
    } finally {
      await fresh.page.close();
    }
  });

  it('moves through the school options with the arrow keys', async () => {
    await (await option(page, 0)).click();
    for (const [key, school] of [['ArrowDown', 1], ['ArrowDown', 2], ['ArrowDown', 0], ['ArrowUp', 2]]) {
      await page.keyboard.press(key);
      assertShows(await state(page), school, `${key} to school ${school}`);
    }
  });

  it('has no accessibility violations (axe-core)', async () => {
    await page.addScriptTag({ content: axeSource });
    const results = await page.evaluate(() => globalThis.axe.run(document));
    assert.deepEqual(
      results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`),
      [],
    );
    const names = await page.evaluate(() => ({
      group: document.querySelector('fieldset legend').textContent,
      box: document.querySelector('textarea').getAttribute('aria-label'),
    }));
    assert.equal(names.group, 'Книжовни школи');
    assert.ok(await page.$('aria/Книжовни школи[role="group"]'));
    assert.ok(await page.$(`aria/${names.box}[role="textbox"]`));
  });

  it('logged no error and made no failed or foreign request', () => {
    assert.deepEqual(problems, []);
  });
});

describe('a run-time error', () => {
  it('shows a dialog naming it, and the page takes no further input', async () => {
    const overrides = new Map([
      ['/tavrelon.js', join(faulty, 'tavrelon.js')],
      ['/tavrelon.wasm', join(faulty, 'tavrelon.wasm')],
    ]);
    const faultyServer = await serve(site, { overrides });
    const { page, problems } = await open(faultyServer.url);
    try {
      await (await option(page, 0)).click();
      assertShows(await state(page), 0, 'before the error');
      await clickRow(page, 1);
      await page.waitForSelector('dialog[open]');
      const message = await page.$eval('dialog', (d) => d.textContent);
      assert.match(message, /Грешка 340/);
      assert.match(message, /Option1\(7\)/);
      assert.equal(await page.$eval('html', (h) => h.dataset.state), 'stopped');
      await page.keyboard.press('Enter');
      const before = await state(page);
      assert.equal(await page.$eval('#Tavrelon', (w) => w.inert), true);
      await page.$eval('input[value="2"]', (o) => o.click());
      await page.$eval('select', (l) => {
        l.selectedIndex = 3;
        l.dispatchEvent(new Event('change'));
      });
      const now = await state(page);
      assert.equal(now.report, before.report);
      assert.equal(now.writes, before.writes);
      assert.deepEqual(problems, []);
    } finally {
      await page.close();
      await faultyServer.close();
    }
  });
});

describe('a narrow screen', () => {
  it('scales the window down as a whole', async () => {
    const { page, problems } = await open(server.url, { width: 320, height: 480 });
    try {
      const sizes = await page.evaluate(() => {
        const area = document.getElementById('Tavrelon').getBoundingClientRect();
        const list = document.getElementById('List1_0').getBoundingClientRect();
        return {
          area: [area.width, area.height],
          list: [list.left - area.left, list.width],
          scrollWidth: document.documentElement.scrollWidth,
        };
      });
      const scale = 320 / 482;
      assert.ok(Math.abs(sizes.area[0] - 320) <= 1, `width ${sizes.area[0]}`);
      assert.ok(Math.abs(sizes.area[1] - 287 * scale) <= 1, `height ${sizes.area[1]}`);
      assert.ok(Math.abs(sizes.list[0] - 256 * scale) <= 1, `list left ${sizes.list[0]}`);
      assert.ok(Math.abs(sizes.list[1] - 209 * scale) <= 1, `list width ${sizes.list[1]}`);
      assert.ok(sizes.scrollWidth <= 320, 'no sideways scrolling');
      await clickRow(page, 12);
      assertShows(await state(page), 1, 'a click on the scaled window');
      assert.deepEqual(problems, []);
    } finally {
      await page.close();
    }
  });
});

// What a learner can read and hit on a touch screen: the smallest text, the targets (an option's
// label and button together; each row of the names), the gap between neighbouring targets.
const touchMeasures = (page) =>
  page.evaluate(() => {
    const zoomed = (element) => parseFloat(getComputedStyle(element).fontSize) * element.currentCSSZoom;
    const texts = [...document.querySelectorAll('#Tavrelon .c, #Tavrelon legend, #Tavrelon option')];
    const targets = [...document.querySelectorAll('#Tavrelon .option, #Tavrelon option')].map((element) => {
      const r = element.getBoundingClientRect();
      return { id: element.id || element.textContent, left: r.left, top: r.top, width: r.width, height: r.height };
    });
    const box = document.querySelector('textarea');
    return {
      layout: getComputedStyle(document.getElementById('Tavrelon')).getPropertyValue('--layout').trim(),
      smallestText: Math.min(...texts.map(zoomed)),
      targets,
      overflow: document.documentElement.scrollWidth - innerWidth,
      boxScrolls: box.scrollHeight > box.clientHeight,
    };
  });

// The distance from each target's top to the next one's below it, in the same column.
function pitches(targets) {
  const sorted = [...targets].sort((a, b) => a.top - b.top);
  return sorted.slice(1).map((t, i) => ({ id: t.id, pitch: t.top - sorted[i].top }))
    .filter((p, i) => Math.abs(sorted[i + 1].left - sorted[i].left) < 1);
}

async function tapRow(page, row) {
  const item = await nameRow(page, row);
  await item.evaluate((o) => o.scrollIntoView({ block: 'nearest' }));
  await item.tap();
}

describe('touch screens', () => {
  const devices = {
    phone: { width: 360, height: 800, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
    'phone held sideways': { width: 800, height: 360, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
    tablet: { width: 768, height: 1024, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
  };
  for (const [device, viewport] of Object.entries(devices)) {
    it(`on a ${device}: taps answer, text is 16 px or more, targets are large enough, nothing scrolls sideways`, async () => {
      const { page, problems } = await open(server.url, viewport);
      try {
        const phone = device !== 'tablet';
        const before = await touchMeasures(page);
        assert.equal(before.layout, phone ? 'phone' : 'tablet');
        assert.ok(before.smallestText >= 16, `text ${before.smallestText} px`);
        assert.ok(before.overflow <= 0, `${before.overflow} px sideways`);
        const least = phone ? 44 : 24;
        for (const target of before.targets) {
          assert.ok(target.height >= least && target.width >= least, `${target.id}: ${target.width} × ${target.height}`);
        }
        for (const { id, pitch } of pitches(before.targets)) {
          assert.ok(pitch >= least, `${id}: ${pitch} px below the one above`);
        }
        for (const school of [1, 2, 0]) {
          await (await option(page, school)).tap();
          assertShows(await state(page), school, `school ${school} tapped`);
        }
        for (const row of phone ? [...expected.schoolOfRow.keys()] : [0, 9, 17]) {
          await tapRow(page, row);
          const now = await state(page);
          assert.equal(now.row, row, `row ${row} tapped`);
          assertShows(now, expected.schoolOfRow[row], `name ${row} tapped`);
        }
        // The longest report, that of the school with the most names, fits in the box.
        const most = [0, 1, 2].reduce((a, b) => (expected.schools[b].length > expected.schools[a].length ? b : a));
        await (await option(page, most)).tap();
        const after = await touchMeasures(page);
        if (phone) {
          assert.equal(after.boxScrolls, false, 'the longest report needs no scrolling in the box');
        }
        assert.ok(after.overflow <= 0, `${after.overflow} px sideways after the report`);
        assert.deepEqual(problems, []);
      } finally {
        await page.close();
      }
    });
  }

  it('without arithmetic on lengths in CSS, the script scales the window as the style sheet does', async () => {
    const cases = { narrow: { width: 320, height: 480 }, phone: devices.phone, tablet: devices.tablet };
    for (const [what, viewport] of Object.entries(cases)) {
      const scales = [];
      for (const fallback of [false, true]) {
        const page = await browser.newPage();
        try {
          if (fallback) {
            await page.evaluateOnNewDocument(() => {
              const supports = CSS.supports.bind(CSS);
              CSS.supports = (...query) => (query[0] === 'zoom' ? false : supports(...query));
            });
          }
          await page.setViewport(viewport);
          await page.goto(server.url);
          await page.waitForFunction(() => document.documentElement.dataset.state === 'ready');
          scales.push(await page.$eval('#Tavrelon', (e) => [e.currentCSSZoom, e.style.zoom !== '']));
        } finally {
          await page.close();
        }
      }
      const [[css, cssInline], [script, scriptInline]] = scales;
      assert.equal(cssInline, false, `${what}: the style sheet alone`);
      assert.equal(scriptInline, true, `${what}: the script's scale`);
      assert.ok(Math.abs(css - script) < 0.01, `${what}: ${script} from the script against ${css}`);
    }
  });

  it('a desktop browser with a fine pointer keeps the window at its size', async () => {
    const { page } = await open(server.url, { width: 1280, height: 800 });
    try {
      assert.deepEqual(await page.$eval('#Tavrelon', (e) => [e.offsetWidth, e.offsetHeight, e.currentCSSZoom]), [482, 287, 1]);
    } finally {
      await page.close();
    }
  });
});

// WCAG's contrast ratio of two 'rgb(r, g, b)' colours.
function contrast(first, second) {
  const luminance = (colour) => {
    const [r, g, b] = colour.match(/[\d.]+/g).slice(0, 3).map((c) => {
      const v = Number(c) / 255;
      return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [a, b] = [luminance(first), luminance(second)].sort((x, y) => y - x);
  return (a + 0.05) / (b + 0.05);
}

describe('for screen readers and the keyboard', () => {
  it('reads each new report out politely, and the page describes itself', async () => {
    const { page, problems } = await open();
    try {
      const region = await page.$('[role=status]');
      assert.equal(await region.evaluate((r) => r.getAttribute('aria-live')), 'polite');
      assert.equal(await region.evaluate((r) => r.textContent), '', 'silent at start: the box has the focus');
      await clickRow(page, 4);
      await page.waitForFunction((r, text) => r.textContent.trim() === text, {}, region, expected.spoken[expected.schoolOfRow[4]]);
      await (await option(page, 0)).click();
      await page.waitForFunction((r, text) => r.textContent.trim() === text, {}, region, expected.spoken[0]);
      const description = await page.$eval('meta[name=description]', (m) => m.content);
      assert.ok(description.length >= 50, description);
      assert.deepEqual(problems, []);
    } finally {
      await page.close();
    }
  });

  it('announces every report once, a repeated one too, as the school and then its names', async () => {
    const { page, problems } = await open();
    try {
      assert.equal(expected.spoken[1],
        'Софийска книжовна школа. Представители: йеромонах Гаврил, Матей Граматик, поп Пейо, св. Георги Софийски.');
      // One live region, and not the box, which the focus may be on: nothing is read twice.
      const live = await page.$$eval('[aria-live], [role=status], [role=alert], [role=log]', (all) =>
        all.map((e) => e.tagName));
      assert.deepEqual(live, ['DIV']);
      // Every text the region takes, in order.
      await page.evaluate(() => {
        globalThis.heard = [];
        const region = document.querySelector('[role=status]');
        new MutationObserver(() => globalThis.heard.push(region.textContent))
          .observe(region, { childList: true, characterData: true, subtree: true });
      });
      const steps = [
        ['Space on the first option, reached with Tab', async () => {
          await page.focus('#Text1_0');
          await page.keyboard.press('Tab');
          await page.keyboard.press('Space');
        }, 0],
        ['school 1 clicked', () => option(page, 1).then((o) => o.click()), 1],
        ['ArrowDown in the group', () => page.keyboard.press('ArrowDown'), 2],
        ['ArrowUp in the group', () => page.keyboard.press('ArrowUp'), 1],
        ['a name of the same school clicked', () => clickRow(page, 12), 1],
        ['the same name clicked again', () => clickRow(page, 12), 1],
        ['ArrowDown in the list', () => page.keyboard.press('ArrowDown'), expected.schoolOfRow[13]],
        ['ArrowDown to another name', () => page.keyboard.press('ArrowDown'), expected.schoolOfRow[14]],
        ['ArrowDown to a name of the same school', () => page.keyboard.press('ArrowDown'), expected.schoolOfRow[15]],
      ];
      assert.equal(expected.schoolOfRow[14], expected.schoolOfRow[15]);
      const fillings = [];
      for (const [what, act, school] of steps) {
        const [before, said] = await page.evaluate(() =>
          [globalThis.heard.length, document.querySelector('[role=status]').textContent]);
        await act();
        await page.waitForFunction((n, text) => globalThis.heard.length > n && globalThis.heard.at(-1).trim() === text,
          {}, before, expected.spoken[school]);
        // Let a second filling, were there one, show up.
        await new Promise((done) => setTimeout(done, 250));
        const heard = await page.evaluate((n) => globalThis.heard.slice(n), before);
        // Emptied first (when it held a report), then filled once; a filling never equals the one
        // before it, which a screen reader would drop as a duplicate, so the same report again
        // is spoken again.
        assert.deepEqual(heard.map((text) => text.trim()), [...(said ? [''] : []), expected.spoken[school]],
          `${what}: filled once`);
        assert.match(heard.at(-1), /^[^\s]([^]*[^\s])?\u00a0?$/, `${what}: nothing but a no-break space added`);
        assert.notEqual(heard.at(-1), fillings.at(-1), `${what}: a filling unlike the one before`);
        fillings.push(heard.at(-1));
        assertShows(await state(page), school, what);
      }
      assert.deepEqual(problems, []);
    } finally {
      await page.close();
    }
  });

  it('draws a focus indicator of 2 px at 3:1 or more against what it touches', async () => {
    const { page } = await open();
    try {
      await page.focus('#Text1_0');
      for (const id of ['Text1_0', 'Option1_0', 'List1_0']) {
        if (id !== 'Text1_0') {
          await page.keyboard.press('Tab');
        }
        const ring = await page.evaluate(() => {
          const element = document.activeElement;
          const style = getComputedStyle(element);
          // Drawn inside the element (a negative offset) it touches the element's field,
          // outside it the nearest background around it.
          let around = parseFloat(style.outlineOffset) < 0 ? element : element.parentElement;
          while (getComputedStyle(around).backgroundColor === 'rgba(0, 0, 0, 0)') {
            around = around.parentElement;
          }
          return {
            id: element.closest('.c').id,
            width: parseFloat(style.outlineWidth),
            colour: style.outlineColor,
            style: style.outlineStyle,
            background: getComputedStyle(around).backgroundColor,
          };
        });
        assert.equal(ring.id, id);
        assert.equal(ring.style, 'solid', id);
        assert.ok(ring.width >= 2, `${id}: ${ring.width} px`);
        const ratio = contrast(ring.colour, ring.background);
        assert.ok(ratio >= 3, `${id}: ${ring.colour} on ${ring.background}, ${ratio.toFixed(2)}:1`);
      }
    } finally {
      await page.close();
    }
  });

  it('under forced colours keeps the scroll bars\' arrows visible', async () => {
    const { page } = await open();
    const session = await page.createCDPSession();
    try {
      for (const scheme of ['light', 'dark']) {
        await session.send('Emulation.setEmulatedMedia', {
          features: [
            { name: 'forced-colors', value: 'active' },
            { name: 'prefers-color-scheme', value: scheme },
          ],
        });
        const areas = await page.evaluate(() =>
          ['Text1_0', 'List1_0'].map((id) => {
            const element = document.getElementById(id);
            const r = element.getBoundingClientRect();
            // The up arrow's button: the scroll bar's square at the top, inside the border.
            const bar = parseFloat(getComputedStyle(element, '::-webkit-scrollbar').width);
            return { id, bar, clip: { x: r.right - 1 - bar, y: r.top + 1, width: bar, height: bar } };
          }));
        for (const { id, bar, clip } of areas) {
          assert.ok(bar > 0, `${id} has a scroll bar`);
          const picture = await page.screenshot({ clip, encoding: 'base64', captureBeyondViewport: false });
          // The darkest and the lightest pixel of the up arrow's button.
          const ratio = await measurePixels(picture);
          assert.ok(ratio >= 3, `${scheme}: ${id}'s up arrow at ${ratio.toFixed(2)}:1`);
        }
      }
    } finally {
      await page.close();
    }
  });
});

// The contrast between the darkest and the lightest pixel of a PNG picture.
async function measurePixels(base64) {
  const scratch = await browser.newPage();
  try {
    return await scratch.evaluate(async (source) => {
      const image = new Image();
      image.src = `data:image/png;base64,${source}`;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      const { data } = context.getImageData(0, 0, image.width, image.height);
      const linear = (c) => (c / 255 <= 0.04045 ? c / 255 / 12.92 : ((c / 255 + 0.055) / 1.055) ** 2.4);
      let low = 1;
      let high = 0;
      for (let i = 0; i < data.length; i += 4) {
        const l = 0.2126 * linear(data[i]) + 0.7152 * linear(data[i + 1]) + 0.0722 * linear(data[i + 2]);
        low = Math.min(low, l);
        high = Math.max(high, l);
      }
      return (high + 0.05) / (low + 0.05);
    }, base64);
  } finally {
    await scratch.close();
  }
}

// Loads the site at `url` in a fresh profile and checks that it runs under `policy`, sent as a
// header: the header itself, no violation reported, the style sheet applied, a click answered,
// the service worker registered, no request outside the site's folder.
async function checkUnderPolicy(url, policy) {
  const context = await browser.createBrowserContext();
  try {
    const violations = [];
    const watch = async (page) => {
      await page.exposeFunction('reportViolation', (v) => violations.push(v));
      await page.evaluateOnNewDocument(() => {
        document.addEventListener('securitypolicyviolation', (e) =>
          globalThis.reportViolation(`${e.violatedDirective}: ${e.blockedURI}`));
      });
    };
    const { page, problems } = await open(url, undefined, context);
    await watch(page);
    const response = await page.reload();
    await page.waitForFunction(() => document.documentElement.dataset.state === 'ready');
    assert.equal(response.headers()['content-security-policy'], policy);
    const area = await page.$eval('#Tavrelon', (e) => [e.offsetWidth, e.offsetHeight,
      getComputedStyle(e).backgroundColor, document.getElementById('List1_0').offsetLeft]);
    assert.deepEqual(area, [482, 287, 'rgb(192, 192, 255)', 256], 'the style sheet applies');
    await clickRow(page, 2);
    assertShows(await state(page), expected.schoolOfRow[2], 'a click under the policy');
    await page.evaluate(() => navigator.serviceWorker.ready);
    assert.deepEqual(violations, []);
    assert.deepEqual(problems, []);
  } finally {
    await context.close();
  }
}

// A port of 127.0.0.1 that nothing listens on.
function freePort() {
  return new Promise((resolve) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

const readLog = (log) => (log && existsSync(log) ? readFileSync(log, 'utf8') : '');

// Runs a web server in the foreground from a scratch folder whose root/tavrelon is the site,
// until it answers at `url`; what it says on stderr or in `log` must be nothing.
async function startServer(command, args, prefix, url, log) {
  const server = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe'] });
  let errors = '';
  server.stderr.on('data', (chunk) => (errors += chunk));
  const stop = async () => {
    if (server.exitCode === null && server.signalCode === null) {
      await new Promise((done) => {
        server.once('exit', done);
        server.kill(command.endsWith('nginx') ? 'SIGQUIT' : 'SIGTERM');
      });
    }
    rmSync(prefix, { recursive: true, force: true });
  };
  try {
    for (let tries = 0; ; ++tries) {
      try {
        await fetch(url);
        break;
      } catch {
        assert.ok(tries < 50 && server.exitCode === null,
          `${command} did not start: ${errors}${readLog(log)}`);
        await new Promise((done) => setTimeout(done, 100));
      }
    }
    // Apache logs its start and stop as notices whatever the level; only the rest counts.
    const logged = readLog(log).split('\n').filter((l) => l && !/:notice\]/.test(l)).join('\n');
    assert.equal(errors + logged, '', `${command} warned about the configuration`);
  } catch (failure) {
    // A server left running would keep the test process from ever ending.
    await stop();
    throw failure;
  }
  return { url, stop };
}

function scratchRoot(name) {
  const prefix = mkdtempSync(join(tmpdir(), `tavrelon-${name}-`));
  chmodSync(prefix, 0o755);
  mkdirSync(join(prefix, 'root'));
  mkdirSync(join(prefix, 'temp'));
  // A copy, not a link: a server started as root serves as an unprivileged user, who may not
  // reach the build folder (a checkout under /root).
  cpSync(resolve(site), join(prefix, 'root/tavrelon'), { recursive: true });
  return prefix;
}

// nginx with the shipped snippet in its server block.
async function startNginx() {
  const port = await freePort();
  const prefix = scratchRoot('nginx');
  const temp = ['client_body', 'proxy', 'fastcgi', 'uwsgi', 'scgi']
    .map((what) => `${what}_temp_path ${prefix}/temp;`).join(' ');
  writeFileSync(join(prefix, 'nginx.conf'), `
${process.getuid?.() === 0 ? 'user root;' : ''}
worker_processes 1;
error_log stderr warn;
pid ${prefix}/nginx.pid;
events {}
http {
  access_log off;
  ${temp}
  server {
    listen 127.0.0.1:${port};
    root ${prefix}/root;
    include ${resolve(hosting, 'nginx-tavrelon.conf')};
  }
}
`);
  return startServer('/usr/sbin/nginx', ['-p', prefix, '-c', join(prefix, 'nginx.conf'), '-g', 'daemon off;'],
    prefix, `http://127.0.0.1:${port}/tavrelon/`);
}

// Apache with nothing but the modules the .htaccess names, reading the site's own .htaccess.
async function startApache() {
  const port = await freePort();
  const prefix = scratchRoot('apache');
  const modules = ['mpm_event', 'authz_core', 'dir', 'mime', 'headers', 'filter', 'deflate']
    .map((m) => `LoadModule ${m}_module /usr/lib/apache2/modules/mod_${m}.so`).join('\n');
  writeFileSync(join(prefix, 'httpd.conf'), `
${modules}
ServerRoot ${prefix}
ServerName 127.0.0.1
Listen 127.0.0.1:${port}
PidFile ${prefix}/httpd.pid
ErrorLog ${prefix}/error.log
LogLevel warn
# No types but the .htaccess's own.
TypesConfig /dev/null
Mutex file:${prefix}/temp
${process.getuid?.() === 0 ? 'User nobody\nGroup nogroup' : ''}
DocumentRoot ${prefix}/root
DirectoryIndex index.html
<Directory ${prefix}/root>
  Options FollowSymLinks
  AllowOverride All
  Require all granted
</Directory>
`);
  return startServer('/usr/sbin/apache2', ['-f', join(prefix, 'httpd.conf'), '-DFOREGROUND'],
    prefix, `http://127.0.0.1:${port}/tavrelon/`, join(prefix, 'error.log'));
}

describe('on any web server', () => {
  it('runs unchanged under the shipped strict policy, from a sub-folder', async () => {
    const { headers } = hostingRules(site);
    const policy = headers['Content-Security-Policy'];
    assert.match(policy, /script-src 'self' 'wasm-unsafe-eval'; style-src 'self'/);
    // The nginx snippet sends what the .htaccess does.
    const nginx = readFileSync(join(hosting, 'nginx-tavrelon.conf'), 'utf8');
    const nginxHeaders = Object.fromEntries([...nginx.matchAll(/add_header (\S+) "(.*)" always;/g)].map((m) => [m[1], m[2]]));
    assert.deepEqual(nginxHeaders, headers);
    for (const [, type, extension] of nginx.matchAll(/^ {8}(\S+) (\S+);$/gm)) {
      assert.equal(hostingRules(site).types.get(`.${extension}`).split(';')[0], type, extension);
    }

    const strict = await serve(site, { headers, folder: '/tavrelon/' });
    try {
      await checkUnderPolicy(strict.url, policy);
    } finally {
      await strict.close();
    }
  });

  for (const [name, start] of [['nginx', startNginx], ['Apache', startApache]]) {
    it(`runs behind ${name} with the shipped configuration, as a school's server would serve it`, async () => {
      const real = await start();
      try {
        await checkUnderPolicy(real.url, hostingRules(site).headers['Content-Security-Policy']);
        const types = await Promise.all(['tavrelon.wasm', 'manifest.webmanifest', 'tavrelon.css', 'tavrelon.js',
          'fonts/TavrelonSerif-Regular.woff2'].map(async (file) => {
          const response = await fetch(real.url + file, { headers: { 'Accept-Encoding': 'gzip' } });
          return [file, response.headers.get('content-type'), response.headers.get('content-encoding')];
        }));
        assert.deepEqual(types, [
          ['tavrelon.wasm', 'application/wasm', 'gzip'],
          ['manifest.webmanifest', 'application/manifest+json', 'gzip'],
          ['tavrelon.css', 'text/css; charset=utf-8', 'gzip'],
          ['tavrelon.js', 'text/javascript; charset=utf-8', 'gzip'],
          ['fonts/TavrelonSerif-Regular.woff2', 'font/woff2', null],
        ]);
      } finally {
        await real.stop();
      }
    });
  }

  it('says in Bulgarian when tavrelon.wasm is missing or broken', async () => {
    const scratch = mkdtempSync(join(tmpdir(), 'tavrelon-test-'));
    const broken = join(scratch, 'broken.wasm');
    writeFileSync(broken, readFileSync(join(site, 'tavrelon.wasm')).subarray(0, 4000));
    for (const [what, file] of [['missing', join(scratch, 'none.wasm')], ['broken', broken]]) {
      const faultyServer = await serve(site, { overrides: new Map([['/tavrelon.wasm', file]]) });
      const context = await browser.createBrowserContext();
      try {
        const { page } = await open(faultyServer.url, undefined, context);
        const message = await page.$eval('dialog[open]', (d) => d.textContent);
        assert.match(message, /файлът tavrelon\.wasm липсва или е повреден/, what);
        assert.doesNotMatch(message, /[A-Z]{4,}|Aborted|wasm binary/, `${what}: no English text`);
        assert.equal(await page.$eval('html', (h) => h.dataset.state), 'stopped');
      } finally {
        await context.close();
        await faultyServer.close();
      }
    }
  });

  it('runs opened from the disk, and without its disk script says how to open it', async () => {
    const page = await browser.newPage();
    const copy = mkdtempSync(join(tmpdir(), 'tavrelon-disk-'));
    try {
      await page.goto(pathToFileURL(resolve(site, 'index.html')).href);
      await page.waitForFunction(() => document.documentElement.dataset.state);
      assert.equal(await page.$eval('html', (h) => h.dataset.state), 'ready');
      await (await option(page, 2)).click();
      assertShows(await state(page), 2, 'from the disk');
      await clickRow(page, 5);
      assertShows(await state(page), expected.schoolOfRow[5], 'a name from the disk');
      assert.equal(await page.$eval('#Tavrelon', (e) => e.offsetWidth), 482, 'styled from the disk too');

      // A copy that lost the script that carries the module's code.
      cpSync(site, copy, { recursive: true });
      rmSync(join(copy, 'tavrelon-disk.js'));
      await page.goto(pathToFileURL(join(copy, 'index.html')).href);
      await page.waitForFunction(() => document.documentElement.dataset.state);
      const message = await page.$eval('dialog[open]', (d) => d.textContent);
      assert.match(message, /направо от диска/);
      assert.match(message, /уеб сървър/);
    } finally {
      await page.close();
      rmSync(copy, { recursive: true, force: true });
    }
  });
});

// A certificate for 127.0.0.1 and 127.0.0.2, made for the run: a course page is served over
// HTTPS, as learning platforms are.
function testCertificate() {
  const folder = mkdtempSync(join(tmpdir(), 'tavrelon-tls-'));
  try {
    execFileSync('openssl', ['req', '-x509', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:prime256v1',
      '-nodes', '-days', '1', '-subj', '/CN=127.0.0.1', '-addext', 'subjectAltName=IP:127.0.0.1,IP:127.0.0.2',
      '-keyout', join(folder, 'key.pem'), '-out', join(folder, 'cert.pem')], { stdio: 'ignore' });
    return { key: readFileSync(join(folder, 'key.pem')), cert: readFileSync(join(folder, 'cert.pem')) };
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// Opens a page that holds the program in a frame, and collects what went wrong on it and in the
// frame; resolves once the frame's program has started.
async function openWithFrame(context, url, viewport = { width: 800, height: 600 }) {
  const page = await context.newPage();
  const problems = watchProblems(page);
  await page.setViewport(viewport);
  await page.goto(url);
  const frame = await (await page.waitForSelector('iframe')).contentFrame();
  await frame.waitForFunction(() => document.documentElement.dataset.state === 'ready');
  return { page, frame, problems };
}

// How many service workers the page has registered, half a second after it started: the site
// opened on its own registers one by then.
const workers = (page) =>
  page.evaluate(async () => {
    await new Promise((done) => setTimeout(done, 500));
    return (await navigator.serviceWorker.getRegistrations()).length;
  });

// How the window sits in its frame: the frame's size, what would scroll, the window's box.
const fitInFrame = (frame) =>
  frame.evaluate(() => {
    const root = document.documentElement;
    const area = document.getElementById('Tavrelon').getBoundingClientRect();
    return {
      frame: [innerWidth, innerHeight],
      scrolls: root.scrollWidth > root.clientWidth || root.scrollHeight > root.clientHeight
        ? [root.scrollWidth, root.scrollHeight, root.clientWidth, root.clientHeight] : false,
      area: [area.left, area.top, area.width, area.height].map(Math.round),
    };
  });

// The embed snippet of docs/browser.md, pointed at `url`.
function embedSnippet(url) {
  const snippet = readFileSync(new URL('../../docs/browser.md', import.meta.url), 'utf8').match(/<iframe [^\n]*<\/iframe>/)[0];
  assert.match(snippet, /width="482" height="287" title="Tavrelon, школи"/);
  return snippet.replace(/src="[^"]*"/, `src="${url}"`);
}

describe('in a course page', () => {
  let secureBrowser;
  let siteServer;
  let course;
  const scratch = mkdtempSync(join(tmpdir(), 'tavrelon-course-'));
  before(async () => {
    const tls = testCertificate();
    const { headers } = hostingRules(site);
    siteServer = await serve(site, { headers, tls, folder: '/tavrelon/' });
    const page = (body) => `<!DOCTYPE html>\n<html lang="bg"><head><meta charset="utf-8"><title>Курс</title><link rel="icon" href="data:,"></head>` +
      `<body><h1>Книжовните школи</h1>${body}</body></html>\n`;
    writeFileSync(join(scratch, 'course.html'), page(embedSnippet(siteServer.url)));
    // A platform on a phone: a column narrower than the window.
    writeFileSync(join(scratch, 'narrow.html'), page(`<div style="width:320px">${embedSnippet(siteServer.url)}</div>`));
    course = await serve(scratch, { host: '127.0.0.2', tls, rulesFrom: site });
    secureBrowser = await launch(['--ignore-certificate-errors']);
  });
  after(async () => {
    await secureBrowser?.close();
    await course?.close();
    await siteServer?.close();
    rmSync(scratch, { recursive: true, force: true });
  });

  it('shows the whole window in a frame of its size, under the site\'s own policy, and works there', async () => {
    const context = await secureBrowser.createBrowserContext();
    try {
      const { page, frame, problems } = await openWithFrame(context, `${course.url}course.html`);
      assert.ok(frame.url().startsWith(siteServer.url), 'another origin than the course page');
      const policy = await frame.evaluate(async () =>
        (await fetch(location.href, { cache: 'no-store' })).headers.get('content-security-policy'));
      assert.match(policy, /frame-ancestors 'self' https:$/);
      assert.deepEqual(await fitInFrame(frame), { frame: [482, 287], scrolls: false, area: [0, 0, 482, 287] });
      await (await option(frame, 2)).click();
      assertShows(await state(frame), 2, 'a school in the frame');
      const row = await nameRow(frame, 6);
      await row.click();
      assertShows(await state(frame), expected.schoolOfRow[6], 'a name in the frame');
      await frame.waitForFunction((text) => document.querySelector('[role=status]').textContent.trim() === text, {},
        expected.spoken[expected.schoolOfRow[6]]);
      // Offline use belongs to the site opened on its own: no service worker in a frame.
      assert.equal(await workers(frame), 0);
      assert.deepEqual(problems, []);
      await page.close();
      // The same site opened on its own does register one.
      const alone = await context.newPage();
      await alone.goto(siteServer.url);
      await alone.waitForFunction(() => document.documentElement.dataset.state === 'ready');
      assert.equal(await workers(alone), 1, 'a worker for the site on its own');
    } finally {
      await context.close();
    }
  });

  it('in a narrower frame fits the window to the frame\'s width', async () => {
    const context = await secureBrowser.createBrowserContext();
    try {
      const { frame, problems } = await openWithFrame(context, `${course.url}narrow.html`);
      const fit = await fitInFrame(frame);
      assert.deepEqual(fit.frame, [320, 287]);
      assert.equal(fit.scrolls, false);
      assert.deepEqual(fit.area, [0, 0, 320, Math.round(287 * 320 / 482)]);
      await (await option(frame, 0)).click();
      assertShows(await state(frame), 0, 'a school in the narrow frame');
      assert.deepEqual(problems, []);
    } finally {
      await context.close();
    }
  });

  it('refuses a frame on a plain http: page', async () => {
    const plain = await serve(scratch, { host: '127.0.0.2', rulesFrom: site });
    const context = await secureBrowser.createBrowserContext();
    try {
      const page = await context.newPage();
      await page.goto(`${plain.url}course.html`, { waitUntil: 'networkidle0' });
      const frame = await (await page.$('iframe')).contentFrame();
      const shown = await frame.evaluate(() => document.getElementById('Tavrelon') !== null).catch(() => false);
      assert.equal(shown, false, 'the policy keeps the site out of the frame');
    } finally {
      await context.close();
      await plain.close();
    }
  });
});

function filesUnder(folder) {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    return statSync(path).isDirectory() ? filesUnder(path).map((f) => `${name}/${f}`) : [name];
  });
}

// A learning platform's page for the package: the platform's SCORM 1.2 API on its window, and
// the package's page in a frame, as a platform launches it (with ?window, in none: the test
// opens it in a window of its own). ?api= picks the API: scorm-again's runtime, none, one whose
// every call throws, or one whose every call answers "false". The page records each call, its
// answer and scorm-again's error code after it.
const platformPage = `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>A course</title><link rel="icon" href="data:,">
<script src="scorm12.min.js"></script>
<script>
const kind = new URLSearchParams(location.search).get('api');
const names = ['LMSInitialize', 'LMSFinish', 'LMSGetValue', 'LMSSetValue', 'LMSCommit', 'LMSGetLastError',
  'LMSGetErrorString', 'LMSGetDiagnostic'];
globalThis.calls = [];
if (kind === 'scorm-again') {
  const api = new Scorm12API({ logLevel: 4 });
  const lastError = api.LMSGetLastError.bind(api);
  for (const name of names) {
    const real = api[name].bind(api);
    api[name] = (...values) => {
      const answer = real(...values);
      calls.push([name, ...values, answer, lastError()]);
      return answer;
    };
  }
  window.API = api;
} else if (kind !== 'missing') {
  window.API = Object.fromEntries(names.map((name) => [name, (...values) => {
    calls.push([name, ...values]);
    if (kind === 'throws') {
      throw new Error('the platform failed');
    }
    return 'false';
  }]));
}
</script></head>
<body><script>
if (!new URLSearchParams(location.search).has('window')) {
  document.write('<iframe src="index.html" width="482" height="287" title="Tavrelon" style="border:0"></iframe>');
}
</script></body></html>
`;

describe('as a SCORM 1.2 package', () => {
  const unpacked = mkdtempSync(join(tmpdir(), 'tavrelon-scorm-'));
  let platform;
  before(async () => {
    execFileSync('python3', ['-m', 'zipfile', '-e', scormPackage, unpacked]);
    const extra = mkdtempSync(join(tmpdir(), 'tavrelon-platform-'));
    writeFileSync(join(extra, 'platform.html'), platformPage);
    // A platform serves the package's files with types of its own, and may not know WebAssembly's:
    // the module then comes as application/octet-stream, which the browser does not compile
    // while loading, but the page still starts.
    writeFileSync(join(extra, '.htaccess'), readFileSync(join(site, '.htaccess'), 'utf8').replace(/^AddType .* \.wasm\n/m, ''));
    const overrides = new Map([
      ['/platform.html', join(extra, 'platform.html')],
      ['/scorm12.min.js', createRequire(import.meta.url).resolve('scorm-again/scorm12/min')],
    ]);
    platform = await serve(unpacked, { overrides, rulesFrom: extra });
  });
  after(async () => {
    await platform?.close();
    rmSync(unpacked, { recursive: true, force: true });
  });
  // The browser may give up compiling tavrelon.wasm while loading it under the wrong type; the
  // module's loader then fetches it again whole: one request cut short, and nothing else.
  const platformProblems = (problems) => problems.filter((p) => p !== `failed: ${platform.url}tavrelon.wasm`);

  it('holds the site\'s own files and a manifest that launches the page and lists every file', async () => {
    const files = filesUnder(unpacked).sort();
    assert.ok(files.includes('imsmanifest.xml'), 'imsmanifest.xml at the root');
    const packed = files.filter((f) => f !== 'imsmanifest.xml');
    assert.deepEqual(packed, filesUnder(site).filter((f) => f !== '.htaccess').sort(), 'the site, but for .htaccess');
    for (const file of packed) {
      assert.ok(readFileSync(join(unpacked, file)).equals(readFileSync(join(site, file))), `${file}: the site's own`);
    }
    const page = await browser.newPage();
    try {
      const manifest = await page.evaluate((xml) => {
        const doc = new DOMParser().parseFromString(xml, 'application/xml');
        const cp = 'http://www.imsproject.org/xsd/imscp_rootv1p1p2';
        const adlcp = 'http://www.adlnet.org/xsd/adlcp_rootv1p2';
        const all = (name, within = doc) => [...within.getElementsByTagNameNS(cp, name)];
        const organizations = all('organizations')[0];
        const resources = all('resource');
        return {
          error: doc.querySelector('parsererror')?.textContent ?? '',
          root: [doc.documentElement.namespaceURI, doc.documentElement.localName],
          schema: all('schema').map((e) => e.textContent),
          version: all('schemaversion').map((e) => e.textContent),
          organizations: all('organization').map((o) => o.getAttribute('identifier')),
          defaultOrganization: organizations.getAttribute('default'),
          items: all('item').map((i) => [i.getAttribute('identifierref'), all('title', i)[0]?.textContent]),
          resources: resources.map((r) => ({
            identifier: r.getAttribute('identifier'),
            type: r.getAttribute('type'),
            scormType: r.getAttributeNS(adlcp, 'scormtype'),
            href: r.getAttribute('href'),
            files: all('file', r).map((f) => f.getAttribute('href')),
          })),
        };
      }, readFileSync(join(unpacked, 'imsmanifest.xml'), 'utf8'));
      assert.equal(manifest.error, '');
      assert.deepEqual(manifest.root, ['http://www.imsproject.org/xsd/imscp_rootv1p1p2', 'manifest']);
      assert.deepEqual(manifest.schema, ['ADL SCORM']);
      assert.deepEqual(manifest.version, ['1.2']);
      assert.equal(manifest.organizations.length, 1);
      assert.equal(manifest.defaultOrganization, manifest.organizations[0]);
      assert.equal(manifest.resources.length, 1);
      const [resource] = manifest.resources;
      assert.deepEqual(manifest.items, [[resource.identifier, 'Tavrelon, школи']]);
      assert.deepEqual([resource.type, resource.scormType, resource.href], ['webcontent', 'sco', 'index.html']);
      assert.deepEqual(resource.files.sort(), packed);
    } finally {
      await page.close();
    }
    // Valid against IMS Content Packaging 1.1.2 and ADL's SCORM 1.2 extension, with xmllint. Its
    // only other word: the IMS schema of the xml: namespace, which libxml2 reads with a
    // complaint.
    const schema = new URL('scorm12.xsd', import.meta.url).pathname;
    const validation = spawnSync('xmllint', ['--noout', '--schema', schema, join(unpacked, 'imsmanifest.xml')],
      { encoding: 'utf8' });
    const said = validation.stderr.split('\n').filter((line) => line && !/ims_xml\.xsd|xmlns=|^\s*\^$/.test(line));
    assert.deepEqual([validation.status, said], [0, [`${join(unpacked, 'imsmanifest.xml')} validates`]]);
  });

  it('in a platform\'s frame with scorm-again: initialises, reports completed after the first choice, finishes on unload', async () => {
    const { page, frame, problems } = await openWithFrame(browser, `${platform.url}platform.html?api=scorm-again`);
    try {
      const type = await frame.evaluate(async () => (await fetch('tavrelon.wasm')).headers.get('content-type'));
      assert.equal(type, 'application/octet-stream', 'the platform does not know the type');
      const calls = () => page.evaluate(() => globalThis.calls);
      const status = () => page.evaluate(() => globalThis.API.cmi.core.lesson_status);
      assert.deepEqual(await calls(), [['LMSInitialize', '', 'true', '0']]);
      const before = await status();
      await (await option(frame, 1)).click();
      assertShows(await state(frame), 1, 'a school in the platform');
      await page.waitForFunction(() => globalThis.calls.length >= 3);
      assert.deepEqual((await calls()).slice(1), [
        ['LMSSetValue', 'cmi.core.lesson_status', 'completed', 'true', '0'],
        ['LMSCommit', '', 'true', '0'],
      ]);
      assert.equal(await status(), 'completed', `after "${before}"`);
      // Later choices store nothing more.
      await clickRow(frame, 3);
      await (await option(frame, 0)).click();
      assertShows(await state(frame), 0, 'a later choice');
      await frame.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 100))));
      assert.equal((await calls()).length, 3);
      await page.evaluate(() => {
        document.querySelector('iframe').src = 'about:blank';
      });
      await page.waitForFunction(() => globalThis.calls.length > 3);
      assert.deepEqual((await calls()).slice(3), [['LMSFinish', '', 'true', '0']]);
      assert.deepEqual(platformProblems(problems), []);
    } finally {
      await page.close();
    }
  });

  it('records the completion of a learner who leaves straight after the first choice', async () => {
    const { page, frame, problems } = await openWithFrame(browser, `${platform.url}platform.html?api=scorm-again`);
    try {
      // The choice and the leaving in one task (the platform and the package share an origin,
      // so one event loop): the page goes before its next frame.
      assert.ok(frame);
      await page.evaluate(() => {
        const packaged = document.querySelector('iframe');
        packaged.contentDocument.querySelector('input[value="2"]').click();
        packaged.remove();
      });
      await page.waitForFunction(() => globalThis.calls.length >= 4);
      assert.deepEqual(await page.evaluate(() => globalThis.calls.map((c) => c[0])),
        ['LMSInitialize', 'LMSSetValue', 'LMSCommit', 'LMSFinish']);
      assert.equal(await page.evaluate(() => globalThis.API.cmi.core.lesson_status), 'completed');
      assert.deepEqual(platformProblems(problems), []);
    } finally {
      await page.close();
    }
  });

  it('finds the API on the opener\'s window when the platform opens it in a window of its own', async () => {
    const context = await browser.createBrowserContext();
    try {
      const page = await context.newPage();
      await page.goto(`${platform.url}platform.html?api=scorm-again&window`);
      await page.evaluate(() => open('index.html', 'tavrelon'));
      const popup = await (await context.waitForTarget((t) => t.opener() === page.target())).page();
      await popup.waitForFunction(() => document.documentElement.dataset.state === 'ready');
      await (await option(popup, 2)).click();
      assertShows(await state(popup), 2, 'a school in the window');
      assert.equal(await workers(popup), 0, 'no service worker on the platform');
      await popup.close({ runBeforeUnload: true });
      await page.waitForFunction(() => globalThis.calls.length >= 4);
      assert.deepEqual(await page.evaluate(() => globalThis.calls.map((c) => c.slice(0, 1).concat(c.slice(-2)))), [
        ['LMSInitialize', 'true', '0'], ['LMSSetValue', 'true', '0'], ['LMSCommit', 'true', '0'], ['LMSFinish', 'true', '0'],
      ]);
    } finally {
      await context.close();
    }
  });

  for (const api of ['missing', 'throws', 'false']) {
    it(`with an API that is ${api === 'false' ? 'answering "false"' : api}, works and shows nothing of it`, async () => {
      const { page, frame, problems } = await openWithFrame(browser, `${platform.url}platform.html?api=${api}`);
      try {
        await (await option(frame, 2)).click();
        assertShows(await state(frame), 2, 'a school');
        await clickRow(frame, 7);
        assertShows(await state(frame), expected.schoolOfRow[7], 'a name');
        const shown = await frame.evaluate(() => [...document.body.children].map((e) => e.tagName));
        assert.deepEqual(shown, ['MAIN', 'DIV', 'NOSCRIPT'], 'no message, no dialog');
        await page.evaluate(() => {
          document.querySelector('iframe').src = 'about:blank';
        });
        await page.waitForFunction(() => document.querySelector('iframe').contentDocument?.URL === 'about:blank');
        // Nothing more is asked of an API that failed to start the session.
        assert.deepEqual(await page.evaluate(() => globalThis.calls), api === 'missing' ? [] : [['LMSInitialize', '']]);
        assert.deepEqual(platformProblems(problems), []);
      } finally {
        await page.close();
      }
    });
  }

  it('runs from the disk, unpacked, as the site does', async () => {
    const page = await browser.newPage();
    try {
      await page.goto(pathToFileURL(join(unpacked, 'index.html')).href);
      await page.waitForFunction(() => document.documentElement.dataset.state);
      assert.equal(await page.$eval('html', (h) => h.dataset.state), 'ready');
      await (await option(page, 1)).click();
      assertShows(await state(page), 1, 'the package from the disk');
      await clickRow(page, 9);
      assertShows(await state(page), expected.schoolOfRow[9], 'a name from the disk');
    } finally {
      await page.close();
    }
  });
});

describe('as an app', () => {
  it('is installable: Chromium reports no installability error and reads the manifest', async () => {
    const { page } = await open();
    try {
      const session = await page.createCDPSession();
      const { errors } = await session.send('Page.getAppManifest');
      assert.deepEqual(errors, []);
      await page.evaluate(() => navigator.serviceWorker.ready);
      const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
      assert.deepEqual(installabilityErrors, []);
      const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
      assert.equal(manifest.lang, 'bg');
      assert.equal(manifest.display, 'standalone');
      assert.match(manifest.name, /школи/);
      const sizes = manifest.icons.filter((i) => i.type === 'image/png').map((i) => `${i.sizes} ${i.purpose ?? 'any'}`);
      assert.deepEqual(sizes.sort(), ['192x192 any', '512x512 any', '512x512 maskable']);
      for (const icon of manifest.icons.filter((i) => i.type === 'image/png')) {
        const size = await page.evaluate(async (src) => {
          const bitmap = await createImageBitmap(await (await fetch(src)).blob());
          return `${bitmap.width}x${bitmap.height}`;
        }, icon.src);
        assert.equal(size, icon.sizes, icon.src);
      }
    } finally {
      await page.close();
    }
  });

  it('reloads without a network after one visit, and a new build replaces the old cache', async () => {
    const scratch = mkdtempSync(join(tmpdir(), 'tavrelon-test-'));
    const worker = readFileSync(join(site, 'sw.js'), 'utf8');
    const oldVersion = worker.match(/const version = '(\w+)'/)[1];
    const newWorker = join(scratch, 'sw.js');
    writeFileSync(newWorker, worker.replace(oldVersion, 'rebuilt'));
    const overrides = new Map();
    const ownServer = await serve(site, { overrides });
    const context = await browser.createBrowserContext();
    const caches = (page) => page.evaluate(async () => (await globalThis.caches.keys()).map((k) => k.split(' ').pop()));
    try {
      const { page } = await open(ownServer.url, undefined, context);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
      assert.deepEqual(await caches(page), [oldVersion]);
      // The next build: the learner's next visit takes it and drops the old cache.
      overrides.set('/sw.js', newWorker);
      await page.reload();
      await page.waitForFunction(async () => (await globalThis.caches.keys()).length === 1 &&
        (await globalThis.caches.keys())[0].endsWith(' rebuilt'));
      await ownServer.close();
      await page.reload();
      await page.waitForFunction(() => document.documentElement.dataset.state === 'ready');
      await (await option(page, 1)).click();
      assertShows(await state(page), 1, 'offline');
      assert.equal(await page.$eval('#Tavrelon', (e) => e.offsetWidth), 482, 'styled offline');
    } finally {
      await context.close();
      await ownServer.close();
    }
  });
});

describe('the picture on a phone', { skip: !process.env.TAVRELON_WEB_PHONE_SCREENSHOT }, () => {
  it('is taken after tapping the second name', async () => {
    const viewport = { width: 360, height: 800, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
    const { page } = await open(server.url, viewport);
    try {
      await tapRow(page, 1);
      await page.$eval('select', (l) => (l.scrollTop = 0));
      await page.screenshot({ path: process.env.TAVRELON_WEB_PHONE_SCREENSHOT, captureBeyondViewport: false });
    } finally {
      await page.close();
    }
  });
});

describe('the picture of the window', { skip: !process.env.TAVRELON_WEB_SCREENSHOT }, () => {
  it('is taken after choosing the second name', async () => {
    const { page } = await open();
    try {
      await clickRow(page, 1);
      await page.$eval('select', (l) => (l.scrollTop = 0));
      const clip = await (await page.$('#Tavrelon')).boundingBox();
      await page.screenshot({ path: process.env.TAVRELON_WEB_SCREENSHOT, clip, captureBeyondViewport: false });
    } finally {
      await page.close();
    }
  });
});
