"""Blender to SOD: Blender's own glTF exporter writes the scene to a temporary glTF
binary, which the plug-in exports and writes as the SOD file.

The marker empties travel as glTF nodes whose `extras.sod_type` says what they are; an
empty that is a marker only by its collection or its hp name gets that custom property
for the time of the export, so that the SOD file has what the outliner shows.
"""
import contextlib
import os
import tempfile

from . import gltf, host, markers


def export_sod(context, filepath, host_path, *, game=2, materials=True, selected_only=False,
               write_textures=False, keep_reserved=False):
    """Writes the scene (or its selected objects) as the SOD file FILEPATH; returns the
    host's Result. A failed export leaves no file behind (the plug-in writes the file
    in full before it replaces the target)."""
    options = ["--game", str(game)]
    if not materials:
        options.append("--no-materials")
    if write_textures:
        options.append("--write-textures")
    if keep_reserved:
        options.append("--continue-reserved")
    with tempfile.TemporaryDirectory(prefix="kveltar-") as folder:
        glb = os.path.join(folder, "scene.glb")
        with marker_types(context.scene.objects) as kinds:
            try:
                gltf.export_glb(glb, selected_only)
            except RuntimeError as error:
                return host.Result.failure(f"Blender's glTF exporter failed: {error}")
        result = host.convert(host_path, glb, filepath, options)
    # The game, and the plug-in reading the file again, know hardpoints by their names.
    result.messages += [("warning", f"hardpoint {obj.name}: the game takes only names beginning with hp "
                                    "for hardpoints") for obj, kind in kinds.items()
                        if kind == "hardpoint" and not obj.name.lower().startswith("hp")
                        and (obj.select_get() or not selected_only)]
    return result


def export_markers(context, filepath, host_path, source):
    """Writes FILEPATH as a copy of the SOD file SOURCE (the one the scene was imported
    from) in which only the markers change: they become the scene's marker empties,
    every other byte of SOURCE stays. Returns the host's Result."""
    with tempfile.TemporaryDirectory(prefix="kveltar-") as folder:
        glb = os.path.join(folder, "markers.glb")
        with marker_types(context.scene.objects):
            try:
                gltf.export_glb(glb, False)
            except RuntimeError as error:
                return host.Result.failure(f"Blender's glTF exporter failed: {error}")
        return host.set_markers(host_path, source, filepath, glb)


@contextlib.contextmanager
def marker_types(objects):
    """Gives each marker empty the sod_type of its kind while the block runs; yields
    the markers with their kinds."""
    kinds, kept = {}, {}
    try:
        for obj in objects:
            kind = markers.kind_of(obj)
            if kind is not None and obj.library is None:
                kinds[obj], kept[obj] = kind, obj.get("sod_type")
                obj["sod_type"] = kind
        yield kinds
    finally:
        for obj, value in kept.items():
            if value is None:
                del obj["sod_type"]
            else:
                obj["sod_type"] = value

