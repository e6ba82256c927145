// The page's offline worker (sw.js, after the CACHE and FILES the build writes above): the
// site's files are cached when it installs, so that the first visit leaves the page working
// without the network, and are answered from that cache first. A new release comes with a new
// cache name; it installs beside the one in use and takes over on the next visit, when no page
// of the old one is open any more (no skipWaiting: an open page keeps the worker script and the
// .wasm of its own release), and then deletes the old caches. clients.claim() lets the first
// install take the page it was installed from.
// The files are asked of the server again (no-cache), so that a release never caches a file of
// the one before from the browser's HTTP cache.
self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'no-cache' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('kveltar-') && name !== CACHE).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The site's own files from the cache (a page's address without its query: ?model=, ?timeout=);
// anything else, such as a model fetched by address, from the network.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: request.mode === 'navigate' }))
    .then((cached) => cached ?? fetch(request)));
});
