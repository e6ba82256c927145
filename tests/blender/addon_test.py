"""The kveltar_sod add-on in Blender, installed from its zip as a user installs it and
run on the sample frigate (docs/sample/frigate.sod) with the Linux kveltar-host the zip
carries, no kveltar-host being on PATH:

    blender -b --factory-startup --python-exit-code 1 --python tests/blender/addon_test.py -- ZIP WORK
"""
import json
import os
import shutil
import struct
import subprocess
import sys

import bpy

ZIP, WORK = (os.path.abspath(arg) for arg in sys.argv[sys.argv.index("--") + 1:])
SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs", "sample", "frigate.sod")
MESHES = {"hull": 12, "engine": 12, "engine.001": 12}
# Where the sample's markers stand in Blender (+Z up, the nose towards -Y).
MARKERS = {"hp_phaser_fore": ("hardpoints", (0, -3.5, 0.7)), "hp_phaser_aft": ("hardpoints", (0, 3, 0.7)),
           "HP_torpedo": ("hardpoints", (0, -4.2, -0.7)), "engine_glow": ("emitters", (0, 4.6, 0)),
           "running_light": ("sprites", (0, 0, 1.3))}
results = {"passed": 0, "failed": 0}


def check(condition, what):
    results["passed" if condition else "failed"] += 1
    if not condition:
        print("FAILED:", what)


def run(operator, **options):
    """The operator's error reports (Blender raises them), or "" when it reported none."""
    try:
        operator(**options)
        return ""
    except RuntimeError as error:
        return str(error)


def clear():
    for obj in list(bpy.data.objects):
        bpy.data.objects.remove(obj)
    for data in (bpy.data.collections, bpy.data.meshes, bpy.data.materials, bpy.data.images):
        for block in list(data):
            data.remove(block)


def import_sod(path=SAMPLE, **options):
    clear()
    error = run(bpy.ops.import_scene.sod, filepath=path, **options)
    return error, {obj.name: obj for obj in bpy.context.scene.objects}


def outwards(obj):
    """Whether the mesh's faces point outwards: its signed volume is positive."""
    world = [obj.matrix_world @ v.co for v in obj.data.vertices]
    volume = 0.0
    for polygon in obj.data.polygons:
        a = world[polygon.vertices[0]]
        for k in range(1, len(polygon.vertices) - 1):
            volume += a.dot(world[polygon.vertices[k]].cross(world[polygon.vertices[k + 1]]))
    return volume > 0


def check_scene(objects, meshes, markers, when):
    found = {name: sum(len(p.vertices) - 2 for p in obj.data.polygons) for name, obj in objects.items()
             if obj.type == "MESH"}
    check(found == meshes, f"{when}: meshes {found}")
    inwards = [name for name, obj in objects.items() if obj.type == "MESH" and not outwards(obj)]
    check(not inwards, f"{when}: faces pointing inwards in {inwards}")
    placed = {name: (obj.users_collection[0].name, tuple(round(v, 5) for v in obj.matrix_world.translation))
              for name, obj in objects.items() if obj.type == "EMPTY"}
    check(placed == {name: (group, tuple(map(float, at))) for name, (group, at) in markers.items()},
          f"{when}: markers {placed}")


def read_back(path):
    """A SOD file's version (after the header ID), and what the plug-in reads of it."""
    with open(path, "rb") as file:
        version = round(struct.unpack_from("<f", file.read(14), 10)[0], 2)
    run = subprocess.run([HOST, "convert", path, os.path.join(WORK, "back.glb"), "--json", "--select-all"],
                         capture_output=True, text=True)
    answer = json.loads(run.stdout)
    return version, answer["triangles"], answer["materials"], [answer[k] for k in ("hardpoints", "emitters",
                                                                                    "sprites")]


def reserved():
    bpy.data.materials["hull"].name = "shields"


os.makedirs(WORK, exist_ok=True)
bpy.ops.preferences.addon_install(filepath=ZIP)
bpy.ops.preferences.addon_enable(module="kveltar_sod")
preferences = bpy.context.preferences.addons["kveltar_sod"].preferences
check(hasattr(bpy.types, "IMPORT_SCENE_OT_sod") and hasattr(bpy.types, "EXPORT_SCENE_OT_sod"), "operators registered")

preferences.host_path = os.path.join(WORK, "no-such-host")
error, objects = import_sod()
check("kveltar-host not found at" in error and not objects, f"without the host: {error!r}, {list(objects)}")
bpy.ops.preferences.addon_disable(module="io_scene_gltf2")
error, objects = import_sod()
check("glTF 2.0 add-on is needed" in error and not objects, f"without Blender's glTF add-on: {error!r}")
bpy.ops.preferences.addon_enable(module="io_scene_gltf2")

