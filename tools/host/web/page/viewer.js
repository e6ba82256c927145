// The 3D view: the model's GLB drawn by three.js, framed and orbited, with its hardpoints,
// emitters and sprites as small labelled axes in one colour per kind.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { CSS2DRenderer, CSS2DObject } from 'three/addons/renderers/CSS2DRenderer.js';

// The glTF nodes that hold the markers, by kind, and the colour each kind is drawn in.
export const MARKER_KINDS = [
  { kind: 'hardpoint', group: 'hardpoints', colour: 0xff5a4f },
  { kind: 'emitter', group: 'emitters', colour: 0xffb82e },
  { kind: 'sprite', group: 'sprites', colour: 0x3ddcff },
];
const BACKGROUND = 0x121418;

// Creates the view inside `container`; returns an object whose methods show a GLB, frame it,
// switch wireframe, grid and marker kinds, and capture the view as a PNG blob.
export function createViewer(container) {
  const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  renderer.setClearColor(BACKGROUND);
  container.appendChild(renderer.domElement);
  const labels = new CSS2DRenderer();
  Object.assign(labels.domElement.style, { position: 'absolute', inset: '0', pointerEvents: 'none' });
  container.appendChild(labels.domElement);

  const scene = new THREE.Scene();
  scene.add(new THREE.HemisphereLight(0xffffff, 0x404048, 2.2));
  const sun = new THREE.DirectionalLight(0xffffff, 2.0);
  sun.position.set(3, 5, 4);
  scene.add(sun);
  const camera = new THREE.PerspectiveCamera(40, 1, 0.01, 1000);
  camera.position.set(6, 4, 8);
  const controls = new OrbitControls(camera, renderer.domElement);

  const state = { model: null, grid: null, wireframe: false, showGrid: true, markers: true,
    kinds: { hardpoint: true, emitter: true, sprite: true }, markerObjects: [] };
  const render = () => {
    renderer.render(scene, camera);
    labels.render(scene, camera);
  };
  controls.addEventListener('change', render);
  const resize = () => {
    const { clientWidth: w, clientHeight: h } = container;
    if (w === 0 || h === 0) return;
    renderer.setSize(w, h);
    labels.setSize(w, h);
    camera.aspect = w / h;
    camera.updateProjectionMatrix();
    render();
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
      const radius = modelSize(state.model).radius;
      state.markerObjects = addMarkers(state.model, radius);
      viewer.frame();
      applyState();
    },
    // Removes the model shown, its markers and labels.
    clear() {
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
      state.markerObjects = [];
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
    setMarkers(on) { state.markers = on; applyState(); },
    setKind(kind, on) { state.kinds[kind] = on; applyState(); },
    get wireframe() { return state.wireframe; },
    get markers() { return state.markers; },
    // The view as a PNG blob, rendered just before the capture.
    async picture() {
      render();
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
    for (const { object, kind } of state.markerObjects) object.visible = state.markers && state.kinds[kind];
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

// Draws each child of the marker groups as axes in its kind's colour with its name as a label;
// returns [{object, kind}] for the toggles.
function addMarkers(model, radius) {
  const found = [];
  for (const { kind, group, colour } of MARKER_KINDS) {
    const holder = model.getObjectByName(group);
    if (!holder) continue;
    for (const marker of holder.children) {
      const axes = markerAxes(colour, radius * 0.12);
      const label = document.createElement('div');
      label.className = `marker-label ${kind}`;
      label.textContent = marker.name;
      axes.add(new CSS2DObject(label));
      marker.add(axes);
      found.push({ object: axes, kind });
    }
  }
  return found;
}

// Three short lines along the marker's own axes, brightest on X, darkest on Z, drawn over the hull.
function markerAxes(colour, length) {
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
  const material = new THREE.LineBasicMaterial({ vertexColors: true, depthTest: false, toneMapped: false });
  const lines = new THREE.LineSegments(geometry, material);
  lines.renderOrder = 1;
  return lines;
}
