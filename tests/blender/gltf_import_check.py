"""Blender's own glTF importer on what `kveltar-host convert` wrote for the sample
frigate (docs/sample/frigate.sod): the meshes with their triangle counts and
materials, every face pointing outwards, and the hardpoints, emitter and sprite as
empties with their custom properties under their group empties, where the sample
puts them (glTF's +Y up is Blender's +Z, the ship's nose towards -Y).

    blender -b --factory-startup --python-exit-code 1 --python tests/blender/gltf_import_check.py -- FILE.glb
"""
import sys

import numpy

if not hasattr(numpy, "bool"):
    numpy.bool = bool  # Debian's Blender 3.4 glTF add-on predates numpy's removal of it

import bpy  # noqa: E402

MESHES = {"hull": (12, "hull"), "engine": (12, "engine"), "engine.001": (12, "engine")}
# name: (parent, Blender position, custom properties)
EMPTIES = {
    "hp_phaser_fore": ("hardpoints", (0, -3.5, 0.7), {"sod_type": "hardpoint"}),
    "hp_phaser_aft": ("hardpoints", (0, 3, 0.7), {"sod_type": "hardpoint"}),
    "HP_torpedo": ("hardpoints", (0, -4.2, -0.7), {"sod_type": "hardpoint"}),
    "engine_glow": ("emitters", (0, 4.6, 0), {"sod_type": "emitter", "sod_emitter_name": "frigate_exhaust"}),
    "running_light": ("sprites", (0, 0, 1.3), {"sod_type": "sprite"}),
}


def signed_volume(obj):
    mesh = obj.data
    mesh.calc_loop_triangles()
    volume = 0.0
    for triangle in mesh.loop_triangles:
        a, b, c = (obj.matrix_world @ mesh.vertices[i].co for i in triangle.vertices)
        volume += a.dot(b.cross(c)) / 6
    return volume, len(mesh.loop_triangles)


def check(path):
    bpy.ops.wm.read_factory_settings(use_empty=True)
    bpy.ops.import_scene.gltf(filepath=path)
    objects = {obj.name: obj for obj in bpy.context.scene.objects}
    problems = []
    for name, (triangles, material) in MESHES.items():
        obj = objects.get(name)
        if obj is None or obj.type != "MESH":
            problems.append(f"no mesh {name}")
            continue
        volume, count = signed_volume(obj)
        if count != triangles or volume <= 0 or [m.name for m in obj.data.materials] != [material]:
            problems.append(f"{name}: {count} triangles, volume {volume}, materials {list(obj.data.materials)}")
    for name, (parent, position, properties) in EMPTIES.items():
        obj = objects.get(name)
        if obj is None or obj.type != "EMPTY" or obj.parent is None or obj.parent.name != parent:
            problems.append(f"no empty {name} under {parent}")
            continue
        if any(abs(a - b) > 1e-5 for a, b in zip(obj.matrix_world.translation, position)):
            problems.append(f"{name} at {tuple(obj.matrix_world.translation)}, not {position}")
        if {key: obj.get(key) for key in properties} != properties:
            problems.append(f"{name}: custom properties {dict(obj.items())}")
    expected = set(MESHES) | set(EMPTIES) | {"hardpoints", "emitters", "sprites"}
    if set(objects) != expected:
        problems.append(f"objects {sorted(objects)}")
    hull = bpy.data.materials.get("hull")
    if hull is None or abs(hull.get("sod_specular_power", 0) - 40) > 1e-6 or len(hull.get("sod_ambient", [])) != 4:
        problems.append("material hull lost its extras")
    return problems


problems = check(sys.argv[sys.argv.index("--") + 1])
for problem in problems:
    print("blender check:", problem)
print("blender check:", "failed" if problems else "the converted frigate imports as expected")
sys.exit(1 if problems else 0)
