// The page: wires the file inputs, drag-and-drop, keys and buttons to the WebAssembly module and
// the panels. document.body.dataset.state tells what the page is doing: loading, empty, opening,
// ready or failed. The marker editing lives in marker_editing.js over the one marker list. The
// converter runs in a worker (converter.js); every call of page.kveltar answers a promise.
import { startConverter } from './converter.js';
import { createViewer, MARKER_KINDS } from './viewer.js';
import { createMessages } from './messages.js';
import { showModel, clearModel } from './outline.js';
import { readFiles, droppedFiles as droppedEntries, modelFirst, mergeFiles, extension, stem,
  isModel } from './files.js';
import { convertOptions, convertAndSave, saveBlob, saveFiles } from './downloads.js';
import { createMarkerEditing, isSideFile } from './marker_editing.js';
import { createFilesTable, isSod } from './files_table.js';

const $ = (id) => document.getElementById(id);
const messages = createMessages($('messages'));
const panels = { name: $('model-name'), dialog: $('dialog-summary'), stats: $('stats'), outline: $('outline'),
  missingSection: $('missing-section'), missingList: $('missing-list') };
const saveButtons = ['download-glb', 'download-gltf', 'download-obj', 'download-sod', 'download-sod-reexport',
  'download-side-files',
  'save-picture'].map($);
const page = { kveltar: null, files: [], result: null, sodNoteGiven: false };
// The converter first, so that its module loads while the page starts; ?timeout=MS shortens the
// time a call may take (tests).
const timeoutMs = Number(new URLSearchParams(window.location.search).get('timeout')) || undefined;
const converter = startConverter({ worker: window.kveltarWorker, timeoutMs });
window.kveltarWorker = undefined;
// A model named by ?model=URL is fetched and opened by the converter's worker while the page's
// thread starts the view: {files, result} or {error}.
const addressed = new URLSearchParams(window.location.search).get('model');
const fetching = addressed ? converter.openAddress(new URL(addressed, window.location.href).href) : null;
fetching?.catch(() => {}); // a failure is reported once the converter is there
// One turn of the event loop before the view's long start on this thread (a WebGL context): the
// browser starts the converter's worker, which otherwise waits for this thread, in it.
await new Promise((resolve) => setTimeout(resolve));
const viewerEvents = {};
const viewer = startViewer();
const editing = createMarkerEditing({ $, viewer, viewerEvents, messages, outline: panels.outline, page });

// The 3D view, or where the browser gives the page no WebGL, a view that draws nothing, so that
// the panels and conversions still work.
function startViewer() {
  try {
    return createViewer($('viewport'), viewerEvents);
  } catch (error) {
    messages.add('error', `The 3D view could not start (WebGL): ${error.message}`);
    page.noWebGL = true;
    const layers = new Proxy({}, { get: () => () => null }); // the markers and the gizmo, drawing nothing
    return new Proxy({}, { get: (target, key) => (['markerLayer', 'gizmo'].includes(key) ? layers : async () => null) });
  }
}

const setState = (state) => { document.body.dataset.state = state; };
// A folder of more than one SOD file is a mod: the Files table (states checking and files) in
// place of the view.
const filesTable = createFilesTable({ $, page, messages, setState, openSet: (files) => openSet(files),
  pictures: !page.noWebGL });

// Opens the set `files` through the module and shows the model, or the module's messages when it
// cannot be opened. `opened`: the module's answer for these files when it was asked already.
async function openSet(files, opened = null) {
  if (!page.kveltar) return messages.add('error', 'The converter is not loaded; see the messages above.');
  if (!editing.mayDiscard()) return messages.add('info', 'Opening cancelled: the edits of the markers stay.');
  page.files = modelFirst(files);
  setState('opening');
  const result = await (opened ?? page.kveltar.open(page.files));
  const name = result.input?.name ?? page.files[0]?.name ?? 'nothing';
  messages.addAll(result.ok ? `Opened ${name}.` : `${name} could not be opened (status ${result.status}):`,
    result.messages);
  page.result = result.ok ? result : null;
  if (!result.ok || !result.glb) {
    clearModel(panels, name);
    viewer.clear();
    editing.open([], false);
    enableSaving();
    return setState('failed');
  }
  showModel(panels, result);
  $('welcome').hidden = true;
  try {
    await viewer.show(result.glb.bytes);
  } catch (error) {
    messages.add('error', `The view could not draw ${name}: ${error.message}`);
  }
  editing.open(result.outline.markers, true);
  const sideFiles = page.files.filter((file) => isSideFile(file.name)).map((file) => file.name);
  if (sideFiles.length > 0) await editing.readSideFiles(sideFiles, false);
  enableSaving();
  setState('ready');
}

