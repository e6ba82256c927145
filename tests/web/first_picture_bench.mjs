// Page open to first picture in headless chromium: the largest legal mesh (65535 faces, written
// as a SOD file by the native host from an OBJ grid) against the sample frigate, opened by address
// (?model=URL) in the same run. Prints both times and their ratio.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';

const HOST = process.env.KVELTAR_HOST ?? path.join(ROOT, 'build/native/kveltar-host');
const FACES = 65535;
const RUNS = 3;

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

// Milliseconds from navigation start until the page is ready with `model` drawn; the fastest of RUNS.
async function firstPicture(browser, server, model) {
  let best = Infinity;
  for (let run = 0; run < RUNS; run += 1) {
    const page = await openPage(browser, `${server.url}?model=${model}`);
    if ((await settled(page)) !== 'ready') throw new Error(`${model} did not open: ${page.errors.join('; ')}`);
    const elapsed = await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve(performance.now()))));
    best = Math.min(best, elapsed);
    await page.context().close();
  }
  return best;
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kveltar-bench-'));
fs.writeFileSync(path.join(work, 'largest.obj'), gridObj());
const made = spawnSync(HOST, ['convert', path.join(work, 'largest.obj'), path.join(work, 'largest.sod'), '--quiet']);
if (made.status !== 0) throw new Error(`the native host could not write the largest mesh: ${made.stderr}`);
const server = await serve(undefined, {
  '/models/largest.sod': path.join(work, 'largest.sod'),
  '/models/frigate.sod': path.join(ROOT, 'docs/sample/frigate.sod'),
  ...Object.fromEntries(['hull', 'engine', 'plating'].map((t) => [`/models/frigate_${t}.tga`, path.join(ROOT, `docs/sample/frigate_${t}.tga`)])),
});
const browser = await launch();
try {
  const frigate = await firstPicture(browser, server, 'models/frigate.sod');
  const largest = await firstPicture(browser, server, 'models/largest.sod');
  console.log(`page open to first picture, headless chromium: largest mesh (${FACES} faces) ${largest.toFixed(0)} ms, ` +
    `sample frigate ${frigate.toFixed(0)} ms, ratio ${(largest / frigate).toFixed(2)}`);
} finally {
  await browser.close();
  await server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
