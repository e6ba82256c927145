// The markers drawn in the view: each as short axes in its kind's colour, all markers of a kind in
// one batch of lines (a model may have thousands), with their names as labels up to LABEL_LIMIT
// markers. The selected marker is drawn apart, brighter, with its label marked, on an object that
// the gizmo moves. Clicking a label or the axes picks the marker.
import * as THREE from 'three';
import { CSS2DObject } from 'three/addons/renderers/CSS2DRenderer.js';
import { viewMatrixOfRows } from './marker_math.js';

export const MARKER_KINDS = [
  { kind: 'hardpoint', group: 'hardpoints', colour: 0xff5a4f },
  { kind: 'emitter', group: 'emitters', colour: 0xffb82e },
  { kind: 'sprite', group: 'sprites', colour: 0x3ddcff },
];
const SELECTED_COLOUR = 0xffffff;
const LABEL_LIMIT = 500;
const SHADES = [1.0, 0.75, 0.5]; // x brightest, z darkest
const ENDS = [new THREE.Vector3(1, 0, 0), new THREE.Vector3(0, 1, 0), new THREE.Vector3(0, 0, 1)];

const lineMaterial = () => new THREE.LineBasicMaterial({ vertexColors: true, depthTest: false, toneMapped: false });

// Writes the three axis lines (6 points) of the view matrix `matrix`, `length` long, into
// `positions` from point `slot * 6`.
function writeAxes(positions, slot, matrix, length) {
  const origin = new THREE.Vector3().setFromMatrixPosition(matrix);
  const end = new THREE.Vector3();
  ENDS.forEach((axis, i) => {
    end.copy(axis).multiplyScalar(length).applyMatrix4(matrix);
    origin.toArray(positions, (slot * 6 + i * 2) * 3);
    end.toArray(positions, (slot * 6 + i * 2 + 1) * 3);
  });
}

// The lines of `count` markers in `colour`, their points to be written with writeAxes.
function axesBatch(colour, count) {
  const base = new THREE.Color(colour);
  const colours = new Float32Array(count * 18);
  for (let slot = 0; slot < count; slot += 1) {
    SHADES.forEach((shade, i) => {
      const c = base.clone().multiplyScalar(shade);
      c.toArray(colours, (slot * 6 + i * 2) * 3);
      c.toArray(colours, (slot * 6 + i * 2 + 1) * 3);
    });
  }
  const geometry = new THREE.BufferGeometry();
  geometry.setAttribute('position', new THREE.Float32BufferAttribute(new Float32Array(count * 18), 3));
  geometry.setAttribute('color', new THREE.Float32BufferAttribute(colours, 3));
  const lines = new THREE.LineSegments(geometry, lineMaterial());
  lines.renderOrder = 1;
  lines.frustumCulled = false;
  return lines;
}

// A label element for `marker` that calls `onPick` when clicked.
function labelOf(marker, onPick) {
  const label = document.createElement('div');
  label.className = `marker-label ${marker.kind}`;
  label.textContent = marker.name;
  label.addEventListener('click', (event) => { event.stopPropagation(); onPick(marker.id); });
  const object = new CSS2DObject(label);
  object.center.set(0.5, 1.6); // above the marker: the gizmo's handles stay free
  return object;
}

