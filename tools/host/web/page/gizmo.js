// The gizmo on the selected marker: three.js TransformControls, to move or to turn it (G and R
// switch, as in Blender); Shift snaps to 0.1 units and 15°. The orbit stops while it is dragged.
import * as THREE from 'three';
import { TransformControls } from 'three/addons/controls/TransformControls.js';

const SNAP_UNITS = 0.1;
const SNAP_DEGREES = 15;

// Creates the gizmo in `scene` over `domElement`; `onStart()` is called when a drag begins,
// `onMove(object, mode)` as it moves the attached object, `render` after every change. Its handles
// are made when a marker is first attached, not while the page starts.
export function createGizmo({ camera, domElement, scene, orbit, render, onStart, onMove }) {
  let controls = null;
  let mode = 'translate';
  const snap = (on) => {
    controls?.setTranslationSnap(on ? SNAP_UNITS : null);
    controls?.setRotationSnap(on ? THREE.MathUtils.degToRad(SNAP_DEGREES) : null);
  };
  function made() {
    if (controls) return controls;
    controls = new TransformControls(camera, domElement);
    controls.setSpace('local');
    controls.setMode(mode);
    scene.add(controls.getHelper());
    controls.addEventListener('dragging-changed', (event) => { orbit.enabled = !event.value; });
    controls.addEventListener('change', render);
    controls.addEventListener('mouseDown', () => onStart());
    controls.addEventListener('objectChange', () => onMove(controls.object, controls.mode));
    return controls;
  }
  window.addEventListener('keydown', (event) => { if (event.key === 'Shift') snap(true); });
  window.addEventListener('keyup', (event) => { if (event.key === 'Shift') snap(false); });
  return {
    attach(object) { if (object) made().attach(object); else controls?.detach(); render(); },
    setMode(given) { mode = given; controls?.setMode(given); render(); },
    get mode() { return mode; },
    // Whether the pointer is on one of the gizmo's handles or drags it: a click there is the gizmo's.
    get busy() { return controls !== null && (controls.dragging || controls.axis !== null); },
  };
}
