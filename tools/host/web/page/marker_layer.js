// The markers drawn in the view: each as short axes in its kind's colour with its name as a label,
// placed from the marker list's rows; the selected one brighter, its label marked. Clicking a label
// or the axes picks the marker.
import * as THREE from 'three';
import { CSS2DObject } from 'three/addons/renderers/CSS2DRenderer.js';
import { viewMatrixOfRows } from './marker_math.js';

export const MARKER_KINDS = [
  { kind: 'hardpoint', group: 'hardpoints', colour: 0xff5a4f },
  { kind: 'emitter', group: 'emitters', colour: 0xffb82e },
  { kind: 'sprite', group: 'sprites', colour: 0x3ddcff },
];
const SELECTED_COLOUR = 0xffffff;

// Three lines along x, y and z of `length`, brightest on x, darkest on z, in `colour`.
function axesGeometry(colour, length) {
  const base = new THREE.Color(colour);
  const positions = [0, 0, 0, length, 0, 0, 0, 0, 0, 0, length, 0, 0, 0, 0, 0, 0, length];
  const colours = [];
  for (const shade of [1.0, 0.75, 0.5]) {
    const c = base.clone().multiplyScalar(shade);
    colours.push(c.r, c.g, c.b, c.r, c.g, c.b);
  }
  const geometry = new THREE.BufferGeometry();
  geometry.setAttribute('position', new THREE.Float32BufferAttribute(positions, 3));
  geometry.setAttribute('color', new THREE.Float32BufferAttribute(colours, 3));
  return geometry;
}

const lineMaterial = () => new THREE.LineBasicMaterial({ vertexColors: true, depthTest: false, toneMapped: false });

// Creates the layer in `scene`; `onPick(id)` is called when a marker's label is clicked.
export function createMarkerLayer(scene, onPick) {
  const group = new THREE.Group();
  group.name = 'edited markers';
  scene.add(group);
  const shared = {};
  const objects = new Map();
  let selectedId = null;
  const visible = { all: true, hardpoint: true, emitter: true, sprite: true };
  const selectedGeometry = axesGeometry(SELECTED_COLOUR, 1);
  const material = lineMaterial();

  function place(holder, marker) {
    holder.matrix.copy(viewMatrixOfRows(marker.rows));
    holder.matrix.decompose(holder.position, holder.quaternion, holder.scale);
    holder.updateMatrixWorld(true);
  }
  function add(marker) {
    const holder = new THREE.Group();
    const lines = new THREE.LineSegments(shared[marker.kind], material);
    lines.renderOrder = 1;
    lines.scale.setScalar(shared.length);
    const label = document.createElement('div');
    label.className = `marker-label ${marker.kind}`;
    label.textContent = marker.name;
    label.addEventListener('click', (event) => { event.stopPropagation(); onPick(holder.userData.id); });
    const labelObject = new CSS2DObject(label);
    labelObject.center.set(0.5, 1.6); // above the marker: the gizmo's handles stay free
    holder.add(lines, labelObject);
    holder.userData = { id: marker.id, kind: marker.kind, lines, label };
    holder.visible = visible.all && visible[marker.kind];
    place(holder, marker);
    group.add(holder);
    objects.set(marker.id, holder);
  }
  function removeObject(holder) {
    holder.userData.label.remove();
    group.remove(holder);
    objects.delete(holder.userData.id);
  }
  return {
    group,
    // Draws `list` in place of the markers drawn; `radius`: the model's, for the axes' length.
    reset(list, radius) {
      for (const holder of [...objects.values()]) removeObject(holder);
      shared.length = radius * 0.12;
      for (const { kind, colour } of MARKER_KINDS) shared[kind] ??= axesGeometry(colour, 1);
      selectedId = null;
      for (const marker of list) add(marker);
    },
    add,
    remove(id) { const holder = objects.get(id); if (holder) removeObject(holder); },
    // Moves the marker's axes and renames its label after a change of the list.
    update(marker) {
      const holder = objects.get(marker.id);
      if (!holder) return;
      holder.userData.label.textContent = marker.name;
      place(holder, marker);
    },
    // Marks the marker `id` (or none) as the selection; answers its object.
    select(id) {
      const previous = objects.get(selectedId);
      if (previous) {
        previous.userData.lines.geometry = shared[previous.userData.kind];
        previous.userData.label.classList.remove('selected');
      }
      selectedId = id;
      const holder = objects.get(id) ?? null;
      if (holder) {
        holder.userData.lines.geometry = selectedGeometry;
        holder.userData.label.classList.add('selected');
      }
      return holder;
    },
    object: (id) => objects.get(id) ?? null,
    // Shows or hides all markers (`kind` 'all') or one kind.
    setVisible(kind, on) {
      visible[kind] = on;
      for (const holder of objects.values()) holder.visible = visible.all && visible[holder.userData.kind];
    },
  };
}
