// What the page's tests, its picture for the user guide and its benchmark share: a static server
// for build/web on 127.0.0.1, and Debian's chromium driven headless by playwright-core with WebGL
// through SwiftShader.
import http from 'node:http';
import fs from 'node:fs/promises';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const WEB = path.join(ROOT, 'build/web');
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.json': 'application/json', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };

// Serves the folder `root` on a free port of 127.0.0.1, plus `extra` files by URL path
// ({'/models/x.sod': '/abs/x.sod'}). Resolves to {url, close}.
export async function serve(root = WEB, extra = {}) {
  const server = http.createServer(async (request, response) => {
    const urlPath = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = extra[urlPath] ?? path.join(root, path.normalize(urlPath === '/' ? '/index.html' : urlPath));
    if (!extra[urlPath] && !file.startsWith(root)) return response.writeHead(403).end();
    try {
      const body = await fs.readFile(file);
      response.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream' }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => new Promise((r) => server.close(r)) };
}

// Debian's chromium, headless, WebGL through SwiftShader.
export function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox'],
  });
}

// A new page of `browser` at `url` whose console errors and uncaught exceptions are collected in
// page.errors, and its requests for anything but the server's own files in page.foreign; resolves
// once the converter is loaded (the page's state is no longer "loading").
export async function openPage(browser, url, viewport = { width: 1280, height: 800 }) {
  const context = await browser.newContext({ viewport, acceptDownloads: true });
  const page = await context.newPage();
  page.errors = [];
  page.on('console', (message) => { if (message.type() === 'error') page.errors.push(message.text()); });
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.foreign = [];
  page.on('request', (request) => {
    if (!/^(blob|data):/.test(request.url()) && !request.url().startsWith(new URL(url).origin)) page.foreign.push(request.url());
  });
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.state && document.body.dataset.state !== 'loading');
  return page;
}

// Waits until the page has finished opening a file set or checking a folder; resolves to its
// state (ready, failed or files).
export async function settled(page, timeout = 30000) {
  await page.waitForFunction(() => ['ready', 'failed', 'files'].includes(document.body.dataset.state), null, { timeout });
  return page.evaluate(() => document.body.dataset.state);
}
