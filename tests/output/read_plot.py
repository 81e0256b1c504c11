#!/usr/bin/env python3
"""Opens a written graphics file with a real reader and checks it against what the grid says.

Usage: read_plot.py tecplot|vtk FILE EXPECT

A Tecplot file is read with VTK's Tecplot reader (Debian package python3-vtk9), a legacy VTK
file with meshio (python3-meshio). EXPECT holds one check a line:
  points N                 the zone or grid has N points (nodes)
  cells E                  and E cells (Tecplot finite-element zones)
  dims I J                 an ordered zone of I x J points (Tecplot)
  names A B ...            the variables (Tecplot) or point arrays (VTK), in this order
  value NAME K V TOL       point K (from 0) of variable NAME is V within TOL
  corners K P1 .. P8       element K (from 0) has the nodes P1 .. P8 (numbered from 1)
Fails, listing every mismatch, when the reader cannot open the file or a check fails.
"""
import os
import sys

SYSTEM = "/usr/bin/python3"


def system_python(module):
    # The readers come as Debian packages, installed for the system interpreter; another
    # python3 first on the PATH does not see them.
    if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM) and os.path.exists(SYSTEM):
        os.execv(SYSTEM, [SYSTEM] + sys.argv)
    sys.exit("the reader %s is not installed" % module)


def read_tecplot(path):
    try:
        import vtk
    except ImportError:
        system_python("vtk (Debian package python3-vtk9)")
    reader = vtk.vtkTecplotReader()
    reader.SetFileName(path)
    reader.Update()
    names = [reader.GetDataArrayName(i) for i in range(reader.GetNumberOfDataArrays())]
    output = reader.GetOutput()
    if output is None or output.GetNumberOfBlocks() < 1 or output.GetBlock(0) is None:
        sys.exit("FAIL: the reader found no zone in %s" % path)
    zone = output.GetBlock(0)
    data = zone.GetPointData()
    values = {}
    for name in names:
        array = data.GetArray(name)
        if array is not None:
            values[name] = [array.GetValue(k) for k in range(array.GetNumberOfTuples())]
    info = {"points": zone.GetNumberOfPoints(), "names": names, "values": values}
    if zone.IsA("vtkStructuredGrid"):
        dims = zone.GetDimensions()
        info["dims"] = [dims[0], dims[1]]
        info["cells"] = zone.GetNumberOfCells()
    else:
        info["cells"] = zone.GetNumberOfCells()
        info["corners"] = [[zone.GetCell(k).GetPointId(m) + 1 for m in range(8)]
                           for k in range(zone.GetNumberOfCells())]
    return info


def read_vtk(path):
    try:
        import meshio
    except ImportError:
        system_python("meshio (Debian package python3-meshio)")
    mesh = meshio.read(path, file_format="vtk")
    names = list(mesh.point_data)
    values = {}
    for name in names:
        array = mesh.point_data[name].reshape(len(mesh.points), -1)
        values[name] = [float(v[0]) if array.shape[1] == 1 else [float(x) for x in v]
                        for v in array]
    return {"points": len(mesh.points), "names": names, "values": values,
            "cells": sum(len(b.data) for b in mesh.cells)}


def check(info, expect):
    failures = []
    for line in expect:
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        kind = words[0]
        if kind in ("points", "cells"):
            if info.get(kind) != int(words[1]):
                failures.append("%s: expected %s, read %s" % (kind, words[1], info.get(kind)))
        elif kind == "dims":
            if info.get("dims") != [int(words[1]), int(words[2])]:
                failures.append("dims: expected %s %s, read %s" % (words[1], words[2],
                                                                   info.get("dims")))
        elif kind == "names":
            if info["names"] != words[1:]:
                failures.append("names: expected %s, read %s" % (words[1:], info["names"]))
        elif kind == "value":
            name, k, v, tol = words[1], int(words[2]), float(words[3]), float(words[4])
            series = info["values"].get(name)
            if series is None or k >= len(series):
                failures.append("value %s %d: not in the file" % (name, k))
            elif abs(series[k] - v) > tol:
                failures.append("value %s %d: expected %.9g, read %.9g" % (name, k, v, series[k]))
        elif kind == "corners":
            k, nodes = int(words[1]), [int(w) for w in words[2:10]]
            corners = info.get("corners", [])
            if k >= len(corners) or corners[k] != nodes:
                failures.append("corners %d: expected %s, read %s"
                                % (k, nodes, corners[k] if k < len(corners) else None))
        else:
            failures.append("unknown check: %s" % line.strip())
    return failures


def main(argv):
    if len(argv) != 4 or argv[1] not in ("tecplot", "vtk"):
        sys.exit(__doc__)
    info = read_tecplot(argv[2]) if argv[1] == "tecplot" else read_vtk(argv[2])
    print("points:", info["points"], "cells:", info.get("cells"), "dims:", info.get("dims"))
    print("names:", " ".join(info["names"]))
    with open(argv[3]) as f:
        failures = check(info, f.readlines())
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
