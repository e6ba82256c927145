"""ST Armada SOD models in Blender's File > Import and File > Export menus.

The SOD files are read and written by the kveltar plug-in itself, run by kveltar-host
(`kveltar-host convert`), with a temporary glTF binary and Blender's own glTF importer
and exporter in between. The operators here hold the file browser's options; the work
is done by importer.import_sod and exporter.export_sod.
"""
import os

import bpy
from bpy.props import BoolProperty, EnumProperty, StringProperty
from bpy_extras.io_utils import ExportHelper, ImportHelper

from . import exporter, host, importer

bl_info = {
    "name": "ST Armada SOD format",
    "author": "kveltar",
    "version": (3, 5, 0),
    "blender": (3, 4, 0),
    "location": "File > Import-Export",
    "description": "Import and export ST Armada SOD models, with hardpoints, emitters and sprites as empties",
    "category": "Import-Export",
}


class KveltarPreferences(bpy.types.AddonPreferences):
    bl_idname = __package__

    host_path: StringProperty(
        name="kveltar-host",
        subtype="FILE_PATH",
        description="The kveltar-host program, with the plug-in beside it. Empty: kveltar-host on PATH, else "
                    "the copy inside the add-on (Windows and Linux)",
    )

    def draw(self, context):
        self.layout.prop(self, "host_path")
        found, reason = host.find_host(bpy.path.abspath(self.host_path))
        self.layout.label(text=f"Using {found}" if found else reason, icon="CHECKMARK" if found else "ERROR")


def find_host(operator, context):
    """The kveltar-host to run, or None after an error report saying why (also when
    Blender's glTF add-on, which carries the scene, is not enabled)."""
    if not hasattr(bpy.types, "IMPORT_SCENE_OT_gltf"):
        operator.report({"ERROR"}, "Blender's glTF 2.0 add-on is needed: enable Import-Export: glTF 2.0 format")
        return None
    preference = context.preferences.addons[__package__].preferences.host_path
    found, reason = host.find_host(bpy.path.abspath(preference))
    if found is None:
        operator.report({"ERROR"}, reason)
    return found


def finish(operator, result, done):
    """The host's messages as reports; the operator's return value."""
    for kind, text in result.messages:
        operator.report({"ERROR"} if kind == "error" else {"WARNING"}, text)
    if not result.ok:
        return {"CANCELLED"}
    summary = result.summary
    operator.report({"INFO"}, f"{done}: {len(summary.get('meshes', []))} meshes, {summary.get('triangles')} "
                              f"triangles, {summary.get('hardpoints')} hardpoints, {summary.get('emitters')} "
                              f"emitters, {summary.get('sprites')} sprites")
    return {"FINISHED"}


def marker_option(collection):
    return BoolProperty(name=collection.capitalize(), default=True,
                        description=f'Import the {collection} as empties in the collection "{collection}"')


class ImportSOD(bpy.types.Operator, ImportHelper):
    """Import an ST Armada SOD model through the kveltar plug-in"""
    bl_idname = "import_scene.sod"
    bl_label = "Import SOD"
    bl_options = {"REGISTER", "UNDO"}

    filename_ext = ".sod"
    filter_glob: StringProperty(default="*.sod", options={"HIDDEN"})

    borg: BoolProperty(
        name="Borg meshes", default=False,
        description='Also import the meshes whose names contain "Borg" or "borg", which are skipped otherwise')
    hardpoints: marker_option("hardpoints")
    emitters: marker_option("emitters")
    sprites: marker_option("sprites")
    texture_folder: StringProperty(
        name="Texture folder", subtype="DIR_PATH",
        description="Look for the textures NAME.tga in this folder instead of beside the SOD file")

    def execute(self, context):
        found = find_host(self, context)
        if found is None:
            return {"CANCELLED"}
        kinds = [kind for kind, wanted in (("hardpoint", self.hardpoints), ("emitter", self.emitters),
                                            ("sprite", self.sprites)) if wanted]
        result = importer.import_sod(context, self.filepath, found, borg=self.borg, kinds=kinds,
                                     texture_folder=bpy.path.abspath(self.texture_folder))
        return finish(self, result, f"Imported {bpy.path.basename(self.filepath)}")


