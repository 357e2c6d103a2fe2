# Writes the cells of a workbook again with openpyxl, as the comparison for the Excel export:
# the rows are read first (not timed), then written as text cells to a new workbook, one sheet
# per sheet, in openpyxl's write-only mode (its fastest). Prints "openpyxl <ms> <peak RSS kB>".
import resource
import sys
import time

import openpyxl

source = openpyxl.load_workbook(sys.argv[1], read_only=True)
sheets = [(s.title, [[c for c in row] for row in s.iter_rows(values_only=True)]) for s in source.worksheets]
source.close()

start = time.perf_counter()
book = openpyxl.Workbook(write_only=True)
for title, rows in sheets:
    sheet = book.create_sheet(title)
    for row in rows:
        sheet.append(row)
book.save(sys.argv[2])
ms = (time.perf_counter() - start) * 1000
print("openpyxl %.1f %d" % (ms, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss))
