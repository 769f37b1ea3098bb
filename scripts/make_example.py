#!/usr/bin/env python3
"""Writes the bundled example character: a small skinned soldier made of tapered tubes, one
per bone, with two short animations. Run from anywhere; it writes into examples/.

The skeleton is laid out as exporters of real characters lay it out: the root bone stands at
pelvis height and is turned a quarter turn about z, the pelvis turns back, and every bone's
position and rotation are relative to its parent. The walk carries the root forward and the
wave turns it, so both exercise the root's own transform."""

import math
import os

# (id, name, parent, position and rotation relative to the parent in SMD space: x forward,
# y left, z up; rotations in radians about x, then y, then z)
QUARTER = math.pi / 2.0
BONES = [
    (0, "Bip01", -1, (0.0, 0.0, 38.0), (0.0, 0.0, -QUARTER)),
    (1, "Bip01 Pelvis", 0, (0.0, 0.0, 0.0), (0.0, 0.0, QUARTER)),
    (2, "Bip01 Spine", 1, (0.0, 0.0, 6.0), (0.0, 0.0, 0.0)),
    (3, "Bip01 Spine1", 2, (0.0, 0.0, 10.0), (0.0, 0.0, 0.0)),
    (4, "Bip01 Neck", 3, (0.0, 0.0, 10.0), (0.0, 0.0, 0.0)),
    (5, "Bip01 Head", 4, (0.0, 0.0, 4.0), (0.0, 0.0, 0.0)),
    (6, "Bip01 L UpperArm", 4, (0.0, 8.0, -1.0), (0.0, 0.0, 0.0)),
    (7, "Bip01 L Forearm", 6, (0.0, 11.0, 0.0), (0.0, 0.0, 0.0)),
    (8, "Bip01 R UpperArm", 4, (0.0, -8.0, -1.0), (0.0, 0.0, 0.0)),
    (9, "Bip01 R Forearm", 8, (0.0, -11.0, 0.0), (0.0, 0.0, 0.0)),
    (10, "Bip01 L Thigh", 1, (0.0, 4.5, -2.0), (0.0, 0.0, 0.0)),
    (11, "Bip01 L Calf", 10, (0.0, 0.0, -17.0), (0.0, 0.0, 0.0)),
    (12, "Bip01 R Thigh", 1, (0.0, -4.5, -2.0), (0.0, 0.0, 0.0)),
    (13, "Bip01 R Calf", 12, (0.0, 0.0, -17.0), (0.0, 0.0, 0.0)),
]

# Each body part: (bone, end point offset from the bone in SMD space, half width, texture)
PARTS = [
    (2, (0.0, 0.0, 10.0), 5.5, "soldier_body.bmp"),
    (3, (0.0, 0.0, 10.0), 6.5, "soldier_body.bmp"),
    (5, (0.0, 0.0, 8.0), 3.5, "soldier_head.bmp"),
    (6, (0.0, 11.0, 0.0), 2.0, "soldier_body.bmp"),
    (7, (0.0, 10.0, 0.0), 1.7, "soldier_body.bmp"),
    (8, (0.0, -11.0, 0.0), 2.0, "soldier_body.bmp"),
    (9, (0.0, -10.0, 0.0), 1.7, "soldier_body.bmp"),
    (10, (0.0, 0.0, -17.0), 2.8, "soldier_legs.bmp"),
    (11, (0.0, 0.0, -17.0), 2.3, "soldier_legs.bmp"),
    (12, (0.0, 0.0, -17.0), 2.8, "soldier_legs.bmp"),
    (13, (0.0, 0.0, -17.0), 2.3, "soldier_legs.bmp"),
]

SIDES = 8
RINGS = 4


def multiply(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]


def euler(pos, rot):
    """The SMD bone transform for row vectors: rotate about x, then y, then z, then move."""
    cx, sx = math.cos(rot[0]), math.sin(rot[0])
    cy, sy = math.cos(rot[1]), math.sin(rot[1])
    cz, sz = math.cos(rot[2]), math.sin(rot[2])
    rx = [[1, 0, 0, 0], [0, cx, sx, 0], [0, -sx, cx, 0], [0, 0, 0, 1]]
    ry = [[cy, 0, -sy, 0], [0, 1, 0, 0], [sy, 0, cy, 0], [0, 0, 0, 1]]
    rz = [[cz, sz, 0, 0], [-sz, cz, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]]
    t = [[1, 0, 0, 0], [0, 1, 0, 0], [0, 0, 1, 0], [pos[0], pos[1], pos[2], 1]]
    return multiply(multiply(multiply(rx, ry), rz), t)


def world_matrices():
    world = {}
    for bone_id, _, parent, pos, rot in BONES:
        local = euler(pos, rot)
        world[bone_id] = multiply(local, world[parent]) if parent >= 0 else local
    return world


def transform_point(p, m):
    return tuple(p[0] * m[0][j] + p[1] * m[1][j] + p[2] * m[2][j] + m[3][j] for j in range(3))


def transform_direction(d, m):
    return tuple(d[0] * m[0][j] + d[1] * m[1][j] + d[2] * m[2][j] for j in range(3))


def parent_of(bone_id):
    return next(p for b, _, p, _, _ in BONES if b == bone_id)


