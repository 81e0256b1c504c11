#!/usr/bin/env python3
"""Opens a legacy VTK result with the meshio reader and prints its cell count and arrays.

Usage: read_vtk.py FILE CELLS [--volume=V] [ARRAY ...]
Fails when the file cannot be read, when it does not hold CELLS hexahedra, when a hexahedron
has no positive volume (its corners not in the reader's order: bottom face counter-clockwise
seen from above, then the top face), or when one of the named point arrays is missing or does
not have one value per point. With --volume, the cells must fill V (relative 1e-6).
"""
import os
import sys

try:
    import meshio
except ImportError:
    # The reader comes as a Debian package, installed for the system interpreter; another
    # python3 first on the PATH does not see it.
    system = "/usr/bin/python3"
    if os.path.realpath(sys.executable) != os.path.realpath(system) and os.path.exists(system):
        os.execv(system, [system] + sys.argv)
    sys.exit("the VTK reader meshio is not installed (Debian package python3-meshio)")


# The hexahedron split into six tetrahedra around its diagonal 0-6.
TETRAHEDRA = ((0, 1, 2, 6), (0, 2, 3, 6), (0, 3, 7, 6), (0, 7, 4, 6), (0, 4, 5, 6), (0, 5, 1, 6))


def volume(points, corners):
    total = 0.0
    for a, b, c, d in TETRAHEDRA:
        pa, pb, pc, pd = (points[corners[k]] for k in (a, b, c, d))
        u, v, w = pb - pa, pc - pa, pd - pa
        total += (u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0])
                  + u[2] * (v[0] * w[1] - v[1] * w[0])) / 6.0
    return total


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    path, cells, arrays = argv[1], int(argv[2]), argv[3:]
    expected_volume = None
    if arrays and arrays[0].startswith("--volume="):
        expected_volume = float(arrays[0].split("=", 1)[1])
        arrays = arrays[1:]
    mesh = meshio.read(path, file_format="vtk")
    count = sum(len(block.data) for block in mesh.cells)
    kinds = sorted({block.type for block in mesh.cells})
    print("cells:", count, "types:", " ".join(kinds))
    print("points:", len(mesh.points))
    print("arrays:", " ".join(sorted(mesh.point_data)))
    failures = []
    if count != cells:
        failures.append("expected %d cells, read %d" % (cells, count))
    if count > 0 and kinds != ["hexahedron"]:
        failures.append("expected hexahedra only, read %s" % ", ".join(kinds))
    volumes = [volume(mesh.points, corners)
               for block in mesh.cells if block.type == "hexahedron" for corners in block.data]
    print("volume:", sum(volumes))
    if expected_volume is not None and abs(sum(volumes) - expected_volume) > 1e-6 * expected_volume:
        failures.append("expected the volume %g, read %g" % (expected_volume, sum(volumes)))
    for n, v in enumerate(volumes):
        if not v > 0:
            failures.append("cell %d has the volume %g" % (n + 1, v))
    for name in arrays:
        if name not in mesh.point_data:
            failures.append("array %s is missing" % name)
        elif len(mesh.point_data[name]) != len(mesh.points):
            failures.append("array %s has %d values for %d points"
                            % (name, len(mesh.point_data[name]), len(mesh.points)))
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
