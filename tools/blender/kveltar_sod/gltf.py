"""Blender's own glTF importer and exporter, with the options the plug-in's files need.

Options that the glTF add-on of a Blender version lacks are left out, so that one
add-on serves Blender 3.4 and every later version.
"""
import bpy


def available(operator, options):
    known = operator.get_rna_type().properties.keys()
    return {key: value for key, value in options.items() if key in known}


def import_glb(filepath):
    """Builds a glTF binary in the scene; its images are packed into the .blend file,
    as the file is temporary. Raises RuntimeError when the importer fails."""
    bpy.ops.import_scene.gltf(**available(bpy.ops.import_scene.gltf,
                                          {"filepath": filepath, "import_pack_images": True}))


def export_glb(filepath, selected_only):
    """Writes the scene, or its selected objects, as a glTF binary for the plug-in:
    custom properties as extras, +Y up, modifiers applied, nothing but meshes,
    materials and empties. Raises RuntimeError when the exporter fails."""
    bpy.ops.export_scene.gltf(**available(bpy.ops.export_scene.gltf, {
        "filepath": filepath,
        "export_format": "GLB",
        "use_selection": selected_only,
        "export_extras": True,
        "export_yup": True,
        "export_apply": True,
        "export_cameras": False,
        "export_lights": False,
        "export_animations": False,
    }))
