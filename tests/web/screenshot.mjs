// The user guide's picture of the page: the sample frigate with its textures opened through the
// Open input, markers labelled. Usage: node tests/web/screenshot.mjs OUT.png
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
  if (page.errors.length > 0) throw new Error(`console errors: ${page.errors.join('\n')}`);
  console.log(out);
} finally {
  await browser.close();
  await server.close();
}
