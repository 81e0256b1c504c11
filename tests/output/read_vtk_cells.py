#!/usr/bin/env python3
"""Opens a legacy VTK file of polygons or hexahedra with VTK's own reader and checks its cells.

Usage: read_vtk_cells.py FILE CELLS [ARRAY ...]
Fails when the reader reports an error or a warning, when the file does not hold CELLS cells,
or when one of the named cell arrays is missing or does not have one tuple per cell.
"""
import os
import sys

try:
    import vtk
except ImportError:
    # VTK comes as a Debian package (python3-vtk9) for the system interpreter.
    if os.path.realpath(sys.executable) != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("the VTK reader is not installed (Debian package python3-vtk9)")


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    path, cells, arrays = argv[1], int(argv[2]), argv[3:]
    # A file the reader cannot parse only gives a message on its output window: collect them.
    window = vtk.vtkStringOutputWindow()
    vtk.vtkOutputWindow.SetInstance(window)
    reader = vtk.vtkDataSetReader()
    reader.SetFileName(path)
    reader.ReadAllScalarsOn()
    reader.ReadAllVectorsOn()
    reader.Update()
    messages = window.GetOutput().strip()
    data = reader.GetOutput()
    if messages or data is None:
        sys.exit(f"{path}: the reader reports: {messages}")
    count = data.GetNumberOfCells()
    names = [data.GetCellData().GetArrayName(k) for k in range(data.GetCellData().GetNumberOfArrays())]
    print(f"{path}: {data.GetClassName()} with {count} cells, {data.GetNumberOfPoints()} points, "
          f"cell arrays {names}")
    if count != cells:
        sys.exit(f"{path}: {count} cells, expected {cells}")
    for name in arrays:
        array = data.GetCellData().GetArray(name)
        if array is None:
            sys.exit(f"{path}: no cell array '{name}'")
        if array.GetNumberOfTuples() != cells:
            sys.exit(f"{path}: array '{name}' has {array.GetNumberOfTuples()} values for {cells} cells")


if __name__ == "__main__":
    main(sys.argv)
