// The user guide's pictures of the page: the sample frigate with its textures opened through the
// Open input, markers labelled; then (OUT-markers.png) a hardpoint selected, with the gizmo on it and
// the Marker panel; then (OUT-files.png) the Files table of a small mod folder with its pictures.
// Usage: node tests/web/screenshot.mjs OUT.png
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';
import { modFolder, writeFolder } from './mod_folder.mjs';

const out = process.argv[2] ?? 'docs/web-page.png';
const server = await serve();
const browser = await launch();
try {
  let page = await openPage(browser, server.url, { width: 1440, height: 900 });
  const sample = ['frigate.sod', 'frigate_hull.tga', 'frigate_engine.tga', 'frigate_plating.tga'];
  await page.getByLabel('Open', { exact: true }).setInputFiles(sample.map((name) => path.join(ROOT, 'docs/sample', name)));
  if ((await settled(page)) !== 'ready') throw new Error('the sample did not open');
  await page.screenshot({ path: out });
  await page.getByRole('button', { name: 'hp_phaser_fore', exact: true }).click();
  await page.mouse.move(0, 0);
  const selected = out.replace(/\.png$/, '-markers.png');
  await page.screenshot({ path: selected });
  const mod = fs.mkdtempSync(path.join(os.tmpdir(), 'kveltar-shot-'));
  const folder = path.join(mod, 'my_mod');
  writeFolder(folder, modFolder(path.join(ROOT, 'docs/sample')));
  if (page.errors.length > 0) throw new Error(`console errors: ${page.errors.join('\n')}`);
  await page.context().close();
  page = await openPage(browser, server.url, { width: 1440, height: 900 });
  await page.getByLabel('Open folder', { exact: true }).setInputFiles(folder);
  if ((await settled(page)) !== 'files') throw new Error('the folder did not show as the Files table');
  await page.waitForFunction(() => [...document.querySelectorAll('#files-table img')].filter((image) => !image.hidden && image.complete).length >= 2);
  const files = out.replace(/\.png$/, '-files.png');
  await page.screenshot({ path: files });
  fs.rmSync(mod, { recursive: true, force: true });
  if (page.errors.length > 0) throw new Error(`console errors: ${page.errors.join('\n')}`);
  console.log(out, selected, files);
} finally {
  await browser.close();
  await server.close();
}
