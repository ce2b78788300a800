#!/usr/bin/env python3
"""Makes a copy of a binary glTF file that f3d 1.3 draws as other viewers do.

f3d 1.3 draws textured materials with KHR_materials_unlit plain white. In the
copy, each unlit material shows its picture as emitted light over a black
base colour instead, which looks the same. With --no-domes the sky and fog
domes are left out, for views from above them.

Usage: f3d_copy.py [--no-domes] IN.glb OUT.glb
"""
import json
import struct
import sys

GLB_MAGIC = 0x46546C67
JSON_CHUNK = 0x4E4F534A
UNLIT = "KHR_materials_unlit"


def main(argv):
    no_domes = "--no-domes" in argv
    source, target = [a for a in argv if not a.startswith("--")]
    data = open(source, "rb").read()
    magic, _, _ = struct.unpack_from("<III", data, 0)
    if magic != GLB_MAGIC:
        sys.exit(f"{source} is not a binary glTF file")
    json_length, chunk_type = struct.unpack_from("<II", data, 12)
    if chunk_type != JSON_CHUNK:
        sys.exit(f"{source} does not start with its JSON chunk")
    document = json.loads(data[20:20 + json_length])
    rest = data[20 + json_length:]

    for material in document.get("materials", []):
        extensions = material.get("extensions", {})
        if UNLIT not in extensions:
            continue
        del extensions[UNLIT]
        pbr = material.setdefault("pbrMetallicRoughness", {})
        if "baseColorTexture" in pbr:
            material["emissiveTexture"] = dict(pbr["baseColorTexture"])
            material["emissiveFactor"] = [1, 1, 1]
            alpha = pbr.get("baseColorFactor", [1, 1, 1, 1])[3]
            pbr["baseColorFactor"] = [0, 0, 0, alpha]
    for key in ("extensionsUsed", "extensionsRequired"):
        if key in document:
            document[key] = [e for e in document[key] if e != UNLIT]

    if no_domes:
        domes = {i for i, node in enumerate(document["nodes"]) if node.get("name") in ("atmos", "fog")}
        for node in document["nodes"]:
            if "children" in node:
                node["children"] = [c for c in node["children"] if c not in domes]

    text = json.dumps(document, separators=(",", ":")).encode()
    text += b" " * (-len(text) % 4)
    total = 12 + 8 + len(text) + len(rest)
    with open(target, "wb") as out:
        out.write(struct.pack("<III", GLB_MAGIC, 2, total))
        out.write(struct.pack("<II", len(text), JSON_CHUNK))
        out.write(text)
        out.write(rest)


if __name__ == "__main__":
    main(sys.argv[1:])
