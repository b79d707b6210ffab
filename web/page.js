// The page's behaviour, appended to the module's loader (--extern-post-js) so that the site has
// one script. The page itself is already laid out from the form; this starts the form's code in
// WebAssembly and hands it the page's clicks. The controls keep their own state: the module asks
// for it through `page` (web/pagelibrary.js). A classic script, run deferred, in a block of its
// own so that it leaves no names behind.
{

const windowArea = document.getElementById('Tavrelon');
const box = windowArea.querySelector('textarea');
// Tells screen readers each new report, politely.
const announcer = document.querySelector('[role=status]');
const list = windowArea.querySelector('select');
// The school options by element number, which each carries as its value.
const options = [];
for (const option of windowArea.querySelectorAll('input[type=radio]')) {
  options[Number(option.value)] = option;
}

// The result box's exact text, CR LF included: the text area keeps only LF.
let report = box.value;
let core = null;
let stopped = false;
let rowBeforePress = -1;
let writes = 0;
// From the first report on: at start the box, which has the focus, is read anyway.
let announcing = false;

const page = {
  listIndex: () => list.selectedIndex,
  listCount: () => list.options.length,
  optionCount: () => options.length,
  optionValue: (element) => options[element].checked,
  // Checking clears the others of the group and, when it was not checked, delivers its click
  // before returning, as the form's code expects.
  setOptionValue(element, value) {
    const option = options[element];
    if (!value || option.checked) {
      option.checked = value;
      return;
    }
    option.checked = true;
    deliver(() => core._tavrelon_option_click(element));
  },
  // textContent, not text: a name keeps its trailing blank.
  text: (what, index) =>
    what === 0 ? list.options[index].textContent : options[index].parentElement.textContent,
  setText(text, spoken) {
    report = text;
    writes += 1;
    // Scrolled first, while the box's layout is still clean, so that nothing forces a layout.
    box.scrollTop = 0;
    box.value = text;
    box.setSelectionRange(0, 0);
    if (announcing) {
      announce(spoken);
      document.dispatchEvent(new Event('tavrelonreport'));
    }
  },
};

// The region is emptied at once and filled a moment later, so that the screen reader gets the
// whole text as new; while a key is held only the last report is spoken. Chromium hands the
// accessibility tree to the screen reader in batches: an empty region filled within the same
// batch would look unchanged to it. Orca also drops a filling equal to the one before as a
// duplicate, so every other one ends in a no-break space, which speech passes over: the same
// report again is spoken again.
let announcement = 0;
let marked = false;
// The words are the core's, the same every window says: the school, then its names, as sentences
// that speech reads with pauses ("Софийска книжовна школа. Представители: йеромонах Гаврил, …").
function announce(spoken) {
  announcer.textContent = '';
  clearTimeout(announcement);
  announcement = setTimeout(() => {
    marked = !marked;
    announcer.textContent = spoken + (marked ? '\u00a0' : '');
  }, 100);
}

function stop(message) {
  if (stopped) {
    return;
  }
  stopped = true;
  windowArea.inert = true;
  const dialog = document.createElement('dialog');
  dialog.setAttribute('role', 'alertdialog');
  dialog.setAttribute('aria-labelledby', 'error-title');
  dialog.setAttribute('aria-describedby', 'error-text');
  const title = document.createElement('h2');
  title.id = 'error-title';
  title.textContent = 'Tavrelon';
  const text = document.createElement('p');
  text.id = 'error-text';
  text.textContent = `${message}\n\nПрограмата спря. Презаредете страницата, за да започнете отначало.`;
  const form = document.createElement('form');
  form.method = 'dialog';
  const button = document.createElement('button');
  button.textContent = 'OK';
  form.append(button);
  dialog.append(title, text, form);
  document.body.append(dialog);
  dialog.showModal();
  document.documentElement.dataset.state = 'stopped';
}

// Runs one of the form's procedures; the first run-time error stops the page for good.
function deliver(procedure) {
  if (stopped || core === null) {
    return;
  }
  if (!procedure()) {
    stop(core.UTF8ToString(core._tavrelon_error()));
  }
}

const listClick = () => deliver(() => core._tavrelon_list_click());

options.forEach((option, element) =>
  option.addEventListener('change', () => {
    if (option.checked) {
      deliver(() => core._tavrelon_option_click(element));
    }
  }),
);

// A new selection is a click on the list, and so is a click on the row already selected.
list.addEventListener('change', listClick);
list.addEventListener('mousedown', () => {
  rowBeforePress = list.selectedIndex;
});
list.addEventListener('click', (event) => {
  const onRow = event.offsetX < list.clientWidth && event.offsetY < list.clientHeight;
  if (onRow && list.selectedIndex >= 0 && list.selectedIndex === rowBeforePress) {
    listClick();
  }
});
// With nothing chosen yet the first arrow key chooses the first row rather than stepping past it.
list.addEventListener('keydown', (event) => {
  if ((event.key === 'ArrowDown' || event.key === 'ArrowUp') && list.selectedIndex < 0 &&
      list.options.length > 0) {
    event.preventDefault();
    list.selectedIndex = 0;
    listClick();
  }
});

// Browsers without arithmetic on lengths in CSS scale the window here instead, as the style sheet
// would: down to a narrow screen, up to fill a tablet's, not at all in a phone's column.
if (!CSS.supports('zoom', 'min(1, 100vw / 1px)')) {
  const fit = () => {
    const style = getComputedStyle(windowArea);
    const number = (name) => Number(style.getPropertyValue(name));
    const { clientWidth, clientHeight } = document.documentElement;
    const margin = 2 * number('--margin');
    const scales = {
      phone: 1,
      tablet: Math.min((clientWidth - margin) / number('--width'), (clientHeight - margin) / number('--height')),
      window: Math.min(1, clientWidth / number('--width')),
    };
    windowArea.style.zoom = String(scales[style.getPropertyValue('--layout').trim()] ?? 1);
  };
  addEventListener('resize', fit);
  fit();
}

globalThis.tavrelon = Object.freeze({
  // The result box's text exactly as the form's code wrote it.
  get report() {
    return report;
  },
  // How many times the form's code has written the box.
  get writes() {
    return writes;
  },
});

// Why the module did not start, in words a teacher can act on.
function loadFailure() {
  if (location.protocol === 'file:') {
    return 'Страницата е отворена направо от диска, но файлът tavrelon-disk.js до нея липсва ' +
      'или е повреден, а без него браузърът не зарежда програмата оттам.\n' +
      'Отворете я през уеб сървър: например в папката с index.html изпълнете ' +
      '„python3 -m http.server“ и отворете http://localhost:8000/ в браузъра, ' +
      'или качете папката на сайта на училището.';
  }
  return 'Програмата не можа да се зареди: файлът tavrelon.wasm липсва или е повреден.\n' +
    'Копирайте отново всички файлове на сайта в папката на сървъра и презаредете страницата.';
}

// A new build's service worker may take over while this page is still loading from the old
// one's cache: the module's two files could then come from different builds. Loading again
// takes them all from the new one; a page already running keeps the build it has.
const hadWorker = Boolean(navigator.serviceWorker?.controller);
navigator.serviceWorker?.addEventListener('controllerchange', () => {
  if (hadWorker && core === null) {
    location.reload();
  }
});

// Keeps the site for reloads without a network, where the browser allows it: the site opened on
// its own, not in a course page's frame nor in a window a learning platform opened for it.
function keepOffline() {
  if ('serviceWorker' in navigator && location.protocol !== 'file:' && self === top && !self.opener) {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }
}

// From the disk the browser fetches nothing, but it runs a script from beside the page: there
// the module's code comes as text in tavrelon-disk.js.
function diskModule() {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = 'tavrelon-disk.js';
    script.onload = () => {
      const text = atob(globalThis.tavrelonDiskModule);
      delete globalThis.tavrelonDiskModule;
      resolve(Uint8Array.from(text, (c) => c.charCodeAt(0)));
    };
    script.onerror = reject;
    document.head.append(script);
  });
}

(async () => {
  try {
    // What emscripten would print about a failed load goes nowhere: the dialog says it.
    const settings = { page, printErr: () => {} };
    if (location.protocol === 'file:') {
      settings.wasmBinary = await diskModule();
    }
    core = await Module(settings);
  } catch {
    stop(loadFailure());
    return;
  }
  const started = core._tavrelon_start();
  announcing = true;
  if (started) {
    // A choice made while the module was loading counts once it is there.
    if (list.selectedIndex >= 0) {
      listClick();
    } else {
      const checked = options.findIndex((option) => option.checked);
      if (checked >= 0) {
        deliver(() => core._tavrelon_option_click(checked));
      }
    }
  } else {
    stop(core.UTF8ToString(core._tavrelon_error()));
  }
  if (!stopped) {
    document.documentElement.dataset.state = 'ready';
  }
  performance.mark('tavrelon-ready');
  keepOffline();
})();
}
