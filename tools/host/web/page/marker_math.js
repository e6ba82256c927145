// A marker's rows (R0, R1, R2: its axes; T: its position; in the SOD file's axes) against the view's
// matrices, whose x is the file's mirrored (as the GLB the view draws), and against the Marker
// panel's numbers: position, and XYZ Euler angles in degrees of the axes.
import * as THREE from 'three';

const MIRROR_X = new THREE.Matrix4().makeScale(-1, 1, 1);
const vector = (row) => new THREE.Vector3(...row);

// The view's matrix of a marker: the file's transform with the x mirror on both sides.
export function viewMatrixOfRows(rows) {
  const file = new THREE.Matrix4().makeBasis(vector(rows[0]), vector(rows[1]), vector(rows[2]))
    .setPosition(vector(rows[3]));
  return MIRROR_X.clone().multiply(file).multiply(MIRROR_X);
}

// The rows of a view matrix (the inverse of viewMatrixOfRows).
export function rowsOfViewMatrix(matrix) {
  const file = MIRROR_X.clone().multiply(matrix).multiply(MIRROR_X);
  const e = file.elements;
  return [[e[0], e[1], e[2]], [e[4], e[5], e[6]], [e[8], e[9], e[10]], [e[12], e[13], e[14]]];
}

// The XYZ Euler angles, in degrees, of the axes (each axis's length left out).
export function anglesOfRows(rows) {
  const axes = rows.slice(0, 3).map((row) => vector(row).normalize());
  const matrix = new THREE.Matrix4().makeBasis(...axes);
  const euler = new THREE.Euler().setFromRotationMatrix(matrix, 'XYZ');
  return [euler.x, euler.y, euler.z].map((radians) => THREE.MathUtils.radToDeg(radians));
}

// The rows with axes turned to the XYZ Euler angles `degrees`, each keeping its length.
export function rowsWithAngles(rows, degrees) {
  const [x, y, z] = degrees.map((angle) => THREE.MathUtils.degToRad(angle));
  const matrix = new THREE.Matrix4().makeRotationFromEuler(new THREE.Euler(x, y, z, 'XYZ'));
  const axes = [new THREE.Vector3(), new THREE.Vector3(), new THREE.Vector3()];
  matrix.extractBasis(...axes);
  return [...axes.map((axis, i) => axis.multiplyScalar(vector(rows[i]).length() || 1).toArray()), [...rows[3]]];
}

// The rows of a marker mirrored across the file's x = 0 plane, its axes mirrored on both sides so
// that they stay a rotation: R0 (x, -y, -z), R1 and R2 (-x, y, z), T (-x, y, z).
export function mirroredRows(rows) {
  const [r0, r1, r2, t] = rows;
  return [[r0[0], -r0[1], -r0[2]], [-r1[0], r1[1], r1[2]], [-r2[0], r2[1], r2[2]], [-t[0], t[1], t[2]]];
}

// Rows at `point` (view axes) whose z axis runs along the surface normal `normal` (view axes).
export function rowsOnSurface(point, normal) {
  const z = new THREE.Vector3(-normal.x, normal.y, normal.z).normalize();
  const helper = Math.abs(z.y) < 0.9 ? new THREE.Vector3(0, 1, 0) : new THREE.Vector3(1, 0, 0);
  const x = new THREE.Vector3().crossVectors(helper, z).normalize();
  const y = new THREE.Vector3().crossVectors(z, x);
  return [x.toArray(), y.toArray(), z.toArray(), [-point.x, point.y, point.z]];
}

// The rows to the side text files' six decimals: an edit gives what those files hold.
export const roundedRows = (rows) => rows.map((row) => row.map((value) => (Number.isFinite(value) ? Number(value.toFixed(6)) : value)));

// The rows of the identity axes at the file point `position`.
export const rowsAt = (position) => [[1, 0, 0], [0, 1, 0], [0, 0, 1], [...position]];