// Enables the save buttons when a model is open.
function enableSaving() {
  for (const button of saveButtons) button.disabled = !page.result;
  $('download-sod-reexport').hidden = !isSodModel();
}

const isSodModel = () => page.result !== null && extension(page.files[0]?.name ?? '') === '.sod';

// Runs `action` for a user's event, putting any failure in the messages panel.
const guarded = (action) => async (event) => {
  try {
    await action(event);
  } catch (error) {
    messages.add('error', error.message ?? String(error));
    setState(page.result ? 'ready' : 'failed');
  }
};

// A file or folder entry that could not be read or entered: named, and the rest opened.
const skipped = (path, reason) => messages.add('warning', `${path} was skipped: ${reason}`);

// The files of a drop that opens a model or adds to the open set: none for a drop of more than
// one SOD file, which goes to the Files table; a drop with a model leaves the table.
async function droppedFiles(dataTransfer, skip) {
  const entries = await droppedEntries(dataTransfer, skip);
  if (entries.filter(isSod).length > 1) {
    filesTable.show(entries).catch((error) => messages.add('error', error.message ?? String(error)));
    return [];
  }
  if (entries.some((file) => isModel(file.name))) filesTable.leave();
  return entries;
}

// The file inputs: Open and Open folder start a new set, Add missing files adds to the open one.
for (const [id, merge] of [['open-files', false], ['open-folder', false], ['add-files', true]]) {
  $(id).addEventListener('change', guarded(async (event) => {
    const picked = [...event.target.files];
    event.target.value = '';
    // A folder of more than one SOD file is a mod: its files go to the Files table.
    if (!merge && picked.filter(isSod).length > 1) return filesTable.show(picked);
    const chosen = await readFiles(picked, skipped);
    if (chosen.length === 0) return;
    if (!merge) filesTable.leave();
    await openSet(merge ? mergeFiles(page.files, chosen) : chosen);
  }));
}

// Drag-and-drop anywhere: a drop with a model starts a new set, one without adds to the open set.
let dragDepth = 0;
document.addEventListener('dragenter', (event) => { event.preventDefault(); dragDepth += 1; $('drop-overlay').hidden = false; });
document.addEventListener('dragleave', () => { dragDepth -= 1; if (dragDepth <= 0) $('drop-overlay').hidden = true; });
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', guarded(async (event) => {
  event.preventDefault();
  dragDepth = 0;
  $('drop-overlay').hidden = true;
  await openDropped(await readFiles(await droppedFiles(event.dataTransfer, skipped), skipped));
}));

// Files dropped or handed over by the system: a set with a model starts a new set, side text
// files alone are read into the open model's markers, anything else is added to the open set.
async function openDropped(dropped) {
  if (dropped.length === 0) return;
  if (page.result && dropped.every((file) => isSideFile(file.name))) {
    page.files = mergeFiles(page.files, dropped);
    return editing.readSideFiles(dropped.map((file) => file.name), true);
  }
  const hasModel = dropped.some((file) => ['.sod', '.gltf', '.glb', '.obj'].includes(extension(file.name)));
  await openSet(hasModel ? dropped : mergeFiles(page.files, dropped));
}

// The save buttons.
const sodOptions = () => ({ game: Number($('sod-game').value), materials: $('sod-materials').checked,
  textures: $('sod-textures').checked });
// The GLB the model opened as while its markers are as they came; else converted with them.
$('download-glb').addEventListener('click', guarded(async () => {
  if (editing.changed) return convertAndSave(page.kveltar, page.files, editedOptions('glb'), messages);
  saveBlob(new Blob([page.result.glb.bytes], { type: 'model/gltf-binary' }), page.result.glb.name);
  messages.add('info', `Saved ${page.result.glb.name}.`);
}));
// The options of a conversion, with the markers when they were changed since the model was opened.
const editedOptions = (to) => ({ ...convertOptions(to, sodOptions()),
  ...(editing.changed ? { markers: editing.markers.plain() } : {}) });