// Creates the layer in `scene`; `onPick(id)` is called when a marker's label is clicked.
export function createMarkerLayer(scene, onPick) {
  const group = new THREE.Group();
  group.name = 'edited markers';
  scene.add(group);
  const visible = { all: true, hardpoint: true, emitter: true, sprite: true };
  const markers = new Map(); // id → marker of the list (live: its fields change in place)
  const batches = {}; // kind → {lines, ids}
  const labels = new Map(); // id → CSS2DObject
  const selection = new THREE.Group();
  selection.add(axesBatch(SELECTED_COLOUR, 1));
  let selected = null;
  let length = 1;

  const matrixOf = (marker) => viewMatrixOfRows(marker.rows);
  function placeSelection() {
    const matrix = matrixOf(selected);
    matrix.decompose(selection.position, selection.quaternion, selection.scale);
    writeAxes(selection.children[0].geometry.attributes.position.array, 0, new THREE.Matrix4(), length);
    selection.children[0].geometry.attributes.position.needsUpdate = true;
    selection.visible = visible.all && visible[selected.kind];
  }
  function placeLabel(marker) {
    const label = labels.get(marker.id);
    if (!label) return;
    label.element.textContent = marker.name;
    label.position.setFromMatrixPosition(matrixOf(marker));
  }
  // Draws every marker again: after markers came or went.
  function rebuild() {
    for (const { lines } of Object.values(batches)) { group.remove(lines); lines.geometry.dispose(); }
    for (const { kind, colour } of MARKER_KINDS) {
      const ids = [...markers.values()].filter((marker) => marker.kind === kind).map((marker) => marker.id);
      const lines = axesBatch(colour, ids.length);
      ids.forEach((id, slot) => writeAxes(lines.geometry.attributes.position.array, slot, matrixOf(markers.get(id)), length));
      lines.geometry.boundingSphere = new THREE.Sphere(new THREE.Vector3(), Infinity); // a marker may lie at infinity
      batches[kind] = { lines, ids, slots: new Map(ids.map((id, slot) => [id, slot])) };
      group.add(lines);
    }
    for (const label of labels.values()) { label.element.remove(); group.remove(label); }
    labels.clear();
    const labelled = markers.size <= LABEL_LIMIT ? [...markers.values()] : selected ? [selected] : [];
    for (const marker of labelled) { const label = labelOf(marker, onPick); labels.set(marker.id, label); group.add(label); placeLabel(marker); }
    applyVisibility();
  }
  function applyVisibility() {
    for (const [kind, { lines }] of Object.entries(batches)) lines.visible = visible.all && visible[kind];
    for (const [id, label] of labels) label.visible = visible.all && visible[markers.get(id)?.kind];
    if (selected) selection.visible = visible.all && visible[selected.kind];
  }
  return {
    // Draws `list` in place of the markers drawn; `radius`: the model's, for the axes' length.
    reset(list, radius) {
      length = radius * 0.12;
      markers.clear();
      for (const marker of list) markers.set(marker.id, marker);
      this.select(null);
      rebuild();
    },
    add(marker) { markers.set(marker.id, marker); rebuild(); },
    remove(id) { if (selected?.id === id) this.select(null); markers.delete(id); rebuild(); },
    // Moves the marker's axes and renames its label after a change of the list.
    update(marker) {
      const batch = batches[marker.kind];
      const slot = batch?.slots.get(marker.id);
      if (slot === undefined) return;
      writeAxes(batch.lines.geometry.attributes.position.array, slot, matrixOf(marker), length);
      batch.lines.geometry.attributes.position.needsUpdate = true;
      placeLabel(marker);
      if (marker === selected) placeSelection();
    },
    // Marks the marker `id` (or none) as the selection; answers the object the gizmo moves.
    select(id) {
      const previous = selected ? labels.get(selected.id) : null;
      previous?.element.classList.remove('selected');
      if (previous && markers.size > LABEL_LIMIT) { group.remove(previous); labels.delete(selected.id); }
      selected = markers.get(id) ?? null;
      if (!selected) { scene.remove(selection); return null; }
      if (!labels.has(selected.id)) { const label = labelOf(selected, onPick); labels.set(selected.id, label); group.add(label); placeLabel(selected); }
      labels.get(selected.id).element.classList.add('selected');
      placeSelection();
      scene.add(selection);
      return selection;
    },
    // The marker whose axes `raycaster` hits first, or null.
    pick(raycaster) {
      const hits = raycaster.intersectObjects(Object.values(batches).map(({ lines }) => lines).filter((lines) => lines.visible), false);
      for (const hit of hits) {
        const kind = Object.keys(batches).find((k) => batches[k].lines === hit.object);
        return batches[kind].ids[Math.floor(hit.index / 6)] ?? null;
      }
      return null;
    },
    // Shows or hides all markers (`kind` 'all') or one kind.
    setVisible(kind, on) { visible[kind] = on; applyVisibility(); },
  };
}
