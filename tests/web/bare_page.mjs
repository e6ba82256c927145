// The baseline of the page's benchmarks: three.js and GLTFLoader alone, drawing one GLB as the page's
// view does (same renderer options, lights and size). `?glb=URL&width=W&height=H` shows that GLB
// at once; `window.showGlb(url)` fetches, parses and adds another. body's data-state is "ready"
// once the model is added and drawn, as the page's is.
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';

const query = new URLSearchParams(window.location.search);
const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
renderer.setPixelRatio(window.devicePixelRatio);
renderer.setClearColor(0x121418);
renderer.setSize(Number(query.get('width') ?? 800), Number(query.get('height') ?? 600));
document.body.append(renderer.domElement);
const scene = new THREE.Scene();
scene.add(new THREE.HemisphereLight(0xffffff, 0x404048, 2.2));
const sun = new THREE.DirectionalLight(0xffffff, 2.0);
sun.position.set(3, 5, 4);
scene.add(sun);
const camera = new THREE.PerspectiveCamera(40, renderer.domElement.width / renderer.domElement.height, 0.01, 1000);

let shown = null;

// Fetches the GLB at `url`, adds its scene in place of the last one, frames and draws it.
window.showGlb = async (url) => {
  document.body.dataset.state = 'opening';
  const gltf = await new GLTFLoader().parseAsync(await (await fetch(url)).arrayBuffer(), '');
  if (shown) scene.remove(shown);
  shown = gltf.scene;
  scene.add(shown);
  const sphere = new THREE.Box3().setFromObject(gltf.scene).getBoundingSphere(new THREE.Sphere());
  const distance = sphere.radius / Math.sin(THREE.MathUtils.degToRad(camera.fov / 2)) * 1.1;
  camera.position.copy(sphere.center).addScaledVector(new THREE.Vector3(0.9, 0.55, 1.1).normalize(), distance);
  camera.near = distance / 100;
  camera.far = distance * 100;
  camera.updateProjectionMatrix();
  camera.lookAt(sphere.center);
  renderer.render(scene, camera);
  document.body.dataset.state = 'ready';
};

if (query.get('glb')) window.showGlb(query.get('glb'));
else document.body.dataset.state = 'empty';
