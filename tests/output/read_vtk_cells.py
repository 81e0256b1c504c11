#!/usr/bin/env python3
"""Opens a legacy VTK file of polygons or hexahedra with the meshio reader and checks its cells.

Usage: read_vtk_cells.py FILE CELLS [ARRAY ...]
Fails when the file cannot be read, when it does not hold CELLS cells, or when one of the named
cell arrays is missing or does not have one value (or one vector) per cell.
"""
import sys

# The reader check of the 3-D result brings in meshio (or restarts under the system python3,
# which has it).
from read_vtk import meshio


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    path, cells, arrays = argv[1], int(argv[2]), argv[3:]
    mesh = meshio.read(path, file_format="vtk")
    count = sum(len(block.data) for block in mesh.cells)
    print(f"{path}: {count} cells of {[block.type for block in mesh.cells]}, "
          f"cell arrays {sorted(mesh.cell_data)}")
    if count != cells:
        sys.exit(f"{path}: {count} cells, expected {cells}")
    for name in arrays:
        if name not in mesh.cell_data:
            sys.exit(f"{path}: no cell array '{name}'")
        values = sum(len(part) for part in mesh.cell_data[name])
        if values != cells:
            sys.exit(f"{path}: array '{name}' has {values} values for {cells} cells")


if __name__ == "__main__":
    main(sys.argv)
