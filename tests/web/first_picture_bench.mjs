// The page in headless chromium against a bare page that loads only three.js and GLTFLoader
// (bare_page.html), on one server in one run:
// - page open to first picture: the sample frigate opened by address (?model=URL) against the
//   bare page showing the frigate's GLB as the native host writes it, at the size of the page's
//   view; and the largest legal mesh (65535 faces, written as a SOD file by the native host from
//   an OBJ grid) against the frigate on the page;
// - the longest gap between animation frames from "Open" of the largest mesh's SOD file to the
//   model on screen, against the bare page fetching, parsing and adding the same model's GLB.
// Prints the times, their ratios and differences; asserts nothing about them.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';

const HOST = process.env.KVELTAR_HOST ?? path.join(ROOT, 'build/native/kveltar-host');
const THREE = path.join(ROOT, 'tools/host/web/page/node_modules/three');
const BARE_THREE = ['build/three.module.js', 'build/three.core.js', 'examples/jsm/loaders/GLTFLoader.js',
  'examples/jsm/utils/BufferGeometryUtils.js', 'examples/jsm/utils/SkeletonUtils.js'];
const FACES = 65535;
const RUNS = 5;

// An OBJ of FACES triangles over a grid of 182 x 182 vertices (the last triangles cover the
// first row again), as text.
function gridObj() {
  const side = 182;
  const lines = [];
  for (let y = 0; y < side; y += 1) {
    for (let x = 0; x < side; x += 1) lines.push(`v ${x * 0.5} ${((x * 7 + y * 3) % 5) * 0.1} ${y * 0.5}`);
  }
  for (let f = 0; f < FACES; f += 1) {
    const quad = Math.floor(f / 2) % ((side - 1) * (side - 1));
    const v = Math.floor(quad / (side - 1)) * side + (quad % (side - 1)) + 1;
    lines.push(f % 2 === 0 ? `f ${v} ${v + 1} ${v + side}` : `f ${v + 1} ${v + side + 1} ${v + side}`);
  }
  return `${lines.join('\n')}\n`;
}

// The native host's conversion of `input` to `output`; throws when it fails.
function nativeConvert(input, output) {
  const made = spawnSync(HOST, ['convert', input, output, '--quiet']);
  if (made.status !== 0) throw new Error(`the native host could not convert ${input}: ${made.stderr}`);
}

const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Opens `url` in a page of its own, waits for it to be ready and resolves to the time of the
// next animation frame after navigation start (ms), with the page's size of view {width, height}.
async function firstPicture(browser, url) {
  const page = await openPage(browser, url);
  if ((await settled(page)) !== 'ready') throw new Error(`${url} did not open: ${page.errors.join('; ')}`);
  const shown = await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => {
    const canvas = document.querySelector('canvas');
    resolve({ elapsed: performance.now(), width: canvas.clientWidth, height: canvas.clientHeight });
  })));
  await page.context().close();
  return shown;
}

const fastest = (runs) => runs.reduce((best, shown) => (shown.elapsed < best.elapsed ? shown : best));

// The fastest first pictures of the page at `url` and of the bare page at `bareUrl(view)` (view: the
// page's size of view) over RUNS runs each, taken in turns after one run of the bare page that is
// not counted (the browser's first drawing), so that a busy machine weighs on both alike.
async function fastestFirstPictures(browser, url, bareUrl) {
  const page = [await firstPicture(browser, url)];
  await firstPicture(browser, bareUrl(page[0]));
  const bare = [];
  for (let run = 0; run < RUNS; run += 1) {
    if (run > 0) page.push(await firstPicture(browser, url));
    bare.push(await firstPicture(browser, bareUrl(page[0])));
  }
  return [fastest(page), fastest(bare)];
}

// The fastest first picture of `url` over RUNS runs, in ms.
async function fastestFirstPicture(browser, url) {
  const runs = [];
  for (let run = 0; run < RUNS; run += 1) runs.push(await firstPicture(browser, url));
  return fastest(runs);
}