class ExportSOD(bpy.types.Operator, ExportHelper):
    """Export the scene as an ST Armada SOD model through the kveltar plug-in"""
    bl_idname = "export_scene.sod"
    bl_label = "Export SOD"

    filename_ext = ".sod"
    filter_glob: StringProperty(default="*.sod", options={"HIDDEN"})

    game: EnumProperty(
        name="Game", default="2",
        items=(("1", "ST Armada 1", "SOD 1.8, for ST Armada 1"), ("2", "ST Armada 2", "SOD 1.93, for ST Armada 2")))
    materials: BoolProperty(name="Materials", default=True,
                            description="Write each material with its colours and texture; else no materials")
    use_selection: BoolProperty(name="Selected only", default=False,
                                description="Export only the selected meshes and empties")
    write_textures: BoolProperty(name="TGA textures", default=False,
                                 description="Write each texture image as NAME.tga beside the SOD file")
    keep_reserved: BoolProperty(
        name="Reserved names", default=False,
        description="Export even when a material is named like a node the game reserves (damage, crew, engines, "
                    "life, sensors, shields, target, borg; s_, c_, e_, hp at the start); else the export stops")

    markers_only: BoolProperty(
        name="Only markers into the original SOD file", default=False,
        description="For a scene imported from a SOD file: write a copy of that file in which only the hardpoints, "
                    "emitters and sprites become the scene's empties; every mesh, LOD and node of the file stays as "
                    "it was, byte for byte (the other options do not apply)")

    def execute(self, context):
        found = find_host(self, context)
        if found is None:
            return {"CANCELLED"}
        if self.markers_only:
            return self.write_markers(context, found)
        result = exporter.export_sod(context, self.filepath, found, game=int(self.game), materials=self.materials,
                                     selected_only=self.use_selection, write_textures=self.write_textures,
                                     keep_reserved=self.keep_reserved)
        return finish(self, result, f"Exported {bpy.path.basename(self.filepath)}")

    def write_markers(self, context, found):
        source = context.scene.get(importer.SOURCE_PROPERTY)
        if not source or not os.path.isfile(source):
            self.report({"ERROR"}, "Only markers into the original SOD file: the scene was not imported from a SOD "
                                   "file that is still there; export the whole scene instead")
            return {"CANCELLED"}
        result = exporter.export_markers(context, self.filepath, found, source)
        for kind, text in result.messages:
            self.report({"ERROR"} if kind == "error" else {"WARNING"}, text)
        if not result.ok:
            return {"CANCELLED"}
        counts = "; ".join(f"{group} {result.summary[group]['kept']} kept, {result.summary[group]['written']} "
                           f"written, {result.summary[group]['dropped']} dropped"
                           for group in ("hardpoints", "emitters", "sprites"))
        self.report({"INFO"}, f"Markers of {bpy.path.basename(source)} written into "
                              f"{bpy.path.basename(self.filepath)}: {counts}")
        return {"FINISHED"}


def menu_import(self, context):
    self.layout.operator(ImportSOD.bl_idname, text="ST Armada SOD (.sod)")


def menu_export(self, context):
    self.layout.operator(ExportSOD.bl_idname, text="ST Armada SOD (.sod)")


def allow_numpy_bool():
    """The glTF add-on of Blender 3.4 uses numpy.bool, which numpy 1.24 removed (and
    numpy 2 brought back): Debian's Blender needs it put back. Elsewhere a no-op."""
    try:
        import numpy
    except ImportError:
        return
    if "bool" not in vars(numpy):
        numpy.bool = bool


CLASSES = (KveltarPreferences, ImportSOD, ExportSOD)


def register():
    allow_numpy_bool()
    for cls in CLASSES:
        bpy.utils.register_class(cls)
    bpy.types.TOPBAR_MT_file_import.append(menu_import)
    bpy.types.TOPBAR_MT_file_export.append(menu_export)


def unregister():
    bpy.types.TOPBAR_MT_file_export.remove(menu_export)
    bpy.types.TOPBAR_MT_file_import.remove(menu_import)
    for cls in reversed(CLASSES):
        bpy.utils.unregister_class(cls)