for (const to of ['gltf', 'obj']) {
  $(`download-${to}`).addEventListener('click', guarded(async () => {
    await convertAndSave(page.kveltar, page.files, editedOptions(to), messages);
  }));
}
// A SOD model is saved as its own file with only the markers written anew (set-markers); any
// other model, or a SOD model on request, is exported by the plug-in.
$('download-sod').addEventListener('click', guarded(async () => {
  if (!isSodModel()) {
    if (await convertAndSave(page.kveltar, page.files, editedOptions('sod'), messages)) editing.saved();
    return;
  }
  const result = await page.kveltar.setMarkers(page.files, { markers: editing.markers.plain(),
    game: Number($('sod-game').value) });
  messages.addAll(result.ok ? 'Writing the markers into the original SOD file, every other byte kept:' :
    `The markers could not be written into ${page.files[0].name} (status ${result.status}):`, result.messages);
  if (!result.ok || result.files.length === 0) return;
  saveFiles(result.files, page.files[0].name);
  messages.add('info', `Saved ${result.files[0].name}.`);
  editing.saved();
}));
$('download-sod-reexport').addEventListener('click', guarded(async () => {
  if (!page.sodNoteGiven) {
    page.sodNoteGiven = true;
    messages.add('info', 'The SOD file is written by the plug-in\'s export from its import: one mesh node per ' +
      'material, as the plug-in writes them; the side files keep the original file\'s structure.');
  }
  messages.add('info', 'Re-exporting the model with the plug-in:');
  if (await convertAndSave(page.kveltar, page.files, editedOptions('sod'), messages)) editing.saved();
}));
$('download-side-files').addEventListener('click', guarded(async () => {
  const result = await page.kveltar.markers(page.files, { markers: editing.markers.plain(), extract: true,
    game: Number($('sod-game').value) });
  messages.addAll(result.ok ? 'Writing the side files with the plug-in\'s extraction:' :
    `The side files could not be written (status ${result.status}):`, result.messages);
  if (!result.ok) return;
  if (result.files.length === 0) return messages.add('info', 'There are no markers: no side files to save.');
  const saved = saveFiles(result.files, `${stem(page.files[0].name)}-side-files.zip`, true);
  messages.add('info', `Saved ${saved}.`);
  editing.saved();
}));
$('save-picture').addEventListener('click', guarded(async () => {
  const name = `${stem(page.files[0].name)}.png`;
  const picture = await viewer.picture();
  if (!picture) throw new Error('There is no picture: the 3D view is not running.');
  saveBlob(picture, name);
  messages.add('info', `Saved ${name}.`);
}));

// The view's toggles and keys: F frames the model, W toggles wireframe, M the markers.
$('show-wireframe').addEventListener('change', (event) => viewer.setWireframe(event.target.checked));
$('show-grid').addEventListener('change', (event) => viewer.setGrid(event.target.checked));
$('show-markers').addEventListener('change', (event) => viewer.setMarkers(event.target.checked));
for (const { kind } of MARKER_KINDS) {
  $(`show-${kind}`).addEventListener('change', (event) => viewer.setKind(kind, event.target.checked));
}
$('frame-model').addEventListener('click', () => viewer.frame());
const toggle = (id) => { const box = $(id); box.checked = !box.checked; box.dispatchEvent(new Event('change')); };
document.addEventListener('keydown', (event) => {
  if (event.altKey || event.target.matches?.('input[type=text], select, textarea')) return;
  if (editing.onKey(event)) { event.preventDefault(); return; }
  if (event.ctrlKey || event.metaKey) return;
  const action = { f: () => viewer.frame(), w: () => toggle('show-wireframe'), m: () => toggle('show-markers') }[event.key.toLowerCase()];
  if (action) { event.preventDefault(); action(); }
});
window.addEventListener('beforeunload', (event) => {
  if (!editing.edited) return;
  event.preventDefault();
  event.returnValue = '';
});

// Start: load the module, then open ?model=URL when the address names one.
const started = guarded(async () => {
  setState('loading');
  try {
    await converter.ready;
    page.kveltar = converter;
  } catch (error) {
    messages.add('error', `The converter could not be loaded: ${error.message ?? error}`);
    return setState('failed');
  }
  setState('empty');
  if (addressed) {
    messages.add('info', `Fetching ${addressed}…`);
    const answer = await fetching;
    if (answer.error !== undefined) throw new Error(answer.error);
    if (!answer.result) { // stopped: the time limit, or the converter failed
      messages.addAll(`${addressed} could not be opened:`, answer.messages);
      return setState('failed');
    }
    await openSet(answer.files, answer.result);
  }
})();
started.finally(keepOffline);

// The files an installed page is asked to open (its file handlers), opened as a drop is.
window.launchQueue?.setConsumer(guarded(async ({ files }) => {
  if (!files?.length) return;
  const chosen = await readFiles(await Promise.all(files.map((handle) => handle.getFile())), skipped);
  await started;
  await openDropped(chosen);
}));

// The offline worker, once the page has started (its install fetches the whole site).
function keepOffline() {
  navigator.serviceWorker?.register('sw.js').catch((error) => {
    messages.add('warning', `The page will not work offline: ${error.message}`);
  });
}
