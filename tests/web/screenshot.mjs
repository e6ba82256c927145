// The user guide's pictures of the page: the sample frigate with its textures opened through the
// Open input, markers labelled; then (OUT-markers.png) a hardpoint selected, with the gizmo on it and
// the Marker panel. Usage: node tests/web/screenshot.mjs OUT.png
import path from 'node:path';
import { ROOT, serve, launch, openPage, settled } from './browser.mjs';

const out = process.argv[2] ?? 'docs/web-page.png';
const server = await serve();
const browser = await launch();
try {
  const page = await openPage(browser, server.url, { width: 1440, height: 900 });
  const sample = ['frigate.sod', 'frigate_hull.tga', 'frigate_engine.tga', 'frigate_plating.tga'];
  await page.getByLabel('Open', { exact: true }).setInputFiles(sample.map((name) => path.join(ROOT, 'docs/sample', name)));
  if ((await settled(page)) !== 'ready') throw new Error('the sample did not open');
  await page.screenshot({ path: out });
  await page.getByRole('button', { name: 'hp_phaser_fore', exact: true }).click();
  await page.mouse.move(0, 0);
  const selected = out.replace(/\.png$/, '-markers.png');
  await page.screenshot({ path: selected });
  if (page.errors.length > 0) throw new Error(`console errors: ${page.errors.join('\n')}`);
  console.log(out, selected);
} finally {
  await browser.close();
  await server.close();
}
