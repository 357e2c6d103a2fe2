# Prints a workbook as JSON: {"sheets": [{"name", "rows": [[text or null, ...]], "types": [...]}]},
# each cell's value as openpyxl reads it and the set of cell data types met.
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1], read_only=True)
out = []
for sheet in book.worksheets:
    rows, types = [], set()
    for row in sheet.iter_rows():
        cells = []
        for cell in row:
            if cell.value is not None:
                types.add(cell.data_type)
                cells.append(str(cell.value))
            else:
                cells.append(None)
        rows.append(cells)
    out.append({"name": sheet.title, "rows": rows, "types": sorted(types)})
json.dump({"sheets": out}, sys.stdout, ensure_ascii=False)
