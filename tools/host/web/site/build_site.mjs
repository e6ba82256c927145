// Builds the static site in OUT from the page's sources: the page's modules with the parts of
// three.js and fflate they use bundled and minified into main.js, the converter's worker with
// kveltar.js and the WebAssembly glue into converter_worker.js (source maps beside both), the
// .wasm, the sample, the licences of what is bundled, the web app manifest with its icons, and
// the offline worker sw.js with the list of the site's files and a cache name of the version and
// their hash. Usage: node build_site.mjs OUT WASM_DIR VERSION
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { decodePng, encodePng, cropScaled } from './icons.mjs';

const HERE = path.dirname(fileURLToPath(import.meta.url));
const ROOT = path.resolve(HERE, '../../../..');
const PAGE = path.resolve(HERE, '../page');
const esbuild = createRequire(path.join(PAGE, 'package.json'))('esbuild');
const [out, wasmDir, version] = process.argv.slice(2).map((arg, index) => (index < 2 ? path.resolve(arg) : arg));
const SAMPLE = ['frigate.sod', 'frigate_hull.tga', 'frigate_engine.tga', 'frigate_plating.tga'];
const ICON_SIZES = [192, 512];
const ICON_SQUARE = { left: 168, top: 204, side: 640 }; // around the ship in docs/web-page.png
const MODEL_TYPES = { 'application/octet-stream': ['.sod'], 'model/gltf-binary': ['.glb'], 'model/gltf+json': ['.gltf'],
  'model/obj': ['.obj'] };

// The two bundles; kveltar.js's import of the glue goes to the WebAssembly build's.
async function bundle() {
  const glue = path.join(wasmDir, 'kveltar-wasm.js');
  if (!fs.existsSync(glue)) throw new Error(`${glue} is missing: build the WebAssembly module first (make wasm)`);
  const wasmGlue = { name: 'wasm-glue', setup: (build) => build.onResolve({ filter: /^\.\/kveltar-wasm\.js$/ }, () => ({ path: glue })) };
  await esbuild.build({
    entryPoints: { main: path.join(PAGE, 'main.js'), converter_worker: path.join(PAGE, 'converter_worker.js') },
    outdir: out, bundle: true, minify: true, sourcemap: true, format: 'esm', target: 'es2022',
    external: ['node:*'], plugins: [wasmGlue], logLevel: 'warning', legalComments: 'none',
  });
}

// The licences of what the bundles hold.
function licences() {
  const folder = path.join(out, 'LICENSES');
  fs.mkdirSync(folder, { recursive: true });
  for (const name of ['three', 'fflate']) fs.copyFileSync(path.join(PAGE, 'node_modules', name, 'LICENSE'), path.join(folder, `${name}.txt`));
  const emscripten = '/usr/share/doc/emscripten/copyright';
  if (fs.existsSync(emscripten)) fs.copyFileSync(emscripten, path.join(folder, 'emscripten.txt'));
}

// The manifest and its icons, cut from the picture of the page.
function manifest() {
  const picture = decodePng(fs.readFileSync(path.join(ROOT, 'docs/web-page.png')));
  for (const size of ICON_SIZES) {
    const pixels = cropScaled(picture, ICON_SQUARE.left, ICON_SQUARE.top, ICON_SQUARE.side, size);
    fs.writeFileSync(path.join(out, `icon-${size}.png`), encodePng(size, size, pixels));
  }
  const text = {
    name: 'kveltar: SOD models in the browser', short_name: 'kveltar', start_url: './', scope: './', display: 'standalone',
    background_color: '#121418', theme_color: '#121418',
    icons: ICON_SIZES.map((size) => ({ src: `icon-${size}.png`, sizes: `${size}x${size}`, type: 'image/png' })),
    file_handlers: [{ action: './', accept: MODEL_TYPES }],
  };
  fs.writeFileSync(path.join(out, 'manifest.webmanifest'), `${JSON.stringify(text, null, 2)}\n`);
}

// sw.js: the offline worker's code after the cache's name and the files it holds.
function offlineWorker(files) {
  const hash = crypto.createHash('sha256');
  for (const file of files) hash.update(`${file}\0`).update(fs.readFileSync(path.join(out, file)));
  const cache = `kveltar-${version}-${hash.digest('hex').slice(0, 12)}`;
  const code = fs.readFileSync(path.join(HERE, 'offline_worker.js'), 'utf8');
  fs.writeFileSync(path.join(out, 'sw.js'), `const CACHE = ${JSON.stringify(cache)};\nconst FILES = ${JSON.stringify(['./', ...files])};\n${code}`);
}

// What an earlier layout of the site left: the vendored modules and the page's modules one by one.
function removeStale() {
  fs.rmSync(path.join(out, 'vendor'), { recursive: true, force: true });
  for (const name of fs.readdirSync(PAGE).filter((file) => file.endsWith('.js') && file !== 'main.js')) {
    fs.rmSync(path.join(out, name), { force: true });
  }
}

fs.mkdirSync(path.join(out, 'sample'), { recursive: true });
removeStale();
await bundle();
for (const name of ['index.html', 'style.css']) fs.copyFileSync(path.join(PAGE, name), path.join(out, name));
fs.copyFileSync(path.join(wasmDir, 'kveltar-wasm.wasm'), path.join(out, 'kveltar-wasm.wasm'));
for (const name of SAMPLE) fs.copyFileSync(path.join(ROOT, 'docs/sample', name), path.join(out, 'sample', name));
licences();
manifest();
offlineWorker(['index.html', 'main.js', 'converter_worker.js', 'style.css', 'kveltar-wasm.wasm', 'manifest.webmanifest',
  ...ICON_SIZES.map((size) => `icon-${size}.png`), ...SAMPLE.map((name) => `sample/${name}`)]);
