"""The user guide's picture of Blender with the sample frigate imported by the add-on:
the textured ship, its hardpoints, emitter and sprite as named empties, and the
outliner with their collections. Blender runs with its window on a virtual display:

    xvfb-run -a -s "-screen 0 1600x1000x24" blender --factory-startup --python tools/blender/screenshot.py -- \\
        HOST SAMPLE.sod OUT.png
"""
import os
import sys

import bpy
from mathutils import Euler

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kveltar_sod  # noqa: E402
from kveltar_sod import importer  # noqa: E402

HOST, SAMPLE, OUT = (os.path.abspath(arg) for arg in sys.argv[sys.argv.index("--") + 1:])


def view_3d():
    for area in bpy.context.window.screen.areas:
        if area.type == "VIEW_3D":
            return area
    return None


def stage():
    kveltar_sod.allow_numpy_bool()
    for obj in list(bpy.data.objects):
        bpy.data.objects.remove(obj)
    result = importer.import_sod(bpy.context, SAMPLE, HOST)
    if not result.ok:
        print("import failed:", result.messages)
        bpy.ops.wm.quit_blender()
    for obj in bpy.context.scene.objects:
        obj.show_name = obj.type == "EMPTY"
        obj.select_set(False)
    for collection in bpy.data.collections:
        collection.color_tag = "COLOR_04"
    area = view_3d()
    space = area.spaces.active
    space.shading.type = "SOLID"
    space.shading.color_type = "TEXTURE"
    space.overlay.show_floor = space.overlay.show_axis_x = space.overlay.show_axis_y = True
    view = space.region_3d
    view.view_perspective = "PERSP"
    # From above the bow on the port side, the nose (towards -Y) to the right.
    view.view_rotation = Euler((1.0, 0, -1.15)).to_quaternion()
    region = next(r for r in area.regions if r.type == "WINDOW")
    with bpy.context.temp_override(area=area, region=region):
        bpy.ops.view3d.view_all()
    view.view_distance *= 0.7
    return 1.0  # a second for the window to draw


def shoot():
    bpy.ops.screen.screenshot(filepath=OUT)
    bpy.ops.wm.quit_blender()


def arrange_panels(marker):
    """The outliner with room for the names; the properties of one marker empty, with
    its custom properties."""
    bpy.context.view_layer.objects.active = marker
    marker.select_set(True)
    for area in bpy.context.window.screen.areas:
        space = area.spaces.active
        if area.type == "OUTLINER":
            space.show_restrict_column_hide = space.show_restrict_column_render = False
        elif area.type == "PROPERTIES":
            space.context = "OBJECT"


def run():
    try:
        stage()
        arrange_panels(bpy.data.objects["hp_phaser_fore"])
    except Exception:
        bpy.ops.wm.quit_blender()
        raise
    bpy.app.timers.register(shoot, first_interval=1.5, persistent=True)


def start():
    # Reading the startup file again closes the splash screen.
    bpy.ops.wm.read_homefile()
    bpy.app.timers.register(run, first_interval=0.5, persistent=True)


bpy.app.timers.register(start, first_interval=1.0, persistent=True)
