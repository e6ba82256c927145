// The 3D view: the model's GLB drawn by three.js, framed and orbited, with the marker list's
// hardpoints, emitters and sprites as small labelled axes in one colour per kind (marker_layer.js)
// and the gizmo on the selected one (gizmo.js). A click picks a marker, or with "Place on surface"
// a point of the hull.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { CSS2DRenderer } from 'three/addons/renderers/CSS2DRenderer.js';
import { MARKER_KINDS, createMarkerLayer } from './marker_layer.js';
import { createGizmo } from './gizmo.js';

export { MARKER_KINDS };
export const BACKGROUND = 0x121418;

// A scene with the view's lights: sky and ground, and a sun from above the front quarter.
export function litScene() {
  const scene = new THREE.Scene();
  scene.add(new THREE.HemisphereLight(0xffffff, 0x404048, 2.2));
  const sun = new THREE.DirectionalLight(0xffffff, 2.0);
  sun.position.set(3, 5, 4);
  scene.add(sun);
  return scene;
}
const CLICK_PIXELS = 4;

// Creates the view inside `container`; returns an object whose methods show a GLB, frame it,
// switch wireframe, grid and marker kinds, and capture the view as a PNG blob; its `markers` layer
// and `gizmo` are drawn from the marker list. `events`: onPick(id), onSurface(point, normal) (view
// axes), onMoveStart() and onMove(object, mode) (a drag of the gizmo begins, moves the marker's
// object).
export function createViewer(container, events = {}) {
  const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  renderer.setClearColor(BACKGROUND);
  container.appendChild(renderer.domElement);
  const labels = new CSS2DRenderer();
  Object.assign(labels.domElement.style, { position: 'absolute', inset: '0', pointerEvents: 'none' });
  container.appendChild(labels.domElement);

  const scene = litScene();
  const camera = new THREE.PerspectiveCamera(40, 1, 0.01, 1000);
  camera.position.set(6, 4, 8);
  const controls = new OrbitControls(camera, renderer.domElement);

  const state = { model: null, grid: null, wireframe: false, showGrid: true, markers: true, radius: 1,
    placing: false };
  // Every change asks for a drawing with render(); the view is drawn once in the next animation
  // frame however many changes come before it (opening a model changes the scene, the camera, the
  // grid and the markers in turn). draw() draws at once.
  let drawingAsked = false;
  const draw = () => {
    drawingAsked = false;
    renderer.render(scene, camera);
    labels.render(scene, camera);
  };
  const render = () => {
    if (drawingAsked) return;
    drawingAsked = true;
    requestAnimationFrame(() => { if (drawingAsked) draw(); });
  };
  controls.addEventListener('change', render);
  const layer = createMarkerLayer(scene, (id) => events.onPick?.(id));
  const gizmo = createGizmo({ camera, domElement: renderer.domElement, scene, orbit: controls, render,
    onStart: () => events.onMoveStart?.(), onMove: (object, mode) => events.onMove?.(object, mode) });
  listenForClicks(renderer.domElement, () => !gizmo.busy, (pointer) => pick(pointer));

  // What a click at `pointer` (normalised device coordinates) hits: with placing on, the hull;
  // else a marker's axes.
  function pick(pointer) {
    const raycaster = new THREE.Raycaster();
    raycaster.setFromCamera(pointer, camera);
    if (state.placing && state.model) {
      const meshes = [];
      state.model.traverse((object) => { if (object.isMesh && object.visible) meshes.push(object); });
      const hit = raycaster.intersectObjects(meshes, false)[0];
      if (!hit?.face) return;
      const normal = hit.face.normal.clone().transformDirection(hit.object.matrixWorld);
      events.onSurface?.(hit.point, normal);
      return;
    }
    raycaster.params.Line.threshold = state.radius * 0.01;
    const id = layer.pick(raycaster);
    if (id !== null) events.onPick?.(id);
  }
  const resize = () => {
    const { clientWidth: w, clientHeight: h } = container;
    if (w === 0 || h === 0) return;
    renderer.setSize(w, h);
    labels.setSize(w, h);
    camera.aspect = w / h;
    camera.updateProjectionMatrix();
    draw(); // setSize cleared the canvas: drawn again in this frame
  };
  new ResizeObserver(resize).observe(container);
  resize();

  const viewer = {
    // Shows the model of `glbBytes` (a Uint8Array) in place of the one shown; resolves when drawn.
    async show(glbBytes) {
      const buffer = glbBytes.buffer.slice(glbBytes.byteOffset, glbBytes.byteOffset + glbBytes.byteLength);
      const gltf = await new GLTFLoader().parseAsync(buffer, '');
      viewer.clear();
      state.model = gltf.scene;
      scene.add(state.model);
      state.radius = modelSize(state.model).radius;
      // The GLB's own marker nodes are not drawn: the layer draws the marker list.
      for (const { group } of MARKER_KINDS) { const holder = state.model.getObjectByName(group); if (holder) holder.visible = false; }
      viewer.frame();
      applyState();
    },
    // Removes the model shown, its markers and labels.
    clear() {
      gizmo.attach(null);
      layer.reset([], state.radius);
      if (!state.model) return;
      scene.remove(state.model);
      state.model.traverse((object) => {
        if (object.element) object.element.remove();
        object.geometry?.dispose();
        for (const material of [object.material].flat()) {
          if (!material) continue;
          material.map?.dispose();
          material.dispose();
        }
      });
      state.model = null;
      render();
    },
    // Points the camera at the whole model, from the front quarter, a little above it.
    frame() {
      if (!state.model) return render();
      const { centre, radius } = modelSize(state.model);
      const distance = radius / Math.sin(THREE.MathUtils.degToRad(camera.fov / 2)) * 1.1;
      const direction = new THREE.Vector3(0.9, 0.55, 1.1).normalize();
      camera.position.copy(centre).addScaledVector(direction, distance);
      camera.near = distance / 100;
      camera.far = distance * 100;
      camera.updateProjectionMatrix();
      controls.target.copy(centre);
      controls.update();
      placeGrid(centre, radius);
      render();
    },
    setWireframe(on) { state.wireframe = on; applyState(); },
    setGrid(on) { state.showGrid = on; applyState(); },
    setMarkers(on) { state.markers = on; layer.setVisible('all', on); render(); },
    setKind(kind, on) { layer.setVisible(kind, on); render(); },
    markerLayer: layer,
    gizmo,
    render,
    get radius() { return state.radius; },
    // The centre of the model's bounds, in view axes.
    get centre() { return state.model ? modelSize(state.model).box.getCenter(new THREE.Vector3()) : new THREE.Vector3(); },
    set placing(on) { state.placing = on; renderer.domElement.classList.toggle('placing', on); },
    get placing() { return state.placing; },
    get wireframe() { return state.wireframe; },
    get markersShown() { return state.markers; },
    // The view as a PNG blob, rendered just before the capture.
    async picture() {
      draw();
      return new Promise((resolve) => renderer.domElement.toBlob(resolve, 'image/png'));
    },
  };

  // A grid under the model, about three times its size, in cells of a round length.
  function placeGrid(centre, radius) {
    if (state.grid) scene.remove(state.grid);
    const cell = 10 ** Math.floor(Math.log10(radius / 2));
    const divisions = 2 * Math.ceil((radius * 3) / cell / 2);
    state.grid = new THREE.GridHelper(cell * divisions, divisions, 0x5a6573, 0x343b45);
    state.grid.position.set(centre.x, modelSize(state.model).box.min.y, centre.z);
    scene.add(state.grid);
  }

  // Brings wireframe, grid and marker visibility in line with the toggles, then draws.
  function applyState() {
    state.model?.traverse((object) => {
      if (object.isMesh) for (const material of [object.material].flat()) material.wireframe = state.wireframe;
    });
    if (state.grid) state.grid.visible = state.showGrid;
    render();
  }
  return viewer;
}

