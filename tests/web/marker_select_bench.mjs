// How fast the page selects and moves a marker of a model with 10,000 markers: milliseconds from a
// click on an outline row to its highlight in the outline and the view (the next frame drawn), and
// from an arrow key to the marker moved, against the sample frigate's 5 markers in the same browser.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';

const COUNT = 10000;
const ROUNDS = 15;
const FRIGATE = ['frigate.sod', 'frigate_hull.tga', 'frigate_engine.tga', 'frigate_plating.tga']
  .map((name) => path.join(ROOT, 'docs/sample', name));
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kveltar-markers-'));
const many = path.join(folder, 'frigate_hps.txt');
fs.writeFileSync(many, Array.from({ length: COUNT }, (_, i) =>
  `hp${String(i).padStart(5, '0')} 1 0 0 0 1 0 0 0 1 ${(i % 100) / 20 - 2.5} ${Math.floor(i / 100) / 50 - 1} 0`).join('\n'));

// The median milliseconds of ROUNDS selections (click to highlighted and drawn) and nudges.
const measure = (page) => page.evaluate(async (rounds) => {
  const buttons = [...document.querySelectorAll('#outline button.marker-row')];
  const frame = () => new Promise((resolve) => requestAnimationFrame(() => resolve()));
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  const select = [];
  const nudge = [];
  for (let i = 0; i < rounds; i += 1) {
    const button = buttons[Math.floor((i * buttons.length) / rounds)];
    let start = performance.now();
    button.click();
    if (!button.closest('tr').classList.contains('selected')) throw new Error('not highlighted');
    await frame();
    select.push(performance.now() - start);
    start = performance.now();
    button.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowUp', bubbles: true }));
    await frame();
    nudge.push(performance.now() - start);
  }
  return { select: median(select), nudge: median(nudge), markers: buttons.length };
}, ROUNDS);

const [server, browser] = await Promise.all([serve(), launch()]);
try {
  const figures = [];
  for (const files of [FRIGATE, [...FRIGATE, many]]) {
    const page = await openPage(browser, server.url);
    const opened = performance.now();
    await page.getByLabel('Open', { exact: true }).setInputFiles(files);
    if (await settled(page) !== 'ready') throw new Error('the model did not open');
    const openMs = performance.now() - opened;
    figures.push({ ...(await measure(page)), open: openMs });
    await page.context().close();
  }
  const [base, big] = figures;
  for (const [what, key] of [['click to highlight', 'select'], ['arrow key to moved', 'nudge'], ['opening', 'open']]) {
    console.log(`${what}: ${big[key].toFixed(1)} ms with ${big.markers} markers, ${base[key].toFixed(1)} ms with ` +
      `${base.markers}: ratio ${(big[key] / base[key]).toFixed(2)}`);
  }
} finally {
  await browser.close();
  await server.close();
  fs.rmSync(folder, { recursive: true, force: true });
}
