// The editing of the open model's markers: the one marker list with its history, the outline's
// table, the Marker panel, the view's markers and gizmo, the panel's buttons and the keys. Side
// text files are read by the module (the plug-in's own reader).
import { createMarkers } from './markers.js';
import { createHistory, setMarkerCommand, addMarkerCommand, deleteMarkerCommand, replaceMarkersCommand } from './history.js';
import { createMarkerOutline } from './marker_outline.js';
import { createMarkerPanel } from './marker_panel.js';
import { rowsOfViewMatrix, mirroredRows, rowsOnSurface, rowsAt, roundedRows } from './marker_math.js';

const SIDE_KINDS = { '_hps.txt': 'hardpoint', '_ems.txt': 'emitter', '_sps.txt': 'sprite' };
const sideKind = (name) => Object.entries(SIDE_KINDS).find(([suffix]) => name.toLowerCase().endsWith(suffix))?.[1];
export const isSideFile = (name) => sideKind(name) !== undefined;
const NUDGE = { ArrowRight: [0, 1], ArrowLeft: [0, -1], ArrowUp: [1, 1], ArrowDown: [1, -1], PageUp: [2, 1], PageDown: [2, -1] };

// Wires the editing into the page: `$` finds elements, `viewer` draws, `viewerEvents` receives the
// view's picks and moves, `messages` tells, `outline` holds the tables, `page` the open set.
export function createMarkerEditing({ $, viewer, viewerEvents, messages, outline, page }) {
  const markers = createMarkers();
  let changed = false;
  const history = createHistory(({ canUndo, canRedo }) => {
    $('undo').disabled = !canUndo;
    $('redo').disabled = !canRedo;
  });
  const edit = (command) => { changed = true; history.execute(command); };
  // Edited numbers are kept to the side text files' six decimals.
  const set = (id, changes, mergeKey = null) => edit(setMarkerCommand(markers, id,
    changes.rows ? { ...changes, rows: roundedRows(changes.rows) } : changes, mergeKey));
  createMarkerOutline(outline, markers, (id) => markers.select(id));
  createMarkerPanel({ form: $('marker-form'), name: $('marker-name'), emitter: $('marker-emitter'),
    emitterFields: [...document.querySelectorAll('.emitter-field')],
    position: ['x', 'y', 'z'].map((axis) => $(`position-${axis}`)),
    rotation: ['x', 'y', 'z'].map((axis) => $(`rotation-${axis}`)) },
  markers, set, (text) => messages.add('error', text));

  // The view follows the list.
  markers.on('reset', () => { viewer.gizmo.attach(null); viewer.markerLayer.reset(markers.all(), viewer.radius); viewer.render(); });
  markers.on('add', ({ marker }) => { viewer.markerLayer.add(marker); viewer.render(); });
  markers.on('remove', ({ marker }) => { viewer.markerLayer.remove(marker.id); viewer.render(); });
  markers.on('change', (marker) => { viewer.markerLayer.update(marker); viewer.render(); });
  markers.on('select', (marker) => {
    viewer.gizmo.attach(viewer.markerLayer.select(marker?.id ?? null));
    for (const id of ['mirror-copy', 'delete-marker', 'place-surface', 'gizmo-move', 'gizmo-turn']) $(id).disabled = !marker;
    if (!marker) setPlacing(false);
    viewer.render();
  });
  viewerEvents.onPick = (id) => markers.select(id);
  let drags = 0;
  viewerEvents.onMoveStart = () => { drags += 1; };
  viewerEvents.onMove = (object, mode) => {
    const marker = markers.selected;
    if (!marker) return;
    object.updateMatrix();
    const moved = rowsOfViewMatrix(object.matrix);
    const rows = mode === 'translate' ? [...marker.rows.slice(0, 3), moved[3]] : [...moved.slice(0, 3), marker.rows[3]];
    set(marker.id, { rows }, `drag ${drags}`);
  };
  viewerEvents.onSurface = (point, normal) => {
    if (markers.selected) set(markers.selected.id, { rows: rowsOnSurface(point, normal) });
    setPlacing(false);
  };

  function setPlacing(on) {
    viewer.placing = on;
    $('place-surface').setAttribute('aria-pressed', String(on));
  }
  function setMode(mode) {
    viewer.gizmo.setMode(mode);
    $('gizmo-move').setAttribute('aria-pressed', String(mode === 'translate'));
    $('gizmo-turn').setAttribute('aria-pressed', String(mode === 'rotate'));
  }
  // A new marker of `kind` at the middle of the model's bounds with the model's axes, selected.
  function addMarker(kind) {
    const centre = viewer.centre;
    const name = markers.nextName(kind);
    const emitter = kind === 'emitter' ? markers.all().find((marker) => marker.kind === 'emitter')?.emitter ?? name : null;
    edit(addMarkerCommand(markers, { kind, name, emitter, rows: roundedRows(rowsAt([-centre.x, centre.y, centre.z])) }));
  }
  function mirrorCopy() {
    const marker = markers.selected;
    if (!marker) return;
    edit(addMarkerCommand(markers, { ...marker, name: markers.nextName(marker.kind), rows: mirroredRows(marker.rows) }));
  }
  const remove = () => { if (markers.selected) edit(deleteMarkerCommand(markers, markers.selected.id)); };
  function nudge(key, coarse) {
    const marker = markers.selected;
    if (!marker) return;
    const [axis, sign] = NUDGE[key];
    const rows = marker.rows.map((row) => [...row]);
    rows[3][axis] = Number((rows[3][axis] + sign * (coarse ? 1 : 0.1)).toFixed(6));
    set(marker.id, { rows }, 'nudge');
  }

  for (const kind of ['hardpoint', 'emitter', 'sprite']) $(`add-${kind}`).addEventListener('click', () => addMarker(kind));
  $('mirror-copy').addEventListener('click', mirrorCopy);
  $('delete-marker').addEventListener('click', remove);
  $('place-surface').addEventListener('click', () => setPlacing(!viewer.placing));
  $('gizmo-move').addEventListener('click', () => setMode('translate'));
  $('gizmo-turn').addEventListener('click', () => setMode('rotate'));
  $('undo').addEventListener('click', () => history.undo());
  $('redo').addEventListener('click', () => history.redo());

  return {
    markers,
    // Takes the markers of a model just opened (`ready`: the model is shown); forgets the history.
    open(list, ready) {
      markers.reset(list);
      history.clear();
      changed = false;
      for (const kind of ['hardpoint', 'emitter', 'sprite']) $(`add-${kind}`).disabled = !ready;
    },
    // Reads the side text files `names` of the open set with the plug-in's reader: their records
    // become the markers of their kinds (an edit that can be undone when `asEdit`).
    async readSideFiles(names, asEdit) {
      const result = await page.kveltar.markers(page.files, { markers: markers.plain(), sideFiles: names });
      messages.addAll(result.ok ? `Read ${names.join(', ')} with the plug-in's reader:` :
        `${names.join(', ')} could not be read (status ${result.status}); the markers stay as they were:`, result.messages);
      if (!result.ok) return;
      for (const name of names) {
        const count = result.markers.filter((marker) => marker.kind === sideKind(name)).length;
        messages.add('info', `${name} gave ${count} ${sideKind(name)}${count === 1 ? '' : 's'}.`);
      }
      if (asEdit) edit(replaceMarkersCommand(markers, result.markers));
      else { markers.reset(result.markers); changed = true; }
    },
    // Whether the page may put the open model away: no unsaved edits, or the user agrees.
    mayDiscard: () => !history.edited || window.confirm('The markers have edits that are not saved. Discard them?'),
    saved: () => history.markSaved(),
    get edited() { return history.edited; },
    get changed() { return changed; },
    // Handles the editing keys of `event`; true when it was one.
    onKey(event) {
      const key = event.key;
      const control = event.ctrlKey || event.metaKey;
      if (control && key.toLowerCase() === 'z') { if (event.shiftKey) history.redo(); else history.undo(); return true; }
      if (control && key.toLowerCase() === 'y') { history.redo(); return true; }
      if (control || !page.result) return false;
      if (key === 'Escape') { markers.select(null); return true; }
      if (NUDGE[key] && markers.selected) { nudge(key, event.shiftKey); return true; }
      const action = { g: () => setMode('translate'), r: () => setMode('rotate'), p: () => setPlacing(!viewer.placing),
        delete: remove }[key.toLowerCase()];
      if (!action || !markers.selected) return false;
      action();
      return true;
    },
  };
}
