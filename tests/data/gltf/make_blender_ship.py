# Builds a small ship in Blender and writes it with Blender's own glTF exporter, as the
# glTF reader's fixture blender_ship.glb:
#   blender -b --factory-startup --python tests/data/gltf/make_blender_ship.py -- OUT.glb
# A textured hull (12 triangles) and an engine (2 triangles) with a material each, an
# empty "hardpoints" holding hp_fore and hp_aft (turned 90 degrees about Blender's z),
# and an empty marked as an emitter by its custom properties.
import sys

import numpy

numpy.bool = bool  # Debian's Blender add-ons still use this removed alias
import bpy  # noqa: E402

bpy.ops.wm.read_factory_settings(use_empty=True)


def material(name, colour, image=None):
    m = bpy.data.materials.new(name)
    m.use_nodes = True
    shader = m.node_tree.nodes["Principled BSDF"]
    shader.inputs["Base Color"].default_value = colour
    if image is not None:
        texture = m.node_tree.nodes.new("ShaderNodeTexImage")
        texture.image = image
        m.node_tree.links.new(texture.outputs["Color"], shader.inputs["Base Color"])
    return m


def add(name, data=None, parent=None, location=(0, 0, 0), rotation=(0, 0, 0), **properties):
    obj = bpy.data.objects.new(name, data)
    obj.location, obj.rotation_euler, obj.parent = location, rotation, parent
    for key, value in properties.items():
        obj[key] = value
    bpy.context.collection.objects.link(obj)
    return obj


def mesh(name, vertices, faces, mat):
    data = bpy.data.meshes.new(name)
    data.from_pydata(vertices, [], faces)
    data.uv_layers.new(name="UVMap")
    data.materials.append(mat)
    return data


plates = bpy.data.images.new("hull_plates", 4, 4)
plates.pixels = [v for i in range(16) for v in ((i % 4) / 3, (i // 4) / 3, 0.5, 1.0)]
box = [(x, y, z) for x in (-1, 1) for y in (-2, 2) for z in (-0.5, 0.5)]
box_faces = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
add("hull", mesh("hull_mesh", box, box_faces, material("hull", (0.6, 0.6, 0.7, 1), plates)))
engine = mesh("engine_mesh", [(-0.5, 0, -0.3), (0.5, 0, -0.3), (0.5, 0, 0.3), (-0.5, 0, 0.3)], [(0, 1, 2, 3)],
              material("engine", (0.9, 0.2, 0.1, 1)))
add("engine", engine, location=(0, -2.5, 0))
group = add("hardpoints")
add("hp_fore", parent=group, location=(0, 2, 0))
add("hp_aft", parent=group, location=(0, -2, 0.5), rotation=(0, 0, 1.5707963267948966))
add("exhaust_port", location=(0, -2.5, 0.2), sod_type="emitter", sod_emitter_name="exhaust")
bpy.ops.export_scene.gltf(filepath=sys.argv[sys.argv.index("--") + 1], export_format="GLB", export_extras=True,
                          export_normals=False, export_cameras=False, export_lights=False)
