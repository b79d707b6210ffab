// What the page must show: the form and the expected texts as the build writes them
// (tests/form.json in the web build's folder, from the form's design, the catalogue and the
// reports the C++ tests expect). TAVRELON_FORM_DATA names another file.
import { readFileSync } from 'node:fs';

const file = process.env.TAVRELON_FORM_DATA ??
  new URL('../../build-web/cmake/tests/form.json', import.meta.url).pathname;
const form = JSON.parse(readFileSync(file, 'utf8'));

export const expected = {
  ...form,
  schools: form.reports,
  // What the live region says for each school's report: the school, then its names.
  spoken: form.announcements,
  controls: form.controls.map(({ kind, id, container, twips }) => ({ kind, id, container, twips })),
};
export const pixels = (twips) => Math.floor((twips * 96 + 720) / 1440);