// The longest gap between animation frames (ms) while `open(page)` opens a model in the page at
// `url`, until the frame after it is ready; the median of RUNS runs.
async function longestFrameGap(browser, url, open) {
  const gaps = [];
  for (let run = 0; run < RUNS; run += 1) {
    const page = await openPage(browser, url);
    // From "Open" on: the watch starts once the page's own start is over (the browser idle).
    await page.evaluate(() => new Promise((resolve) => requestIdleCallback(resolve, { timeout: 5000 })));
    await page.evaluate(() => {
      const watch = { longest: 0, last: performance.now(), on: true };
      const tick = () => {
        const now = performance.now();
        watch.longest = Math.max(watch.longest, now - watch.last);
        watch.last = now;
        if (watch.on) requestAnimationFrame(tick);
      };
      window.frameWatch = watch;
      requestAnimationFrame(tick);
    });
    await open(page);
    if ((await settled(page)) !== 'ready') throw new Error(`${url} did not open the model: ${page.errors.join('; ')}`);
    gaps.push(await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => {
      window.frameWatch.on = false;
      resolve(window.frameWatch.longest);
    })))));
    await page.context().close();
  }
  return median(gaps);
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kveltar-bench-'));
fs.writeFileSync(path.join(work, 'largest.obj'), gridObj());
nativeConvert(path.join(work, 'largest.obj'), path.join(work, 'largest.sod'));
nativeConvert(path.join(work, 'largest.sod'), path.join(work, 'largest.glb'));
nativeConvert(path.join(ROOT, 'docs/sample/frigate.sod'), path.join(work, 'frigate.glb'));
const server = await serve(undefined, {
  ...Object.fromEntries(['largest.sod', 'largest.glb', 'frigate.glb'].map((name) => [`/models/${name}`, path.join(work, name)])),
  '/models/frigate.sod': path.join(ROOT, 'docs/sample/frigate.sod'),
  ...Object.fromEntries(['hull', 'engine', 'plating'].map((t) => [`/models/frigate_${t}.tga`, path.join(ROOT, `docs/sample/frigate_${t}.tga`)])),
  '/bare/index.html': path.join(ROOT, 'tests/web/bare_page.html'),
  '/bare/bare_page.mjs': path.join(ROOT, 'tests/web/bare_page.mjs'),
  ...Object.fromEntries(BARE_THREE.map((file) => [`/bare/three/${file}`, path.join(THREE, file)])),
});
const bareUrl = `${server.url}bare/index.html`;
const browser = await launch();
try {
  const [frigate, bare] = await fastestFirstPictures(browser, `${server.url}?model=models/frigate.sod`,
    (view) => `${bareUrl}?glb=/models/frigate.glb&width=${view.width}&height=${view.height}`);
  console.log(`page open to first picture of the sample frigate, headless chromium: page ${frigate.elapsed.toFixed(0)} ms, ` +
    `bare three.js page with its GLB ${bare.elapsed.toFixed(0)} ms, ratio ${(frigate.elapsed / bare.elapsed).toFixed(2)}`);
  const largest = await fastestFirstPicture(browser, `${server.url}?model=models/largest.sod`);
  console.log(`page open to first picture: largest mesh (${FACES} faces) ${largest.elapsed.toFixed(0)} ms, ` +
    `sample frigate ${frigate.elapsed.toFixed(0)} ms, ratio ${(largest.elapsed / frigate.elapsed).toFixed(2)}`);
  const pageGap = await longestFrameGap(browser, server.url,
    (page) => page.getByLabel('Open', { exact: true }).setInputFiles(path.join(work, 'largest.sod')));
  const bareGap = await longestFrameGap(browser, `${bareUrl}?width=${frigate.width}&height=${frigate.height}`,
    (page) => page.evaluate(() => window.showGlb('/models/largest.glb')));
  console.log(`longest gap between animation frames while the largest mesh opens: page ${pageGap.toFixed(0)} ms, ` +
    `bare three.js page with its GLB ${bareGap.toFixed(0)} ms, difference ${(pageGap - bareGap).toFixed(0)} ms`);
} finally {
  await browser.close();
  await server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
