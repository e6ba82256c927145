"""Hardpoints, emitters and sprites in Blender: empties in collections of those names.

The glTF files of kveltar-host mark each of them with the custom property (glTF
`extras`) sod_type; emitters also carry sod_emitter_name, the emitter they use.
"""
import re

import bpy

KINDS = ("hardpoint", "emitter", "sprite")
COLLECTIONS = {"hardpoint": "hardpoints", "emitter": "emitters", "sprite": "sprites"}
KIND_OF_COLLECTION = {name: kind for kind, name in COLLECTIONS.items()}


def base_name(name):
    """A name without the ".001" Blender adds to keep names apart."""
    return re.sub(r"\.\d{3,}$", "", name)


def stored_kind(obj):
    """The kind an object's sod_type custom property names, or None."""
    value = obj.get("sod_type")
    return value.lower() if isinstance(value, str) and value.lower() in KINDS else None


def kind_of(obj):
    """The kind of marker an empty is, or None: by its collection first (what the user
    sees in the outliner), then by its sod_type, then a name beginning with hp."""
    if obj.type != "EMPTY":
        return None
    for collection in obj.users_collection:
        kind = KIND_OF_COLLECTION.get(base_name(collection.name))
        if kind:
            return kind
    return stored_kind(obj) or ("hardpoint" if obj.name.lower().startswith("hp") else None)


def collection(context, kind):
    """The collection for markers of KIND in the active collection, made when missing."""
    parent = context.collection
    for child in parent.children:
        if base_name(child.name) == COLLECTIONS[kind]:
            return child
    made = bpy.data.collections.new(COLLECTIONS[kind])
    parent.children.link(made)
    return made