def header(out):
    out.append("// Toravel example character, written by scripts/make_example.py\n")
    out.append("version 1\n")
    out.append("nodes\n")
    for bone_id, name, parent, _, _ in BONES:
        out.append('%d "%s" %d\n' % (bone_id, name, parent))
    out.append("end\n")


def key_line(bone_id, pos, rot):
    return "%d %.6f %.6f %.6f %.6f %.6f %.6f\n" % ((bone_id,) + tuple(pos) + tuple(rot))


def reference():
    out = []
    header(out)
    out.append("skeleton\ntime 0\n")
    for bone_id, _, _, pos, rot in BONES:
        out.append(key_line(bone_id, pos, rot))
    out.append("end\ntriangles\n")
    world = world_matrices()
    for bone_id, end, half, texture in PARTS:
        # The parts are laid out in each bone's own frame and placed by its bind pose.
        start = transform_point((0.0, 0.0, 0.0), world[bone_id])
        axis = list(transform_direction(end, world[bone_id]))
        length = math.sqrt(sum(a * a for a in axis))
        direction = [a / length for a in axis]
        # Two vectors across the segment.
        helper = (1.0, 0.0, 0.0) if abs(direction[0]) < 0.9 else (0.0, 1.0, 0.0)
        u = cross(direction, helper)
        u = normalise(u)
        v = cross(direction, u)
        parent = parent_of(bone_id)
        rings = []
        for r in range(RINGS + 1):
            t = r / RINGS
            radius = half * (1.0 - 0.15 * t)
            ring = []
            for s in range(SIDES):
                angle = 2.0 * math.pi * s / SIDES
                normal = [math.cos(angle) * u[i] + math.sin(angle) * v[i] for i in range(3)]
                pos = [start[i] + axis[i] * t + radius * normal[i] for i in range(3)]
                # The first ring blends with the parent bone so that joints bend smoothly.
                if r == 0 and parent > 0:
                    links = [(parent, 0.5), (bone_id, 0.5)]
                else:
                    links = [(bone_id, 1.0)]
                ring.append((pos, normal, s / SIDES, t, links))
            rings.append(ring)
        for r in range(RINGS):
            for s in range(SIDES):
                a = rings[r][s]
                b = rings[r][(s + 1) % SIDES]
                c = rings[r + 1][(s + 1) % SIDES]
                d = rings[r + 1][s]
                for tri in ((a, b, c), (a, c, d)):
                    out.append(texture + "\n")
                    for pos, normal, tu, tv, links in tri:
                        out.append(vertex_line(bone_id, pos, normal, tu, tv, links))
    out.append("end\n")
    return "".join(out)


def vertex_line(bone_id, pos, normal, tu, tv, links):
    text = "%d %.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f %d" % (
        (bone_id,) + tuple(pos) + tuple(normal) + (tu, tv, len(links)))
    for link_bone, weight in links:
        text += " %d %.6f" % (link_bone, weight)
    return text + "\n"


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def normalise(a):
    n = math.sqrt(sum(x * x for x in a))
    return tuple(x / n for x in a)


def animation(frames, pose):
    out = []
    header(out)
    out.append("skeleton\n")
    for frame in range(frames):
        out.append("time %d\n" % frame)
        phase = 2.0 * math.pi * frame / frames
        for bone_id, _, _, offset, rest in BONES:
            pos, rot = pose(bone_id, offset, rest, frame, phase)
            out.append(key_line(bone_id, pos, rot))
    out.append("end\n")
    return "".join(out)


def walk_pose(bone_id, offset, rest, frame, phase):
    swing = 0.5 * math.sin(phase)
    rot = rest
    pos = offset
    if bone_id == 0:
        # The root carries the character forward and bobs with each step.
        pos = (offset[0] + 1.5 * frame, offset[1], offset[2] + 0.8 * abs(math.sin(phase)))
    elif bone_id == 10:
        rot = (0.0, swing, 0.0)
    elif bone_id == 12:
        rot = (0.0, -swing, 0.0)
    elif bone_id in (11, 13):
        bend = 0.6 * max(0.0, math.sin(phase + (0.0 if bone_id == 11 else math.pi)))
        rot = (0.0, -bend, 0.0)
    elif bone_id == 6:
        rot = (0.0, -0.6 * swing, 0.0)
    elif bone_id == 8:
        rot = (0.0, 0.6 * swing, 0.0)
    return pos, rot


def wave_pose(bone_id, offset, rest, frame, phase):
    rot = rest
    if bone_id == 0:
        # The whole body turns a little towards the wave and back.
        rot = (rest[0], rest[1], rest[2] + 0.3 * math.sin(phase))
    elif bone_id == 8:
        rot = (-1.3, 0.0, 0.0)
    elif bone_id == 9:
        rot = (0.0, 0.0, 0.4 + 0.5 * math.sin(phase))
    elif bone_id == 5:
        rot = (0.0, 0.0, 0.15 * math.sin(phase))
    return offset, rot


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
    os.makedirs(root, exist_ok=True)
    files = {
        "soldier_reference.smd": reference(),
        "soldier_walk.smd": animation(24, walk_pose),
        "soldier_wave.smd": animation(16, wave_pose),
    }
    for name, text in files.items():
        with open(os.path.join(root, name), "w", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
