// The gizmo on the selected marker: three.js TransformControls, to move or to turn it (G and R
// switch, as in Blender); Shift snaps to 0.1 units and 15°. The orbit stops while it is dragged.
import * as THREE from 'three';
import { TransformControls } from 'three/addons/controls/TransformControls.js';

const SNAP_UNITS = 0.1;
const SNAP_DEGREES = 15;

// Creates the gizmo in `scene` over `domElement`; `onStart()` is called when a drag begins,
// `onMove(object, mode)` as it moves the attached object, `render` after every change.
export function createGizmo({ camera, domElement, scene, orbit, render, onStart, onMove }) {
  const controls = new TransformControls(camera, domElement);
  controls.setSpace('local');
  scene.add(controls.getHelper());
  controls.addEventListener('dragging-changed', (event) => { orbit.enabled = !event.value; });
  controls.addEventListener('change', render);
  controls.addEventListener('mouseDown', () => onStart());
  controls.addEventListener('objectChange', () => onMove(controls.object, controls.mode));
  const snap = (on) => {
    controls.setTranslationSnap(on ? SNAP_UNITS : null);
    controls.setRotationSnap(on ? THREE.MathUtils.degToRad(SNAP_DEGREES) : null);
  };
  window.addEventListener('keydown', (event) => { if (event.key === 'Shift') snap(true); });
  window.addEventListener('keyup', (event) => { if (event.key === 'Shift') snap(false); });
  return {
    attach(object) { if (object) controls.attach(object); else controls.detach(); render(); },
    setMode(mode) { controls.setMode(mode); render(); },
    get mode() { return controls.mode; },
    // Whether the pointer is on one of the gizmo's handles or drags it: a click there is the gizmo's.
    get busy() { return controls.dragging || controls.axis !== null; },
  };
}
