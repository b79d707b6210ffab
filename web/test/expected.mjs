// What the page must show, read from the project's own sources rather than copied: the control
// table and the assignment text of the form, and the reports of tests/expectedreports.h.
import { readFileSync } from 'node:fs';

const root = new URL('../../', import.meta.url);
const read = (path) => readFileSync(new URL(path, root), 'utf8');

// The value of a run of adjacent C string literals.
function cString(literals) {
  const escapes = { r: '\r', n: '\n', t: '\t', '"': '"', '\\': '\\' };
  return [...literals.matchAll(/"((?:[^"\\]|\\.)*)"/g)]
    .map((m) => m[1].replace(/\\(.)/g, (_, c) => escapes[c]))
    .join('');
}

function reports() {
  const text = read('tests/expectedreports.h');
  const block = text.match(/reports\s*\{([\s\S]*?)\};/)[1];
  const schools = block.split(/"\s*,\s*\n/).map((part) => cString(part.endsWith('"') ? part : `${part}"`)).filter(Boolean);
  const rows = text.match(/schoolOfRow\s*\{([^}]*)\}/)[1].split(',').map(Number);
  return { schools, schoolOfRow: rows };
}

// Each row of the control table: kind, name, element, container, and Left Top Width Height.
function controls() {
  const text = read('form/formdesign.h');
  const pattern =
    /\{Kind::(\w+),\s*"(\w+)",\s*(-?\d+),\s*Container::(\w+),\s*\{(\d+),\s*(\d+),\s*(\d+),\s*(\d+)\}/g;
  return [...text.matchAll(pattern)].map((m) => ({
    kind: m[1],
    id: Number(m[3]) < 0 ? m[2] : `${m[2]}_${m[3]}`,
    container: m[4],
    twips: m.slice(5, 9).map(Number),
  }));
}

function assignment() {
  const text = read('form/formdesign.cpp');
  return cString(text.match(/assignmentText\(\)\s*\{[^"]*return([\s\S]*?);\s*\}/)[1]);
}

// What the live region says for each school's report: the school, then its names, as sentences.
function spoken(report) {
  const [heading, caption, ...names] = report.split('\r\n').filter(Boolean);
  return `${heading.replace('Избрана: ', '')}. ${caption} ${names.map((n) => n.trim()).join(', ')}.`;
}

const known = reports();
export const expected = {
  ...known,
  spoken: known.schools.map(spoken),
  controls: controls(),
  assignment: assignment(),
};
export const pixels = (twips) => Math.floor((twips * 96 + 720) / 1440);
