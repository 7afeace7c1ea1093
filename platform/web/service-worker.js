// The page's files kept for starts without a network. On install it stores
// the page, the program (.js, .wasm), assets.txt with every image it lists,
// the icon and the manifest in a cache named after this build (the build
// writes a hash of those files into PAGE_VERSION), and from then on answers
// the page's requests from that cache, going to the network only for what
// it does not hold. A new build has a new hash, so the browser installs this
// file again; the new worker waits until no tab shows the page (so that a
// page never gets the old .js with the new .wasm), then its files replace
// the old cache.
// Limits: an image the server lacked at install is not kept (the page then
// starts without it, as it does online); only GET requests are answered.
'use strict';

var PAGE_VERSION = '@EF_PAGE_VERSION@';
var CACHE = 'endless-field-' + PAGE_VERSION;
var PAGE_FILES = ['./', 'index.html', 'endless-field.js', 'endless-field.wasm', 'assets.txt',
                  'manifest.webmanifest', 'icon/endless-field.png'];

// From the server, not the browser's HTTP cache, which may hold an older build.
function fresh(path) {
  return new Request(path, {cache: 'reload'});
}

function keepImages(cache) {
  return fetch(fresh('assets.txt')).then(function(response) {
    if (!response.ok) throw new Error('assets.txt: HTTP ' + response.status);
    return response.text();
  }).then(function(list) {
    var paths = list.split('\n').filter(function(path) { return path.length > 0; });
    return Promise.all(paths.map(function(path) {
      return fetch(fresh(path)).then(function(response) {
        if (response.ok) return cache.put(path, response);
      });
    }));
  });
}

// The first worker takes over at once: the page has nothing kept yet.
self.addEventListener('install', function(event) {
  event.waitUntil(caches.open(CACHE).then(function(cache) {
    return cache.addAll(PAGE_FILES.map(fresh)).then(function() { return keepImages(cache); });
  }).then(function() {
    if (!self.registration.active) return self.skipWaiting();
  }));
});

// The caches of other builds go; the page open now is answered from here on.
self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(name) {
      return name.indexOf('endless-field-') === 0 && name !== CACHE;
    }).map(function(name) { return caches.delete(name); }));
  }).then(function() {
    return self.clients.claim();
  }));
});

// index.html?verbose is index.html: the query is the page's, not the file's.
self.addEventListener('fetch', function(event) {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE).then(function(cache) {
    return cache.match(event.request, {ignoreSearch: true});
  }).then(function(kept) {
    return kept || fetch(event.request);
  }));
});
