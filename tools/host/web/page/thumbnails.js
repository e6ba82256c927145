// Small pictures of models: a GLB drawn by one shared off-screen three.js renderer, framed from
// the front quarter as the view frames it, and handed out as a PNG data URL. One picture at a time,
// each after the next animation frame, so that the page keeps drawing and answering in between.
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { BACKGROUND, litScene } from './viewer.js';

const WIDTH = 96;
const HEIGHT = 72;

let shared = null; // {renderer, scene, camera, loader}, made on the first picture

function drawing() {
  if (shared) return shared;
  const renderer = new THREE.WebGLRenderer({ antialias: true, canvas: document.createElement('canvas') });
  renderer.setSize(WIDTH, HEIGHT, false);
  renderer.setClearColor(BACKGROUND);
  shared = { renderer, scene: litScene(), camera: new THREE.PerspectiveCamera(40, WIDTH / HEIGHT, 0.01, 1000),
    loader: new GLTFLoader() };
  return shared;
}

// Frees what the model holds on the graphics card.
function dispose(model) {
  model.traverse((object) => {
    object.geometry?.dispose();
    for (const material of [object.material ?? []].flat()) {
      for (const value of Object.values(material)) if (value?.isTexture) value.dispose();
      material.dispose();
    }
  });
}

// The picture of the GLB `bytes` (Uint8Array) as a PNG data URL; throws where WebGL or the GLB fails.
export async function thumbnail(bytes) {
  const { renderer, scene, camera, loader } = drawing();
  const buffer = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
  const gltf = await loader.parseAsync(buffer, '');
  const model = gltf.scene;
  try {
    scene.add(model);
    const sphere = new THREE.Box3().setFromObject(model).getBoundingSphere(new THREE.Sphere());
    const radius = sphere.radius > 0 && Number.isFinite(sphere.radius) ? sphere.radius : 1;
    const distance = radius / Math.sin(THREE.MathUtils.degToRad(camera.fov / 2));
    camera.position.copy(sphere.center).add(new THREE.Vector3(0.6, 0.4, 0.8).normalize().multiplyScalar(distance));
    camera.near = distance / 100;
    camera.far = distance * 10;
    camera.updateProjectionMatrix();
    camera.lookAt(sphere.center);
    renderer.render(scene, camera);
    return renderer.domElement.toDataURL('image/png');
  } finally {
    scene.remove(model);
    dispose(model);
  }
}

// Resolves at the next animation frame.
export const nextFrame = () => new Promise((resolve) => requestAnimationFrame(() => resolve()));