// The bounding box of the model's meshes (markers left out), its centre and radius.
function modelSize(model) {
  const box = new THREE.Box3();
  model.updateWorldMatrix(true, true);
  model.traverse((object) => { if (object.isMesh) box.expandByObject(object); });
  if (box.isEmpty()) box.setFromObject(model);
  if (box.isEmpty()) box.set(new THREE.Vector3(-1, -1, -1), new THREE.Vector3(1, 1, 1));
  const sphere = box.getBoundingSphere(new THREE.Sphere());
  return { box, centre: sphere.center, radius: Math.max(sphere.radius, 1e-3) };
}

// Calls `onClick(pointer)` (normalised device coordinates) for a click on `element` that did not
// move the pointer by more than a few pixels (an orbit) and that `accept()` lets through.
function listenForClicks(element, accept, onClick) {
  let down = null;
  element.addEventListener('pointerdown', (event) => { down = accept() ? [event.clientX, event.clientY] : null; });
  element.addEventListener('pointerup', (event) => {
    if (!down || Math.hypot(event.clientX - down[0], event.clientY - down[1]) > CLICK_PIXELS) return;
    const box = element.getBoundingClientRect();
    onClick(new THREE.Vector2(((event.clientX - box.left) / box.width) * 2 - 1, -((event.clientY - box.top) / box.height) * 2 + 1));
  });
}
