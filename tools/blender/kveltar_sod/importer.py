"""SOD into Blender: the plug-in converts the file to a temporary glTF binary, which
Blender's own glTF importer builds; the markers then become empties in collections.

kveltar-host writes each hardpoint, emitter and sprite as a mesh-less glTF node under a
group node "hardpoints", "emitters" or "sprites", with `extras.sod_type` telling its
kind. Blender's importer turns them into empties with that extra as a custom property;
here they leave their group empties for collections of the same names, where they can
be seen, moved, added and renamed.
"""
import os
import tempfile

import bpy

from . import gltf, host, markers

SOURCE_PROPERTY = "kveltar_sod_source"  # the scene's custom property: the SOD file it was imported from


def import_sod(context, filepath, host_path, *, borg=False, kinds=markers.KINDS, texture_folder=""):
    """Imports FILEPATH into the active collection; returns the host's Result.

    borg: also the meshes named with "Borg"/"borg", which the import dialog leaves out.
    kinds: the marker kinds ("hardpoint", "emitter", "sprite") to keep as empties.
    texture_folder: where the textures NAME.tga are looked for instead of the SOD's folder.
    """
    options = ["--select-all"] if borg else []
    if texture_folder:
        options += ["--texture-folder", texture_folder]
    with tempfile.TemporaryDirectory(prefix="kveltar-") as folder:
        glb = os.path.join(folder, os.path.splitext(os.path.basename(filepath))[0] + ".glb")
        result = host.convert(host_path, filepath, glb, options)
        if not result.ok:
            return result
        before = set(context.scene.objects)
        try:
            gltf.import_glb(glb)
        except RuntimeError as error:
            return host.Result.failure(f"Blender's glTF importer failed: {error}")
    new = [obj for obj in context.scene.objects if obj not in before]
    collect_markers(context, new, kinds)
    # The export can write only the markers into a copy of this file.
    context.scene[SOURCE_PROPERTY] = os.path.abspath(filepath)
    return result


def collect_markers(context, objects, kinds):
    """Moves the marker empties among OBJECTS into their collections, where they keep
    their place in the world; drops the markers of other kinds and the group empties."""
    size = marker_size(obj for obj in objects if obj.type == "MESH")
    groups = set()
    for obj in objects:
        kind = markers.stored_kind(obj) if obj.type == "EMPTY" else None
        if kind is None:
            continue
        if obj.parent is not None:
            groups.add(obj.parent)
        if kind not in kinds:
            bpy.data.objects.remove(obj)
            continue
        world = obj.matrix_world.copy()
        obj.parent = None
        obj.matrix_world = world
        for collection in list(obj.users_collection):
            collection.objects.unlink(obj)
        markers.collection(context, kind).objects.link(obj)
        obj.empty_display_type = "ARROWS"
        obj.empty_display_size = size
    for group in groups:
        if group.type == "EMPTY" and not group.children and markers.stored_kind(group) is None:
            bpy.data.objects.remove(group)


def marker_size(meshes):
    """A size for the marker empties that suits the model: a twelfth of its extent."""
    extent = 0.0
    for obj in meshes:
        extent = max(extent, *obj.dimensions)
    return extent / 12 if extent > 0 else 0.5