# Without a path the add-on runs the copy it carries for this system (unpacked without
# its mode by Blender); on a system it carries none for, it says what to do.
check(shutil.which("kveltar-host") is None, "no kveltar-host on PATH")
finder = sys.modules["kveltar_sod"].host
HOST, _ = finder.find_host("")
check(HOST is not None and os.path.join("bin", "linux-x64") in HOST, f"the host carried for Linux: {HOST}")
found, reason = finder.find_host("", system="darwin", machine="arm64")
check(found is None and "build kveltar-host from source" in reason and "preferences" in reason, reason)
preferences.host_path = ""
error, objects = import_sod(borg=True, hardpoints=False, sprites=False)

check_scene(objects, dict(MESHES, plating=12), {"engine_glow": MARKERS["engine_glow"]}, "Borg, emitters only")
error, objects = import_sod()
check_scene(objects, MESHES, MARKERS, "import")
check(objects["engine_glow"].get("sod_emitter_name") == "frigate_exhaust", "the emitter's name")
hull = bpy.data.materials["hull"]
check(hull.get("sod_specular_power") == 40 and len(hull.get("sod_ambient", [])) == 4, "the material's extras")

written = os.path.join(WORK, "frigate.sod")
check(run(bpy.ops.export_scene.sod, filepath=written, game="1", write_textures=True) == "" and
      os.path.exists(os.path.join(WORK, "frigate_hull.tga")), "export")
check(read_back(written) == (1.8, 36, ["engine", "hull"], [3, 1, 1]), f"read back {read_back(written)}")

# Moved, renamed and added markers (one by its collection alone) reach the file.
objects["hp_phaser_fore"].location.x += 1
objects["running_light"].name = "beacon"
added = bpy.data.objects.new("thruster", None)
added.location = (1, 2, 3)
objects["engine_glow"].users_collection[0].objects.link(added)
edited = os.path.join(WORK, "edited.sod")
check(run(bpy.ops.export_scene.sod, filepath=edited) == "" and "sod_type" not in added, "export of the edits")
markers = dict(MARKERS, hp_phaser_fore=("hardpoints", (1, -3.5, 0.7)), beacon=MARKERS["running_light"],
               thruster=("emitters", (1, 2, 3)))
del markers["running_light"]
check(read_back(edited)[0] == 1.93, "ST Armada 2 by default")
check_scene(import_sod(edited)[1], {"hull": 12, "engine": 24}, markers, "edits")

# Only the markers into a copy of the imported file: unchanged, the same bytes; a moved
# hardpoint changes only the markers; a scene not imported from a SOD file is refused.
objects, same, moved = import_sod()[1], os.path.join(WORK, "same.sod"), os.path.join(WORK, "moved.sod")
check(run(bpy.ops.export_scene.sod, filepath=same, markers_only=True) == "" and
      open(same, "rb").read() == open(SAMPLE, "rb").read(), "only the markers, none changed: the same bytes")
objects["hp_phaser_fore"].location.x += 1
check(run(bpy.ops.export_scene.sod, filepath=moved, markers_only=True) == "" and
      read_back(moved)[:3] == read_back(SAMPLE)[:3], f"only the markers, one moved: {read_back(moved)}")
check_scene(import_sod(moved)[1], MESHES, dict(MARKERS, hp_phaser_fore=("hardpoints", (1, -3.5, 0.7))),
            "only the markers")
clear()
del bpy.context.scene["kveltar_sod_source"]
error = run(bpy.ops.export_scene.sod, filepath=os.path.join(WORK, "none.sod"), markers_only=True)
check("not imported from a SOD file" in error and not os.path.exists(os.path.join(WORK, "none.sod")), error)

# What the plug-in refuses is reported, and no file is left: a target it cannot write,
# a material name the game reserves (unless kept), a mesh beyond the format's limits.
for name, change, options, expected in (
        ("missing/x.sod", None, {}, "Could not open file for writing"),
        ("reserved.sod", reserved, {}, "nothing was written"),
        ("kept.sod", reserved, {"keep_reserved": True}, ""),
        ("big.sod", lambda: bpy.ops.mesh.primitive_grid_add(x_subdivisions=300, y_subdivisions=300), {},
         "more than 65535 vertices")):
    import_sod()
    if change:
        change()
    target = os.path.join(WORK, name)
    error = run(bpy.ops.export_scene.sod, filepath=target, **options)
    check((expected in error if expected else error == "") and os.path.exists(target) == (not expected),
          f"{name}: {error!r}")

print(f"{results['passed']} passed, {results['failed']} failed")
sys.exit(1 if results["failed"] else 0)
