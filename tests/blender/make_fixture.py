"""Makes tests/data/gltf/blender_frigate.glb, a glTF file as a modder's Blender writes it:
the sample frigate (docs/sample/frigate.sod) imported with the kveltar_sod add-on's own
import code (through kveltar-host), the empty hp_phaser_fore moved by +1 along
Blender's X, and the scene written by Blender's glTF exporter with custom properties
as extras and +Y up. The markers are root nodes there, known by extras.sod_type.

    blender -b --factory-startup --python tests/blender/make_fixture.py -- HOST OUT.glb
"""
import os
import sys

import bpy

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "blender"))
import kveltar_sod  # noqa: E402
from kveltar_sod import importer  # noqa: E402

host, out = (os.path.abspath(arg) for arg in sys.argv[sys.argv.index("--") + 1:])
kveltar_sod.allow_numpy_bool()
bpy.ops.wm.read_factory_settings(use_empty=True)
result = importer.import_sod(bpy.context, os.path.join(HERE, "..", "..", "docs", "sample", "frigate.sod"), host)
if not result.ok:
    sys.exit(f"import failed: {result.messages}")
bpy.data.objects["hp_phaser_fore"].location.x += 1
bpy.ops.export_scene.gltf(filepath=out, export_format="GLB", export_extras=True, export_yup=True,
                          export_cameras=False, export_lights=False)
