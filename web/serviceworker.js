// The site's service worker: keeps the site's files on the first visit, so that the page also
// loads without a network. The build writes the version (a digest of the files) and the list;
// a new build is a new version, whose cache replaces the old one when it takes over.
const version = '__VERSION__';
const files = [
  './',
  '__FILES__',
];
// One cache per folder the site is served from, so that two copies on one server keep apart.
const prefix = `tavrelon ${self.registration.scope} `;
const cacheName = prefix + version;

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const cache = await caches.open(cacheName);
      // Past the browser's HTTP cache: a new version must not keep the old files.
      await cache.addAll(files.map((file) => new Request(file, { cache: 'no-cache' })));
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    (async () => {
      for (const name of await caches.keys()) {
        if (name.startsWith(prefix) && name !== cacheName) {
          await caches.delete(name);
        }
      }
      await self.clients.claim();
    })(),
  );
});

// The kept files first; anything else from the network.
self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || !request.url.startsWith(self.registration.scope)) {
    return;
  }
  event.respondWith(
    (async () => {
      const cache = await caches.open(cacheName);
      const kept =
        (await cache.match(request, { ignoreSearch: true })) ??
        (request.mode === 'navigate' ? await cache.match('./') : undefined);
      return kept ?? fetch(request);
    })(),
  );
});
